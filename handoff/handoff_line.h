// The one line of the hand-off log: written by the capture, read by the converter.
#pragma once

#include "base/bytes.h"

#include <cstddef>

namespace handoff {

// Writes "REDMON_DOCNAME=" + the name's bytes + CR LF and a terminating zero into line,
// which holds capacity bytes. The line's length, or 0 (and an empty line) when it does not
// fit. Allocates nothing: the capture program calls it.
size_t FormatHandOffLine(const char* name, size_t nameLength, char* line, size_t capacity);

// The document name in the log's bytes: the rest of the first line that holds the marker;
// empty when no line does. Lines end at CR or CR LF; 0x1A ends the text.
ByteString DocNameFromLogText(const ByteString& text);

} // namespace handoff
