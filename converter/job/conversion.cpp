// The conversion run: names the PDF, runs Ghostscript on the job, stores the PDF and
// starts the after-action. The Windows calls live in ghostscript_process_win and
// pdf_files_win, the naming in naming.
#include "converter/job/conversion.h"

#include "base/errors.h"
#include "base/path_parts.h"
#include "base/win/files_win.h"
#include "base/win/local_time_win.h"
#include "base/win/shell_win.h"
#include "converter/job/ghostscript_process_win.h"
#include "converter/job/intake.h"
#include "converter/job/pdf_files_win.h"
#include "converter/job/title_text_win.h"

#include <string>

namespace job {

namespace {

ByteString ConversionFailedMessage(const ByteString& reason, const ByteString& jobPath) {
    return "PDF を作成できませんでした (" + reason + ")。ジョブファイルは " + jobPath +
           " に残してあります";
}

ByteString NoDataFolderMessage(const ByteString& dataFolder, const ByteString& pdfPath) {
    const ByteString problem = dataFolder.empty()
                                   ? ByteString("PDF の保存先フォルダが設定されていません")
                                   : "PDF の保存先フォルダ " + dataFolder + " がありません";
    return problem + "。PDF は " + pdfPath + " にあります";
}

// Runs Ghostscript and returns once it has ended. When it failed (an exit status other
// than 0, or no PDF at all) the job file stays for another try, whatever Ghostscript left
// at the output path goes (a failed run can leave a blank or partial PDF), and the run
// stops with a message.
void RunGhostscript(const TAppSettings& settings, const ByteString& outputPath,
                    const ByteString& jobPath, const ByteString& docName, ConversionHost& host) {
    EnterDirectory(ExtractFilePath(settings.ConverterPath));
    const ByteString commandLine =
        GhostscriptCommandLine(settings.ConverterPath, ResolutionText(settings.ResolutionIndex),
                               outputPath, jobPath, TitleFromAnsi(docName));
    const win::UniqueProcess process =
        StartHidden(ExtractFileName(settings.ConverterPath), commandLine);
    const auto exitCode = WaitWhileDispatching(process, [&host] { host.ProcessMessages(); });

    ByteString failure;
    if (!exitCode)
        failure = "Ghostscript の終了を確認できません";
    else if (*exitCode != 0)
        failure = "Ghostscript の終了コード " + std::to_string(*exitCode);
    else if (!win::FileExists(outputPath))
        failure = "Ghostscript が PDF を書き出しませんでした";
    if (!failure.empty()) {
        DeleteQuietly(outputPath);
        throw Exception(ConversionFailedMessage(failure, jobPath));
    }
}

// Moves the PDF to where the user or DataFolder says; the final path, or nothing when
// the user declined (the PDF is then deleted).
std::optional<ByteString> StorePdf(const TAppSettings& settings, const ByteString& outputPath,
                                   ConversionHost& host) {
    if (settings.SkipSaveDialog == 0) {
        const auto chosen = host.ChooseSavePath(settings.DataFolder, ExtractFileName(outputPath));
        if (!chosen) {
            DeleteQuietly(outputPath);
            return std::nullopt;
        }
        // Choosing the PDF's own name must not delete the PDF as "the existing file".
        if (!SameFile(*chosen, outputPath)) {
            if (win::FileExists(*chosen))
                DeleteQuietly(*chosen);
            MoveQuietly(outputPath, *chosen);
        }
        return chosen;
    }
    // Without a folder to store into, the PDF stays where Ghostscript wrote it.
    if (settings.DataFolder.empty() || !win::DirectoryExists(settings.DataFolder))
        throw Exception(NoDataFolderMessage(settings.DataFolder, outputPath));
    const ByteString finalPath = StoragePath(settings.DataFolder, outputPath, win::FileExists);
    MoveQuietly(outputPath, finalPath);
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
    if (settings.ConverterPath.empty() || !win::FileExists(settings.ConverterPath))
        return;

    const ByteString jobPath = inputs.jobFile;
    const ByteString docName = ReadDocNameFrom(inputs.handOffLog);
    const ByteString outputPath = OutputPath(jobPath, docName, win::LocalTimeNow());

    RunGhostscript(settings, outputPath, jobPath, docName, host);
    DeleteQuietly(jobPath);

    const auto finalPath = StorePdf(settings, outputPath, host);
    if (finalPath)
        StartAfterAction(settings, *finalPath, host);
}

} // namespace job
