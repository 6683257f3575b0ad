// The conversion run: names the PDF, runs Ghostscript on the job, stores the PDF and
// starts the after-action. The Windows calls live in ghostscript_process and pdf_files_win.
#include "converter/job/conversion.h"

#include "base/errors.h"
#include "base/path_parts.h"
#include "base/win/files.h"
#include "converter/job/ghostscript_process.h"
#include "converter/job/intake.h"
#include "converter/job/pdf_files_win.h"
#include "converter/job/title_text_win.h"

#include <cstdio>
#include <string>

namespace {

// Dots per inch by ResolutionIndex.
constexpr const char* kResolutionTexts[] = {"72", "150", "200", "300", "400", "600", "1200"};

// Characters that a Windows file name cannot hold, replaced by "_" in document names.
constexpr char kUnsafeInFileNames[] = {'\\', '/', ':', '*', '?', '"', '<', '>', '|'};

// Names that Windows opens as devices whatever extension follows them.
constexpr const char* kDeviceNames[] = {
    "CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7",
    "COM8", "COM9", "LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9",
};

bool IsUnsafeInFileNames(char c) {
    for (char unsafe : kUnsafeInFileNames) {
        if (c == unsafe)
            return true;
    }
    return false;
}

bool IsControl(char c) {
    return static_cast<unsigned char>(c) < 0x20;
}

bool IsDeviceName(const ByteString& stem) {
    for (const char* device : kDeviceNames) {
        if (SameTextAsciiCaseless(stem, device))
            return true;
    }
    return false;
}

// Ghostscript reads "%" in an output file name as a page-number template; "%%" is a "%".
ByteString EscapePercent(const ByteString& path) {
    ByteString escaped;
    for (char c : path) {
        escaped += c;
        if (c == '%')
            escaped += '%';
    }
    return escaped;
}

// The program's own name opens the command line; quoted only when a blank in it would
// otherwise split it into two arguments.
ByteString ProgramToken(const ByteString& fileName) {
    if (fileName.find_first_of(" \t") == ByteString::npos)
        return fileName;
    return '"' + fileName + '"';
}

ByteString Quoted(const ByteString& text) {
    return '"' + text + '"';
}

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
    ghostscript::EnterDirectory(ExtractFilePath(settings.ConverterPath));
    const ByteString commandLine =
        GhostscriptCommandLine(settings.ConverterPath, ResolutionText(settings.ResolutionIndex),
                               outputPath, jobPath, title_text::FromAnsi(docName));
    const win::UniqueProcess process =
        ghostscript::StartHidden(ExtractFileName(settings.ConverterPath), commandLine);
    const auto exitCode =
        ghostscript::WaitWhileDispatching(process, [&host] { host.ProcessMessages(); });

    ByteString failure;
    if (!exitCode)
        failure = "Ghostscript の終了を確認できません";
    else if (*exitCode != 0)
        failure = "Ghostscript の終了コード " + std::to_string(*exitCode);
    else if (!win::FileExists(outputPath))
        failure = "Ghostscript が PDF を書き出しませんでした";
    if (!failure.empty()) {
        pdf_files::Delete(outputPath);
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
            pdf_files::Delete(outputPath);
            return std::nullopt;
        }
        // Choosing the PDF's own name must not delete the PDF as "the existing file".
        if (!pdf_files::SameFile(*chosen, outputPath)) {
            if (win::FileExists(*chosen))
                pdf_files::Delete(*chosen);
            pdf_files::Move(outputPath, *chosen);
        }
        return chosen;
    }
    // Without a folder to store into, the PDF stays where Ghostscript wrote it.
    if (settings.DataFolder.empty() || !win::DirectoryExists(settings.DataFolder))
        throw Exception(NoDataFolderMessage(settings.DataFolder, outputPath));
    const ByteString finalPath = StoragePath(settings.DataFolder, outputPath);
    pdf_files::Move(outputPath, finalPath);
    return finalPath;
}

void StartAfterAction(const TAppSettings& settings, const ByteString& finalPath,
                      const ConversionHost& host) {
    switch (settings.DoLaunch) {
    case OpenAssociated:
        pdf_files::OpenAssociated(finalPath);
        break;
    case RunSpecified:
        if (win::FileExists(settings.LaunchApp))
            pdf_files::RunProgram(host.WindowHandle(), settings.LaunchApp, Quoted(finalPath),
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
    const ByteString outputPath = OutputPath(jobPath, docName, pdf_files::LocalTimeNow());

    RunGhostscript(settings, outputPath, jobPath, docName, host);
    pdf_files::Delete(jobPath);

    const auto finalPath = StorePdf(settings, outputPath, host);
    if (finalPath)
        StartAfterAction(settings, *finalPath, host);
}

ByteString ResolutionText(int32_t resolutionIndex) {
    constexpr int32_t count = sizeof kResolutionTexts / sizeof kResolutionTexts[0];
    if (resolutionIndex < 0 || resolutionIndex >= count)
        return ByteString();
    return kResolutionTexts[resolutionIndex];
}

ByteString SanitizeDocName(const ByteString& docName) {
    ByteString name = docName;
    // Only single-byte characters count: 表 and ソ end in the byte of "\".
    for (size_t i = 0; i < name.size(); i += CharLengthAt(name, i)) {
        if (CharLengthAt(name, i) == 1 && IsUnsafeInFileNames(name[i]))
            name[i] = '_';
    }
    // A control byte is never part of a double-byte character; Windows refuses it anywhere.
    for (char& c : name) {
        if (IsControl(c))
            c = '_';
    }
    return name;
}

ByteString Timestamp(const std::tm& localTime) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d年%02d月%02d日%02d時%02d分%02d秒",
                  localTime.tm_year + 1900, localTime.tm_mon + 1, localTime.tm_mday,
                  localTime.tm_hour, localTime.tm_min, localTime.tm_sec);
    return text;
}

ByteString AvoidDeviceName(const ByteString& fileName) {
    // Windows takes the part before the first "." for the device, blanks at its end ignored.
    const size_t dot = FindChar(fileName, '.');
    size_t stemEnd = dot == ByteString::npos ? fileName.size() : dot;
    while (stemEnd > 0 && fileName[stemEnd - 1] == ' ')
        --stemEnd;
    if (!IsDeviceName(fileName.substr(0, stemEnd)))
        return fileName;
    return fileName.substr(0, stemEnd) + '_' + fileName.substr(stemEnd);
}

ByteString OutputPath(const ByteString& jobPath, const ByteString& docName,
                      const std::tm& localTime) {
    const ByteString directory = ExtractFilePath(jobPath);
    if (docName.empty())
        return directory + "prn_data(" + Timestamp(localTime) + ").pdf";
    return directory + AvoidDeviceName(ChangeFileExt(SanitizeDocName(docName), ".pdf"));
}

ByteString GhostscriptCommandLine(const ByteString& converterPath, const ByteString& resolutionText,
                                  const ByteString& outputPath, const ByteString& jobPath,
                                  const std::u16string& title) {
    ByteString line = ProgramToken(ExtractFileName(converterPath));
    line += " -dNOPAUSE -dBATCH -sDEVICE=pdfwrite";
    // A bare "-r" is refused by Ghostscript; without it Ghostscript takes its default.
    if (!resolutionText.empty())
        line += " -r" + resolutionText;
    line += " -sOutputFile=" + Quoted(EscapePercent(outputPath));
    line += " -c 300000 setvmthreshold save pop -f " + Quoted(jobPath);
    return line + DocInfoArguments(title);
}

ByteString DocInfoArguments(const std::u16string& title) {
    if (title.empty())
        return ByteString();
    // The job's own %%Title is in the ANSI code page, which Ghostscript would copy into
    // the PDF as if it were Latin text; a DOCINFO mark after the job replaces it.
    static const char kHex[] = "0123456789ABCDEF";
    ByteString hex = "FEFF";
    for (const char16_t unit : title) {
        for (int shift = 12; shift >= 0; shift -= 4)
            hex += kHex[(unit >> shift) & 0xF];
    }
    return " -c [ /Title <" + hex + "> /Creator (Vellumcast) /DOCINFO pdfmark";
}

ByteString StoragePath(const ByteString& dataFolder, const ByteString& outputPath) {
    return MakeUniqueName(IncludeTrailingBackslash(dataFolder) + ExtractFileName(outputPath));
}

ByteString MakeUniqueName(const ByteString& path) {
    if (!win::FileExists(path))
        return path;
    const ByteString stem = ChangeFileExt(path, "");
    const ByteString extension = ExtractFileExt(path);
    for (unsigned long n = 1;; ++n) {
        const ByteString candidate = stem + "(" + std::to_string(n) + ")" + extension;
        if (!win::FileExists(candidate))
            return candidate;
    }
}
