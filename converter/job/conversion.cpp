// The conversion run: takes the job over, names the PDF, runs Ghostscript on the job,
// stores the PDF and starts the after-action. The Windows calls live in
// ghostscript_process_win, ghostscript_lookup_win, pdf_files_win and intake_win, the
// naming in naming.
#include "converter/job/conversion.h"

#include "base/errors.h"
#include "base/path_parts.h"
#include "base/win/files_win.h"
#include "base/win/handles_win.h"
#include "base/win/local_time_win.h"
#include "base/win/shell_win.h"
#include "base/win/text_win.h"
#include "converter/job/ghostscript_lookup_win.h"
#include "converter/job/ghostscript_process_win.h"
#include "converter/job/intake.h"
#include "converter/job/intake_win.h"
#include "converter/job/pdf_files_win.h"
#include "converter/job/progress.h"
#include "handoff/contract.h"
#include "handoff/kept_names.h"

#include <cstdio>
#include <string>

namespace job {

namespace {

// The PDF's Title: the document name decoded with the ANSI code page (wchar_t is UTF-16 on
// Windows).
std::u16string TitleOf(const ByteString& docName) {
    const std::wstring wide = win::WideFromAnsi(docName);
    return std::u16string(wide.begin(), wide.end());
}

ByteString JobKeptSentence(const ByteString& jobPath) {
    return "ジョブファイルは " + jobPath +
           " に残してあります (このファイルを Vellumcast.exe に渡すと、あとで変換できます)";
}

ByteString ConversionFailedMessage(const ByteString& reason, const ByteString& jobPath) {
    return "PDF を作成できませんでした (" + reason + ")。" + JobKeptSentence(jobPath);
}

ByteString CancelledMessage(const ByteString& jobPath) {
    return "PDF の作成を中止しました。" + JobKeptSentence(jobPath);
}

ByteString GhostscriptNotFoundMessage(const ByteString& configured, const ByteString& jobPath) {
    const ByteString where = configured.empty() ? ByteString("パスが設定されていません")
                                                : "設定されたパス: " + configured;
    return "Ghostscript が見つかりません (" + where +
           ")。設定画面の「変換設定」で Ghostscript (gswin32c.exe) のパスを設定してください。" +
           JobKeptSentence(jobPath);
}

ByteString NoDataFolderMessage(const ByteString& dataFolder, const ByteString& pdfPath) {
    const ByteString problem = dataFolder.empty()
                                   ? ByteString("PDF の保存先フォルダが設定されていません")
                                   : "PDF の保存先フォルダ " + dataFolder + " がありません";
    return problem + "。PDF は " + pdfPath + " にあります";
}

ByteString StoreFailedMessage(const ByteString& target, unsigned long code,
                              const ByteString& pdfPath) {
    ByteString reason = win::SystemErrorText(code);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' ||
                               reason.back() == ' ' || reason.back() == '.'))
        reason.pop_back();
    const ByteString detail =
        reason.empty() ? "エラー " + std::to_string(code) : reason + ", " + std::to_string(code);
    return "PDF を " + target + " に保存できませんでした (" + detail + ")。PDF は " + pdfPath +
           " にあります";
}

ByteString DialogFailedMessage(unsigned long code, const ByteString& pdfPath) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%lX", code);
    return ByteString("保存ダイアログを表示できませんでした (エラー ") + hex + ")。PDF は " +
           pdfPath + " にあります";
}

// The run's waits dispatch the main window's messages.
class HostPump : public handoff::MessagePump {
  public:
    explicit HostPump(ConversionHost& host) : host_(host) {}
    void DispatchPending() override { host_.ProcessMessages(); }

  private:
    ConversionHost& host_;
};

// Runs Ghostscript and returns once it has ended with a whole PDF at pdfPath. Otherwise (an
// exit status other than 0, a missing or incomplete PDF, the time limit passed, the user's
// 「中止」) the job stays for another try, whatever Ghostscript left goes, and the run stops
// with a message. The progress window lives as long as Ghostscript runs.
void RunGhostscript(const ByteString& converter, const TAppSettings& settings,
                    const ByteString& pdfPath, const ByteString& jobPath, const ByteString& docName,
                    ConversionHost& host) {
    const HeadAndTail ends = ReadHeadAndTail(jobPath, kDscScanBytes);
    const ConversionProgress progress{docName, pdfPath, AnnouncedPages(ends.head, ends.tail)};
    EnterDirectory(ExtractFilePath(converter));
    const ByteString commandLine = GhostscriptCommandLine(
        converter, ResolutionText(settings.ResolutionIndex), pdfPath, jobPath, TitleOf(docName));
    const win::UniqueProcess process = StartHidden(ExtractFileName(converter), commandLine);
    const unsigned long limit =
        settings.TimeLimit > 0 ? static_cast<unsigned long>(settings.TimeLimit) : 0;
    WaitResult result{};
    {
        host.ConversionStarted(progress);
        const win::ScopeExit ended([&host] { host.ConversionEnded(); });
        result = WaitWhileDispatching(
            process, [&host] { host.ProcessMessages(); }, limit,
            [&host] { return host.CancelRequested(); });
    }

    if (result.outcome == WaitResult::Cancelled)
        throw Exception(CancelledMessage(jobPath));
    ByteString failure;
    if (result.outcome == WaitResult::TimedOut)
        failure = "Ghostscript が制限時間 " + std::to_string(limit) +
                  " 秒を過ぎても終わらないため、終了させました";
    else if (result.outcome == WaitResult::Failed)
        failure = "Ghostscript の終了を確認できません";
    else if (result.exitCode != 0)
        failure = "Ghostscript の終了コード " + std::to_string(result.exitCode);
    else if (!IsCompletePdfFile(pdfPath))
        failure = "Ghostscript の書き出した PDF が不完全です";
    if (!failure.empty())
        throw Exception(ConversionFailedMessage(failure, jobPath));
}

// Any entry of that name, a folder too: a PDF cannot be stored under a folder's name.
bool EntryExists(const ByteString& path) {
    return win::FindEntry(path).has_value();
}

// Moves the PDF to where the user or DataFolder says; the final path, or nothing when
// the user declined (the PDF is then deleted). Raises when the PDF stays where it is.
std::optional<ByteString> StorePdf(const TAppSettings& settings, const ByteString& pdfPath,
                                   const ByteString& fileName, ConversionHost& host) {
    if (settings.SkipSaveDialog == 0) {
        const ByteString shownName =
            FitFileName(fileName, IncludeTrailingBackslash(settings.DataFolder).size());
        const SaveChoice choice = host.ChooseSavePath(settings.DataFolder, shownName);
        if (choice.failure != 0)
            throw Exception(DialogFailedMessage(choice.failure, pdfPath));
        if (!choice.path) {
            DeleteQuietly(pdfPath);
            return std::nullopt;
        }
        // Choosing the PDF's own name must not move the PDF onto itself.
        if (SameFile(*choice.path, pdfPath))
            return choice.path;
        // Replaced in one step: the old file goes only when the new one takes its place.
        // A folder is never replaced (some file systems would let an empty one go).
        if (win::DirectoryExists(*choice.path))
            throw Exception(StoreFailedMessage(*choice.path, ERROR_ACCESS_DENIED, pdfPath));
        if (const unsigned long code = MoveInOneStep(pdfPath, *choice.path, true))
            throw Exception(StoreFailedMessage(*choice.path, code, pdfPath));
        return choice.path;
    }
    // Without a folder to store into, the PDF stays where Ghostscript wrote it.
    if (settings.DataFolder.empty() || !win::DirectoryExists(settings.DataFolder))
        throw Exception(NoDataFolderMessage(settings.DataFolder, pdfPath));
    const ByteString folder = IncludeTrailingBackslash(settings.DataFolder);
    const ByteString name = FitFileName(fileName, folder.size());
    // Another converter may store a PDF of the same name at the same moment: the move
    // never replaces, and a name taken meanwhile sends us on to the next free one.
    ByteString finalPath;
    unsigned long code = 0;
    for (int attempt = 0; attempt < 20; ++attempt) {
        finalPath = MakeUniqueName(folder + name, EntryExists);
        code = MoveInOneStep(pdfPath, finalPath, false);
        if (code != ERROR_ALREADY_EXISTS && code != ERROR_FILE_EXISTS)
            break;
    }
    if (code != 0)
        throw Exception(StoreFailedMessage(finalPath, code, pdfPath));
    return finalPath;
}

void StartAfterAction(const TAppSettings& settings, const ByteString& finalPath,
                      const ConversionHost& host) {
    switch (settings.DoLaunch) {
    case OpenAssociated:
        win::OpenAssociated(finalPath);
        break;
    case RunSpecified:
        if (win::FileExists(settings.LaunchApp))
            win::RunProgram(host.OwnerWindow(), settings.LaunchApp, '"' + finalPath + '"',
                            ExtractFilePath(settings.LaunchApp));
        break;
    default: // DoNothing and every value the settings window does not write
        break;
    }
}

} // namespace

void RunConversion(const ConversionInputs& inputs, ConversionHost& host) {
    const TAppSettings& settings = inputs.settings;
    if (inputs.jobFile.empty())
        return;

    // First of all the job gets a name of its own, so that the capture is free at once.
    ByteString jobPath = inputs.jobFile;
    if (handoff::NamesHandOffJobFile(jobPath.c_str())) {
        HostPump pump(host);
        const auto kept = TakeOverHandOff(jobPath, inputs.handOffLog, &pump);
        if (!kept)
            return; // no job waits: another converter took it
        jobPath = *kept;
    }
    const ByteString keptName = ChangeFileExt(jobPath, handoff::kKeptNameExtension);
    const bool hasKeptName = win::FileExists(keptName);
    const ByteString docName = ReadDocNameFrom(hasKeptName ? keptName : inputs.handOffLog);

    const auto converter = ResolveGhostscript(settings.ConverterPath);
    if (!converter)
        throw Exception(GhostscriptNotFoundMessage(settings.ConverterPath, jobPath));

    const ByteString fileName = ExtractFileName(OutputPath(jobPath, docName, win::LocalTimeNow()));
    const auto pdfPath = ReservePrivatePdf(ExtractFilePath(jobPath));
    if (!pdfPath)
        throw Exception(ConversionFailedMessage(
            ExtractFilePath(jobPath) + " に PDF の作業ファイルを作れません", jobPath));
    try {
        RunGhostscript(*converter, settings, *pdfPath, jobPath, docName, host);
    } catch (...) {
        DeleteQuietly(*pdfPath);
        throw;
    }
    DeleteQuietly(jobPath);
    if (hasKeptName)
        DeleteQuietly(keptName);

    const auto finalPath = StorePdf(settings, *pdfPath, fileName, host);
    if (!finalPath)
        return;
    StartAfterAction(settings, *finalPath, host);
    // The user chose the place in the dialog and knows; an automatic store is told.
    if (settings.SkipSaveDialog != 0 && settings.Notify != 0)
        host.NotifyStored(*finalPath);
}

} // namespace job
