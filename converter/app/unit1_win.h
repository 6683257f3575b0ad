// The converter's main window TForm1 (unit Unit1): start-up and the two run modes
// (unit1_win.cpp), and the settings window with its handlers (settings_window_win.cpp).
#pragma once

#include "base/bytes.h"
#include "converter/app/settings_layout.h"
#include "converter/job/conversion.h"
#include "toolkit/controls_win.h"
#include "toolkit/form_win.h"

#include <windows.h>

#include <array>
#include <memory>
#include <optional>

namespace app {
class ProgressWindow;
}
class TFolderDialog;
class TOpenDialog;
class TSaveDialog;
class TSingleInstance;

// The long path of the job file given on the command line; empty in interactive mode.
extern ByteString JobFile;

class TForm1 : public TForm, public job::ConversionHost {
  public:
    explicit TForm1(TComponent* owner);
    ~TForm1() override;

    HWND WindowHandle() override { return Handle(); }
    // The conversion run's save dialog and program start belong to this window.
    HWND OwnerWindow() const override { return Handle(); }

    // The conversion run of the job in JobFile (it pumps messages while Ghostscript runs).
    void ConvertJob();

    // ConversionHost.
    void ProcessMessages() override;
    job::SaveChoice ChooseSavePath(const ByteString& initialDirectory,
                                   const ByteString& fileName) override;
    void ConversionStarted(const job::ConversionProgress& progress) override;
    bool CancelRequested() const override;
    void ConversionEnded() override;
    void NotifyStored(const ByteString& pdfPath) override;

    // Job mode shows no window whatever state it was started in (see unit1_win.cpp).
    int StartupShowState(int requested) const override;

    // Event handlers of the settings window; each takes the control that raised the event.
    void ButtonConvClick(HWND sender);
    void ButtonDataClick(HWND sender);
    void ButtonLAppClick(HWND sender);
    void ComboBox1Change(HWND sender);
    void RadioButton1Click(HWND sender);
    void CheckBox2Click(HWND sender);
    void CheckBox3Click(HWND sender);
    void LabelHPClick(HWND sender);
    void LabelMailClick(HWND sender);

  protected:
    void FormCreate() override;
    void FormActivate() override;
    void FormClose() override;
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  private:
    // The settings window (settings_window_win.cpp).
    void CreateControls();
    void FillFromSettings();
    HWND Control(app::ControlId id) const;
    // Sets a check box or radio button the way a click would: when its state changes, its
    // click handler runs (and a radio button clears the others of its group).
    void SetChecked(app::ControlId id, bool checked);
    void OnCommand(int id, int code, HWND control);
    bool OnControlColor(HWND control, HDC dc, LRESULT& result);
    bool OnSetCursor(HWND control, LRESULT& result);
    // The progress window's timer; false for any other timer.
    bool OnTimer(UINT_PTR id);
    // ButtonConvClick and ButtonLAppClick: a program chosen in OpenDialog1.
    void BrowseForProgram(ByteString& field, app::ControlId edit);

    // Owned components (destroyed with the form).
    TSingleInstance& SingleInstance1;
    TOpenDialog& OpenDialog1;
    TFolderDialog& FolderDialog1;
    TSaveDialog& SaveDialog1;

    // The running conversion's progress window (job mode), driven by the form's timer.
    std::unique_ptr<app::ProgressWindow> progress_;

    toolkit::PageControl PageControl1;
    toolkit::Hint hint_;
    std::array<HWND, 64> controls_{};               // by control ID minus the first ID
    std::array<toolkit::UniqueGdiObject, 4> fonts_; // by look (see settings_window_win.cpp)
};
