// Path parts as the whole system uses them. The directory part runs up to and including
// the last "\" or ":", the name part follows it, the extension runs from the last "." after
// it. Every search is multibyte-aware: the trail byte of a double-byte character (0x5C in
// 表 or ソ) is never taken for "\" or any other single-byte character.
#pragma once

#include "base/bytes.h"

// Index of the first single-byte occurrence of c at or after from; npos when none.
size_t FindChar(const ByteString& s, char c, size_t from = 0);

// Index of the last single-byte occurrence of any byte in chars; npos when none.
size_t FindLastOf(const ByteString& s, const char* chars);

ByteString ExtractFilePath(const ByteString& path); // directory part, with its "\" or ":"
ByteString ExtractFileName(const ByteString& path); // name part
ByteString ExtractFileExt(const ByteString& path);  // ".ext", or empty

// Replaces the extension, or appends ext when there is none; an empty ext removes it.
ByteString ChangeFileExt(const ByteString& path, const ByteString& ext);

// True when the last character of s is a single-byte "\" (not the trail byte of 表 or ソ).
// The zero-terminated form allocates nothing, for the capture program.
bool EndsWithBackslash(const ByteString& s);
bool EndsWithBackslash(const char* s);

// s with one "\" appended unless it is empty or already ends with one.
ByteString IncludeTrailingBackslash(const ByteString& s);
