// Fuzzes the road from a document name to Ghostscript's command line: cleaning, device
// names, the ".pdf" extension, "%" escaping and quoting. For every input: the PDF's name
// holds no byte that Windows refuses outside a double-byte character and no lead byte
// without its trail byte, is no device name, ends in ".pdf" and lies in the job's folder;
// cut to fit a folder it stays such a name within the path limits; the command line splits,
// as Windows splits it, into exactly the expected arguments, the document information after
// the job included.
#include "base/bytes.h"
#include "base/path_parts.h"
#include "converter/job/naming.h"
#include "tests/support/windows_argv.h"
#include "tests/support/fuzz_property.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {
// What Windows refuses in a file name (besides control bytes), from its documentation.
bool IsRefused(unsigned char c) {
    return c < 0x20 || ByteString("\\/:*?\"<>|").find(char(c)) != ByteString::npos;
}

bool IsDevice(ByteString stem) {
    for (char& c : stem) {
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    }
    if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL")
        return true;
    return stem.size() == 4 && (stem.rfind("COM", 0) == 0 || stem.rfind("LPT", 0) == 0) &&
           stem[3] >= '1' && stem[3] <= '9';
}

void CheckFileName(const ByteString& name) {
    for (size_t i = 0; i < name.size(); i += CharLengthAt(name, i)) {
        const auto byte = static_cast<unsigned char>(name[i]);
        if (CharLengthAt(name, i) == 2)
            continue;
        FUZZ_PROPERTY(!IsRefused(byte));
        FUZZ_PROPERTY(!IsLeadByte(byte)); // a lead byte alone would change the byte after it
    }
    FUZZ_PROPERTY(ExtractFileExt(name) == ".pdf");
    // Windows takes the part before the first "." for the device, blanks at its end ignored.
    ByteString stem = name.substr(0, FindChar(name, '.'));
    while (!stem.empty() && stem.back() == ' ')
        stem.pop_back();
    FUZZ_PROPERTY(!IsDevice(stem));
}

// Path text without what no Windows path holds: quotes and control bytes.
ByteString PathText(ByteString text) {
    for (char& c : text) {
        if (c == '"' || static_cast<unsigned char>(c) < 0x20)
            c = '_';
    }
    return text;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const int32_t resolutionIndex = input.ConsumeIntegralInRange<int32_t>(-1, 7);
    const ByteString folder = PathText(input.ConsumeRandomLengthString(64));
    const ByteString program = PathText(input.ConsumeRandomLengthString(32));
    std::u16string title;
    for (size_t units = input.ConsumeIntegralInRange<size_t>(0, 8); units > 0; --units)
        title += input.ConsumeIntegral<char16_t>();
    const size_t folderLength = input.ConsumeIntegralInRange<size_t>(0, 400);
    const ByteString docName = input.ConsumeRemainingBytesAsString();

    std::tm when{};
    when.tm_year = 126;
    when.tm_mday = 1;
    const ByteString jobPath = "C:\\jobs\\" + folder + "\\$$temp.ps";
    const ByteString outputPath = job::OutputPath(jobPath, docName, when);
    FUZZ_PROPERTY(outputPath.rfind(ExtractFilePath(jobPath), 0) == 0);
    const ByteString name = outputPath.substr(ExtractFilePath(jobPath).size());
    FUZZ_PROPERTY(ExtractFileName(outputPath) == name);
    CheckFileName(name);

    // Cut to fit a folder: the start of the name up to a character boundary, the extension
    // whole, the path and the name within their limits unless only one character is left.
    const ByteString fitted = job::FitFileName(name, folderLength);
    CheckFileName(fitted);
    const size_t stemLength = fitted.size() - 4;
    // The start of the name, or one character less with the "_" after a device word.
    const bool keptStart = name.compare(0, stemLength, fitted, 0, stemLength) == 0;
    const size_t keptLength = keptStart ? stemLength : stemLength - 1;
    FUZZ_PROPERTY(keptStart || (stemLength > 0 && job::AvoidDeviceName(name.substr(0, keptLength) +
                                                                       ".pdf") == fitted));
    // (A name that is only ".pdf", from a document called ".", has nothing to cut.)
    FUZZ_PROPERTY(stemLength > 0 || name == ".pdf");
    size_t boundary = 0;
    while (boundary < keptLength)
        boundary += CharLengthAt(name, boundary);
    FUZZ_PROPERTY(boundary == keptLength);
    const bool oneCharacter = stemLength <= CharLengthAt(name, 0);
    FUZZ_PROPERTY(oneCharacter ||
                  (folderLength + job::kUniqueSuffixRoom + fitted.size() <= job::kMaxPathLength &&
                   fitted.size() + job::kUniqueSuffixRoom <= job::kMaxFileNameLength));

    // The program name ends the path; a name made only of blanks is no program.
    const ByteString converterPath = "C:\\gs\\" + program + "gswin32c.exe";
    const ByteString resolution = job::ResolutionText(resolutionIndex);
    const ByteString line =
        job::GhostscriptCommandLine(converterPath, resolution, outputPath, jobPath, title);
    std::vector<ByteString> expected{ExtractFileName(converterPath), "-dNOPAUSE", "-dBATCH",
                                     "-sDEVICE=pdfwrite"};
    if (!resolution.empty())
        expected.push_back("-r" + resolution);
    expected.push_back("-sOutputFile=" + job::EscapePercent(outputPath));
    for (const char* word : {"-c", "300000", "setvmthreshold", "save", "pop", "-f"})
        expected.push_back(word);
    expected.push_back(jobPath);
    if (!title.empty()) {
        ByteString hex = "<FEFF";
        for (char16_t unit : title) {
            char digits[5];
            std::snprintf(digits, sizeof digits, "%04X", unsigned(unit));
            hex += digits;
        }
        for (const char* word : {"-c", "[", "/Title"})
            expected.push_back(word);
        expected.push_back(hex + ">");
        for (const char* word : {"/Creator", "(Vellumcast)", "/DOCINFO", "pdfmark"})
            expected.push_back(word);
    }
    FUZZ_PROPERTY(testing_support::SplitWindowsCommandLine(line) == expected);
    return 0;
}
