// Naming the PDF and Ghostscript's command line (pure logic).
#include "converter/job/naming.h"

#include "base/path_parts.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace job {

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

} // namespace

ByteString EscapePercent(const ByteString& path) {
    ByteString escaped;
    for (char c : path) {
        escaped += c;
        if (c == '%')
            escaped += '%';
    }
    return escaped;
}

ByteString ResolutionText(int32_t resolutionIndex) {
    constexpr int32_t count = sizeof kResolutionTexts / sizeof kResolutionTexts[0];
    if (resolutionIndex < 0 || resolutionIndex >= count)
        return ByteString();
    return kResolutionTexts[resolutionIndex];
}

ByteString SanitizeDocName(const ByteString& docName) {
    ByteString name = docName;
    for (size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        if (IsLeadByte(byte)) {
            // A whole double-byte character stays as it is: 表 and ソ end in the byte of "\".
            if (i + 1 < name.size() &&
                IsShiftJisTrailByte(static_cast<unsigned char>(name[i + 1]))) {
                ++i;
                continue;
            }
            // A lead byte without its trail byte (a name cut inside a character) would take
            // the byte after it, a quote or the "." of ".pdf", into a character of its own.
            name[i] = '_';
        } else if (IsUnsafeInFileNames(name[i]) || IsControl(name[i])) {
            name[i] = '_';
        }
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

ByteString FitFileName(const ByteString& fileName, size_t folderLength) {
    const ByteString extension = ExtractFileExt(fileName);
    const ByteString stem = fileName.substr(0, fileName.size() - extension.size());
    const size_t used = folderLength + kUniqueSuffixRoom + extension.size();
    const size_t nameRoom = kUniqueSuffixRoom + extension.size() < kMaxFileNameLength
                                ? kMaxFileNameLength - kUniqueSuffixRoom - extension.size()
                                : 0; // an extension too long for any name: keep one character
    const size_t room = std::min(used < kMaxPathLength ? kMaxPathLength - used : 0, nameRoom);
    size_t cut = 0;
    size_t previous = 0;
    while (cut < stem.size() && cut + CharLengthAt(stem, cut) <= room) {
        previous = cut;
        cut += CharLengthAt(stem, cut);
    }
    if (cut == 0 && !stem.empty())
        cut = CharLengthAt(stem, 0);
    // A cut can leave a device word ("CONSOLE" becomes "CON", "CON  x" becomes "CON  "): one
    // character less makes room for the "_" that turns it into a file name.
    const ByteString fitted = stem.substr(0, cut) + extension;
    if (cut < stem.size() && AvoidDeviceName(fitted) != fitted)
        return AvoidDeviceName(stem.substr(0, previous) + extension);
    return fitted;
}

ByteString StoragePath(const ByteString& dataFolder, const ByteString& outputPath,
                       const ExistsPredicate& fileExists) {
    return MakeUniqueName(IncludeTrailingBackslash(dataFolder) + ExtractFileName(outputPath),
                          fileExists);
}

ByteString MakeUniqueName(const ByteString& path, const ExistsPredicate& fileExists) {
    if (!fileExists(path))
        return path;
    const ByteString stem = ChangeFileExt(path, "");
    const ByteString extension = ExtractFileExt(path);
    for (unsigned long n = 1;; ++n) {
        const ByteString candidate = stem + "(" + std::to_string(n) + ")" + extension;
        if (!fileExists(candidate))
            return candidate;
    }
}

} // namespace job
