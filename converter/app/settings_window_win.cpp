// TForm1's settings window: the layout as a table of controls, the filling from
// AppSettings, and the handlers that change single fields of it.
#include "converter/app/unit1_win.h"

#include "base/win/shell_win.h"
#include "components/folder_dialog_win.h"
#include "converter/settings/rw_ini.h"
#include "toolkit/file_dialogs_win.h"
#include "vellumcast_version.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <iterator>

using namespace app;
using toolkit::ControlKind;

namespace {
// What a control's event does; each role has one handler (kRoleHandlers).
enum class Role {
    None,
    BrowseConverter,
    BrowseDataFolder,
    BrowseLaunchApp,
    Resolution,
    LaunchChoice,
    SkipSaveDialog,
    Notify,
    HomePage,
    Mail,
};

// Font and text colour of a control.
enum class Look { Normal, HomePageLink, MailLink, Version, Count };

constexpr char kFontFace[] = "ＭＳ Ｐゴシック";
constexpr COLORREF kNavy = RGB(0, 0, 128);

struct LookSpec {
    Look look;
    toolkit::FontSpec font;
    bool ownColour;
    COLORREF colour; // when ownColour; the window text colour otherwise
};
const LookSpec kLooks[] = {
    {Look::Normal, {kFontFace, 12}, false, 0},
    {Look::HomePageLink, {kFontFace, 19, true, true, true}, true, kNavy},
    {Look::MailLink, {kFontFace, 12, false, false, true}, true, kNavy},
    {Look::Version, {kFontFace, 12, true}, false, 0},
};

struct PageSpec {
    ControlId id;
    const char* caption;
};
// In tab order; TabSheet1 is the page the window always opens on.
constexpr PageSpec kPages[] = {
    {TabSheet1, "変換設定"},
    {TabSheet3, "起動設定"},
    {TabSheet2, "Ａｂｏｕｔ"},
};

// A control's name in the window's design is its ControlId.
struct ControlSpec {
    ControlKind kind;
    ControlId parent; // a page or the group box
    toolkit::Bounds bounds;
    const char* caption;
    ControlId id;
    Role role;
    Look look = Look::Normal;
    bool firstOfGroup = true; // false: the radio buttons after the first of their group
};

// The bundled Ghostscript is under the AGPL: the About page says where its complete source is
// (the folder the build puts beside the installer).
constexpr char kSourceNotice[] = "同梱の Ghostscript は AGPL v3 です。\n"
                                 "完全なソースは、インストーラーと\n"
                                 "同じ場所の VellumcastSetup-" VELLUMCAST_VERSION_TEXT "-source\n"
                                 "フォルダにあります。";

// Every control of the pages, in creation order, which is also the keyboard tab order.
// clang-format off
constexpr ControlSpec kControls[] = {
    {ControlKind::Label, TabSheet1, {16, 0, 53, 12}, "コンバータ", Label1, Role::None},
    {ControlKind::Edit, TabSheet1, {16, 16, 193, 20}, "", EditCPath, Role::None},
    {ControlKind::Button, TabSheet1, {224, 16, 41, 25}, "参照", ButtonConv, Role::BrowseConverter},
    {ControlKind::Label, TabSheet1, {8, 42, 215, 12}, "通常：C:\\gs\\gsX.XX\\bin\\gswin32c.exeなど", Label2, Role::None},
    {ControlKind::Label, TabSheet1, {16, 56, 77, 12}, "ファイル格納先", Label3, Role::None},
    {ControlKind::Edit, TabSheet1, {16, 72, 193, 20}, "", EditDPath, Role::None},
    {ControlKind::Button, TabSheet1, {224, 72, 41, 25}, "参照", ButtonData, Role::BrowseDataFolder},
    {ControlKind::Label, TabSheet1, {16, 104, 36, 12}, "解像度", Label4, Role::None},
    {ControlKind::DropDown, TabSheet1, {120, 104, 89, 20}, "ComboBox1", ComboBox1, Role::Resolution},

    {ControlKind::GroupBox, TabSheet3, {0, 38, 281, 99}, "作成後の処理", GroupBox1, Role::None},
    {ControlKind::Edit, GroupBox1, {24, 48, 201, 20}, "", EditLApp, Role::None},
    {ControlKind::Button, GroupBox1, {232, 48, 41, 25}, "参照", ButtonLApp, Role::BrowseLaunchApp},
    {ControlKind::RadioButton, GroupBox1, {8, 16, 225, 17}, "関連付けアプリを立ち上げる", RadioButton1, Role::LaunchChoice},
    {ControlKind::RadioButton, GroupBox1, {8, 32, 185, 17}, "指定アプリを起動する", RadioButton2, Role::LaunchChoice, Look::Normal, false},
    {ControlKind::RadioButton, GroupBox1, {8, 76, 145, 17}, "何もしない", RadioButton3, Role::LaunchChoice, Look::Normal, false},
    {ControlKind::CheckBox, TabSheet3, {8, 2, 169, 17}, "保存ダイアログを出さない", CheckBox2, Role::SkipSaveDialog},
    {ControlKind::CheckBox, TabSheet3, {8, 19, 169, 17}, "保存したら通知する", CheckBox3, Role::Notify},

    {ControlKind::LinkLabel, TabSheet2, {112, 88, 124, 19}, kHomePageCaption, LabelHP, Role::HomePage, Look::HomePageLink},
    {ControlKind::LinkLabel, TabSheet2, {112, 112, 109, 12}, kContactMail, LabelMail, Role::Mail, Look::MailLink},
    {ControlKind::Label, TabSheet2, {224, 112, 52, 12}, "Ver" VELLUMCAST_VERSION_TEXT, LabelVer, Role::None, Look::Version},
    {ControlKind::Label, TabSheet2, {8, 8, 260, 48}, kSourceNotice, LabelSource, Role::None},
};
// clang-format on

constexpr toolkit::Bounds kPageControlBounds{0, 0, 291, 167};
constexpr char kHint[] = "ここにドロップします";

// ComboBox1's items; the index is ResolutionIndex.
constexpr const char* kResolutionItems[] = {"72dpi",  "150dpi", "200dpi", "300dpi",
                                            "400dpi", "600dpi", "1200dpi"};
constexpr int kResolutionItemHeight = 12;

// DoLaunch 0, 1, 2 and the radio button that shows it.
constexpr ControlId kLaunchChoices[] = {RadioButton1, RadioButton2, RadioButton3};

struct RoleHandler {
    Role role;
    void (TForm1::*handler)(HWND sender);
};
constexpr RoleHandler kRoleHandlers[] = {
    {Role::BrowseConverter, &TForm1::ButtonConvClick},
    {Role::BrowseDataFolder, &TForm1::ButtonDataClick},
    {Role::BrowseLaunchApp, &TForm1::ButtonLAppClick},
    {Role::Resolution, &TForm1::ComboBox1Change},
    {Role::LaunchChoice, &TForm1::RadioButton1Click},
    {Role::SkipSaveDialog, &TForm1::CheckBox2Click},
    {Role::Notify, &TForm1::CheckBox3Click},
    {Role::HomePage, &TForm1::LabelHPClick},
    {Role::Mail, &TForm1::LabelMailClick},
};

const ControlSpec* SpecOf(int id) {
    for (const ControlSpec& spec : kControls) {
        if (spec.id == id)
            return &spec;
    }
    return nullptr;
}

const LookSpec& LookOf(Look look) {
    return kLooks[static_cast<size_t>(look)];
}

// The event a control raises for a notification code, when it is one the form reacts to.
bool IsControlEvent(ControlKind kind, int code) {
    switch (kind) {
    case ControlKind::Button:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
        return code == BN_CLICKED;
    case ControlKind::LinkLabel:
        return code == STN_CLICKED;
    case ControlKind::DropDown:
        return code == CBN_SELCHANGE || code == CBN_EDITCHANGE;
    default:
        return false;
    }
}

void RunRole(TForm1& form, Role role, HWND sender) {
    for (const RoleHandler& entry : kRoleHandlers) {
        if (entry.role == role)
            (form.*entry.handler)(sender);
    }
}

} // namespace

HWND TForm1::Control(ControlId id) const {
    return controls_.at(size_t(id - app::PageControl1));
}

void TForm1::CreateControls() {
    for (const LookSpec& look : kLooks)
        fonts_.at(size_t(look.look)) = toolkit::CreateFontFrom(look.font);
    const HFONT normalFont = toolkit::AsFont(fonts_[size_t(Look::Normal)]);
    SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(normalFont), FALSE);

    PageControl1.Create(Handle(), app::PageControl1, kPageControlBounds, normalFont);
    controls_.at(0) = PageControl1.Handle();
    for (const PageSpec& page : kPages)
        controls_.at(size_t(page.id - app::PageControl1)) =
            PageControl1.AddPage(page.id, page.caption);

    for (const ControlSpec& spec : kControls) {
        const HFONT font = toolkit::AsFont(fonts_.at(size_t(spec.look)));
        HWND control = toolkit::CreateChildControl(
            Control(spec.parent),
            {spec.kind, spec.id, spec.bounds, spec.caption, spec.firstOfGroup}, font);
        controls_.at(size_t(spec.id - app::PageControl1)) = control;
        // Labels grow to their caption, so that a font with other metrics than the one the
        // layout was made with cuts no text (nor a link's underline) short.
        if (spec.kind == ControlKind::Label || spec.kind == ControlKind::LinkLabel) {
            const SIZE text = toolkit::TextSize(control, spec.caption);
            SetWindowPos(control, nullptr, 0, 0, std::max<int>(spec.bounds.width, text.cx),
                         std::max<int>(spec.bounds.height, text.cy),
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }

    HWND resolution = Control(ComboBox1);
    for (const char* item : kResolutionItems)
        SendMessageA(resolution, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendMessageA(resolution, CB_SETITEMHEIGHT, 0, kResolutionItemHeight);
    toolkit::SetWindowText(resolution, "ComboBox1");
    toolkit::SetCheckMark(Control(RadioButton1), true);

    hint_.Create(Handle(), kHint, normalFont);
    hint_.Add(PageControl1.Handle());
    for (const PageSpec& page : kPages)
        hint_.Add(Control(page.id));
    for (const ControlSpec& spec : kControls)
        hint_.Add(Control(spec.id));
}

void TForm1::FillFromSettings() {
    SetChecked(CheckBox2, AppSettings.SkipSaveDialog != 0);
    // The mark only: Notify keeps the file's value (written only when the user changes it).
    toolkit::SetCheckMark(Control(CheckBox3), AppSettings.Notify != 0);
    // Any other value checks none: the initial RadioButton1 stays, DoLaunch keeps its value.
    if (AppSettings.DoLaunch >= 0 && AppSettings.DoLaunch < int32_t(std::size(kLaunchChoices)))
        SetChecked(kLaunchChoices[AppSettings.DoLaunch], true);
    toolkit::SetWindowText(Control(EditLApp), AppSettings.LaunchApp);
    toolkit::SetWindowText(Control(EditCPath), AppSettings.ConverterPath);
    toolkit::SetWindowText(Control(EditDPath), AppSettings.DataFolder);
    PageControl1.SetActivePage(0);
    // Out of range: no item, and the box keeps its text. Selecting raises no change event.
    if (AppSettings.ResolutionIndex >= 0 &&
        AppSettings.ResolutionIndex < int32_t(std::size(kResolutionItems)))
        SendMessageA(Control(ComboBox1), CB_SETCURSEL, WPARAM(AppSettings.ResolutionIndex), 0);
}

void TForm1::SetChecked(ControlId id, bool checked) {
    HWND button = Control(id);
    if (toolkit::IsChecked(button) == checked)
        return;
    toolkit::SetCheckMark(button, checked);
    const ControlSpec& spec = *SpecOf(id);
    if (spec.kind == ControlKind::RadioButton) {
        // Unchecking a radio button raises nothing; checking one clears its group.
        if (!checked)
            return;
        for (const ControlSpec& other : kControls) {
            if (other.kind == ControlKind::RadioButton && other.parent == spec.parent &&
                other.id != id)
                toolkit::SetCheckMark(Control(other.id), false);
        }
    }
    RunRole(*this, spec.role, button);
}

bool TForm1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        result = 0;
        return true;
    case WM_NOTIFY: {
        const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
        if (header.hwndFrom == PageControl1.Handle() && header.code == UINT(TCN_SELCHANGE))
            PageControl1.SelectionChanged();
        result = 0;
        return true;
    }
    case WM_CTLCOLORSTATIC:
        return OnControlColor(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam),
                              result);
    case WM_SETCURSOR:
        return OnSetCursor(reinterpret_cast<HWND>(wParam), result);
    case WM_TIMER:
        result = 0;
        return OnTimer(UINT_PTR(wParam));
    default:
        return false;
    }
}

void TForm1::OnCommand(int id, int code, HWND control) {
    const ControlSpec* spec = SpecOf(id);
    if (!spec || !IsControlEvent(spec->kind, code))
        return;
    switch (spec->kind) {
    case ControlKind::CheckBox:
        SetChecked(spec->id, !toolkit::IsChecked(control));
        break;
    case ControlKind::RadioButton:
        SetChecked(spec->id, true); // already checked: nothing happens
        break;
    default:
        RunRole(*this, spec->role, control);
        break;
    }
}

bool TForm1::OnControlColor(HWND control, HDC dc, LRESULT& result) {
    const ControlSpec* spec = SpecOf(GetDlgCtrlID(control));
    if (!spec || !LookOf(spec->look).ownColour)
        return false;
    SetTextColor(dc, LookOf(spec->look).colour);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    return true;
}

bool TForm1::OnSetCursor(HWND control, LRESULT& result) {
    const ControlSpec* spec = SpecOf(GetDlgCtrlID(control));
    if (!spec || spec->kind != ControlKind::LinkLabel)
        return false;
    SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
    result = TRUE;
    return true;
}

void TForm1::BrowseForProgram(ByteString& field, ControlId edit) {
    OpenDialog1.Filter = "実行形式 file(*.exe)|*.exe";
    OpenDialog1.DefaultExt = ".exe";
    if (!OpenDialog1.Execute())
        return;
    field = OpenDialog1.FileName;
    toolkit::SetWindowText(Control(edit), field);
}

void TForm1::ButtonConvClick(HWND) {
    BrowseForProgram(AppSettings.ConverterPath, EditCPath);
}

void TForm1::ButtonLAppClick(HWND) {
    BrowseForProgram(AppSettings.LaunchApp, EditLApp);
}

void TForm1::ButtonDataClick(HWND) {
    if (!FolderDialog1.Execute())
        return;
    // DataFolder and a file name are joined without a separator: a folder gets its "\";
    // a drive root such as C:\ has one already.
    ByteString folder = FolderDialog1.Directory;
    if (folder.size() > 3)
        folder += "\\";
    AppSettings.DataFolder = folder;
    toolkit::SetWindowText(Control(EditDPath), AppSettings.DataFolder);
}

void TForm1::ComboBox1Change(HWND) {
    AppSettings.ResolutionIndex = int32_t(SendMessageA(Control(ComboBox1), CB_GETCURSEL, 0, 0));
}

void TForm1::RadioButton1Click(HWND) {
    if (toolkit::IsChecked(Control(RadioButton1)))
        AppSettings.DoLaunch = OpenAssociated;
    else if (toolkit::IsChecked(Control(RadioButton2)))
        AppSettings.DoLaunch = RunSpecified;
    else
        AppSettings.DoLaunch = DoNothing;
}

void TForm1::CheckBox2Click(HWND) {
    AppSettings.SkipSaveDialog = toolkit::IsChecked(Control(CheckBox2)) ? 1 : 0;
}

void TForm1::CheckBox3Click(HWND) {
    AppSettings.Notify = toolkit::IsChecked(Control(CheckBox3)) ? 1 : 0;
}

void TForm1::LabelHPClick(HWND) {
    win::OpenAssociated(kHomePageUrl);
}

void TForm1::LabelMailClick(HWND) {
    win::OpenAssociated(ByteString("mailto:") + kContactMail);
}
