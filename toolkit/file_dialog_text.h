// The texts the file dialogs exchange with the common dialog library: the filter that goes
// in and the selection that comes out (portable, so they also run natively).
#pragma once

#include "base/bytes.h"

namespace toolkit {

// "description|pattern|..." as the common dialog takes it: pairs of zero-ended texts and a
// final zero. A description without a pattern (such as a lone "*.pdf") serves as its own
// pattern. Only a single-byte "|" separates: 0x7C is also a Shift-JIS trail byte (ポ is
// 83 7C). Empty for an empty filter.
ByteString CommonDialogFilter(const ByteString& filter);

// The parts of a multi-selection result "folder\0name\0name\0\0", or of a single full path
// "path\0\0": the full path of the first file named.
ByteString FirstSelectedFile(const ByteString& buffer);

} // namespace toolkit
