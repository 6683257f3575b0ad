// The contract between the capture program and the converter: the files they share in
// their one directory, the converter's file name and the hand-off log's marker. Nothing
// else in the programs spells these names.
#pragma once

#include <cstddef>

namespace handoff {

constexpr char kJobFileName[] = "$$temp.ps";
constexpr char kHandOffLogName[] = "log.txt";
constexpr char kConverterFileName[] = "Vellumcast.exe";

// The environment variable the printer port sets, and the hand-off line's marker before
// the document name.
constexpr char kDocNameVariable[] = "REDMON_DOCNAME";
constexpr char kDocNameMarker[] = "REDMON_DOCNAME=";

// The hand-off line's buffer: the marker, at most 242 bytes of name, CR LF and a zero.
constexpr size_t kHandOffLineCapacity = 260;
constexpr size_t kDocumentNameCapacity = kHandOffLineCapacity - (sizeof kDocNameMarker - 1) - 2;

} // namespace handoff
