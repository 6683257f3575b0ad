// TForm1's start-up and run modes: interactive mode (no argument) shows the settings window
// and saves the settings when it closes; job mode (an argument: the job file) converts the
// job invisibly in the activation event and closes.
#include "converter/app/unit1_win.h"

#include "components/folder_dialog_win.h"
#include "components/sys_ctrls_win.h"
#include "converter/app/command_line.h"
#include "converter/app/progress_window_win.h"
#include "converter/app/resources.h"
#include "converter/app/stored_notice_win.h"
#include "converter/job/intake.h"
#include "toolkit/file_dialogs_win.h"
#include "converter/settings/rw_ini.h"
#include "toolkit/application_win.h"
#include "toolkit/window_class_win.h"

ByteString JobFile;

namespace {
// The design position is always replaced from the settings at creation.
const FormStyle kMainWindow{app::kMainWindowClass,
                            app::kApplicationTitle,
                            192,
                            112,
                            291,
                            167,
                            WS_OVERLAPPED | WS_CAPTION | WS_BORDER | WS_SYSMENU | WS_MINIMIZEBOX |
                                WS_CLIPCHILDREN,
                            WS_EX_APPWINDOW | WS_EX_CONTROLPARENT,
                            kMainIconId};

// The run mode is not stored: every event asks the command line again.
bool InJobMode() {
    return !CommandLineArguments().empty();
}
} // namespace

TForm1::TForm1(TComponent* owner)
    : TForm(owner, kMainWindow), SingleInstance1(Own<TSingleInstance>()),
      OpenDialog1(Own<TOpenDialog>()), FolderDialog1(Own<TFolderDialog>()),
      SaveDialog1(Own<TSaveDialog>(kPdfSaveDialog)) {
    SingleInstance1.DupInstAction = diActivateFirst;
    SingleInstance1.UniqueName = "Ident4615";
    SingleInstance1.ErrorMessage = "すでに起動されています";
    OpenDialog1.Title = "ファイルの読み込み";
    OpenDialog1.Options = OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_ENABLESIZING;
    FolderDialog1.Title = "フォルダーの選択";
    CreateControls();
}

TForm1::~TForm1() = default;

// The timer of the progress window (see HandleMessage).
const UINT_PTR kProgressTimerId = 1;

void TForm1::FormCreate() {
    ReadSettings();
    SetTop(AppSettings.WindowTop);
    SetLeft(AppSettings.WindowLeft);
    FillFromSettings();
    JobFile.clear();
    if (InJobMode()) {
        // No taskbar button and no visible area; the window is still shown and activated,
        // which is what starts the job.
        Application.SetExStyle(WS_EX_TOOLWINDOW);
        SetBorderStyleNone();
        SetTop(0);
        SetLeft(0);
        SetWidth(0);
        SetHeight(0);
    }
}

void TForm1::FormActivate() {
    const auto arguments = CommandLineArguments();
    if (arguments.empty())
        return;
    try {
        // A duplicate instance has its quit message pending (the single-instance guard posted
        // it). Taken now, it is noted for the end of the job; left in the queue, the first
        // message box of the job would take it and close before the user could read it.
        Application.ProcessMessages();
        JobFile = job::ExpandLongPath(arguments.front());
        ConvertJob();
    } catch (...) {
        // The window has no visible area and nothing else can close it: once the user has
        // read the message, the job is over.
        Application.HandleException(std::current_exception());
    }
    Close();
}

void TForm1::FormClose() {
    if (InJobMode())
        return;
    if (IsNormalState()) {
        AppSettings.WindowTop = Top();
        AppSettings.WindowLeft = Left();
    }
    WriteSettings();
}

int TForm1::StartupShowState(int requested) const {
    // Minimised, the invisible job window could never be restored (so the job would never
    // run); maximised, it would cover the screen. Job mode always shows it normally.
    return InJobMode() ? SW_SHOWNORMAL : requested;
}

void TForm1::ConvertJob() {
    const job::ConversionInputs inputs{JobFile, job::HandOffLogPath(), AppSettings};
    job::RunConversion(inputs, *this);
}

void TForm1::ProcessMessages() {
    Application.ProcessMessages();
}

job::SaveChoice TForm1::ChooseSavePath(const ByteString& initialDirectory,
                                       const ByteString& fileName) {
    const SavePathChoice choice =
        ::ChooseSavePath(SaveDialog1, Handle(), initialDirectory, fileName);
    return {choice.path, choice.failure};
}

void TForm1::ConversionStarted(const job::ConversionProgress& progress) {
    progress_ = std::make_unique<app::ProgressWindow>(Handle(), kProgressTimerId, progress);
}

bool TForm1::CancelRequested() const {
    return progress_ && progress_->CancelRequested();
}

void TForm1::ConversionEnded() {
    progress_.reset();
}

void TForm1::NotifyStored(const ByteString& pdfPath) {
    const HICON icon = static_cast<HICON>(
        LoadImageA(toolkit::Instance(), MAKEINTRESOURCEA(kMainIconId), IMAGE_ICON,
                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    app::ShowStoredNotice(pdfPath, icon, [] { Application.ProcessMessages(); });
}

bool TForm1::OnTimer(UINT_PTR id) {
    if (id != kProgressTimerId)
        return false;
    if (progress_)
        progress_->Tick();
    return true;
}
