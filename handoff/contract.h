// The contract between the capture program and the converter: the files they share in
// their data folder (see data_folder.h), the converter's file name, the hand-off log's
// marker and the names under which a job waits when no converter has it. Nothing else in
// the programs spells these names.
#pragma once

#include <cstddef>
#include <cstring>

namespace handoff {

constexpr char kJobFileName[] = "$$temp.ps";
constexpr char kHandOffLogName[] = "log.txt";
constexpr char kConverterFileName[] = "Vellumcast.exe";

// The settings file: beside the programs in a portable copy; in an installed copy the one
// beside the programs holds the machine's defaults (and the install marker, see
// data_folder.h) and each user's own lies in that user's data folder.
constexpr char kSettingsFileName[] = "Vellumcast.ini";

// Paths as the ANSI calls take them (MAX_PATH), terminating zero included.
constexpr size_t kPathCapacity = 260;

// A path in a fixed array: the capture program allocates nothing.
struct PathBuffer {
    char text[kPathCapacity];
};

// Appends text to path, whose first length bytes are in use, and advances length; false (and
// nothing appended) when it would not fit with the terminating zero.
inline bool AppendToPath(PathBuffer& path, size_t& length, const char* text) {
    const size_t size = std::strlen(text);
    if (size >= sizeof path.text - length)
        return false;
    std::memcpy(path.text + length, text, size + 1);
    length += size;
    return true;
}

// The environment variable the printer port sets, and the hand-off line's marker before
// the document name.
constexpr char kDocNameVariable[] = "REDMON_DOCNAME";
constexpr char kDocNameMarker[] = "REDMON_DOCNAME=";

// The hand-off line's buffer: the marker, at most 242 bytes of name, CR LF and a zero.
constexpr size_t kHandOffLineCapacity = 260;
constexpr size_t kDocumentNameCapacity = kHandOffLineCapacity - (sizeof kDocNameMarker - 1) - 2;

// A kept job: "$$kept-<date>-<time>-<n>.ps" in the data folder, with its hand-off line in
// "<same stem>.name". The capture stores every stream under such a name before it hands it
// on; the converter moves the job file to one as soon as it takes a job over; a capture that
// finds an unconverted job file moves it to one. No print ever writes to a name of this kind
// that exists, so a kept job survives every later print, and passing its ".ps" to the
// converter converts it under its own document name.
constexpr char kKeptJobPrefix[] = "$$kept-";
constexpr char kKeptJobExtension[] = ".ps";
constexpr char kKeptNameExtension[] = ".name";

// Where Ghostscript writes a job's PDF before it is stored: "$$pdf-<date>-<time>-<n>.pdf",
// reserved by the run that uses it, so no other job's run can write to it.
constexpr char kPrivatePdfPrefix[] = "$$pdf-";
constexpr char kPdfExtension[] = ".pdf";

} // namespace handoff
