// The fixed identities of the converter's main window and its controls: the window class,
// the control IDs, and the maker's addresses on the About page. Window tests find controls
// by these IDs; the layout table in settings_window.cpp gives each its place and caption.
#pragma once

namespace app {

// Window class of the main window, and the application title (also the window's caption).
// The tab pages are the toolkit's "TTabSheet" windows; the other controls use the system
// classes ("Static", "Edit", "Button", "ComboBox", "SysTabControl32").
constexpr char kMainWindowClass[] = "TForm1";
constexpr char kApplicationTitle[] = "Tamberlyn";

enum ControlId : int {
    PageControl1 = 100,
    TabSheet1 = 101, // "変換設定", tab index 0
    TabSheet3 = 102, // "起動設定", tab index 1
    TabSheet2 = 103, // "Ａｂｏｕｔ", tab index 2

    Label1 = 110,
    EditCPath = 111,
    ButtonConv = 112,
    Label2 = 113,
    Label3 = 114,
    EditDPath = 115,
    ButtonData = 116,
    Label4 = 117,
    ComboBox1 = 118,

    GroupBox1 = 120,
    EditLApp = 121,
    ButtonLApp = 122,
    RadioButton1 = 123,
    RadioButton2 = 124,
    RadioButton3 = 125,
    CheckBox2 = 126,
    CheckBox3 = 127, // "保存したら通知する": [Dlg] Notify

    LabelHP = 130,
    LabelMail = 131,
    LabelVer = 132,
    LabelSource = 133, // the bundled Ghostscript's licence, and where its source is
};

// The progress window of a conversion in job mode (progress_window_win.cpp) and its controls.
constexpr char kProgressWindowClass[] = "TProgressForm";
enum ProgressControlId : int {
    ProgressHeading = 140,  // "PDF を作成しています"
    ProgressDocument = 141, // the document name
    ProgressFigures = 142,  // pages announced, bytes written
    ProgressElapsed = 143,  // time elapsed
    ProgressCancel = 144,   // "中止"
};

// The maker's web site and contact address (reserved example domains).
constexpr char kHomePageUrl[] = "https://www.example.com/vellumcast/";
constexpr char kHomePageCaption[] = "Vellumcast Web";
constexpr char kContactMail[] = "info@example.com";

} // namespace app
