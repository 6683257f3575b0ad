// Multibyte-aware path parts.
#include "base/path_parts.h"

#include <cstring>

size_t FindChar(const ByteString& s, char c, size_t from) {
    // Walk from the start: only a walk in character steps knows where characters begin.
    for (size_t i = 0; i < s.size(); i += CharLengthAt(s, i)) {
        if (i >= from && CharLengthAt(s, i) == 1 && s[i] == c)
            return i;
    }
    return ByteString::npos;
}

size_t FindLastOf(const ByteString& s, const char* chars) {
    size_t found = ByteString::npos;
    for (size_t i = 0; i < s.size(); i += CharLengthAt(s, i)) {
        if (CharLengthAt(s, i) == 1 && s[i] != '\0' && std::strchr(chars, s[i]))
            found = i;
    }
    return found;
}

namespace {
// One past the directory part: the index after the last "\" or ":", or 0.
size_t NameStart(const ByteString& path) {
    const size_t delimiter = FindLastOf(path, "\\:");
    return delimiter == ByteString::npos ? 0 : delimiter + 1;
}

// Index of the extension's ".", or npos when the name part has none.
size_t ExtensionStart(const ByteString& path) {
    const size_t dot = FindLastOf(path, "\\:.");
    return (dot != ByteString::npos && path[dot] == '.') ? dot : ByteString::npos;
}
} // namespace

ByteString ExtractFilePath(const ByteString& path) {
    return path.substr(0, NameStart(path));
}

ByteString ExtractFileName(const ByteString& path) {
    return path.substr(NameStart(path));
}

ByteString ExtractFileExt(const ByteString& path) {
    const size_t dot = ExtensionStart(path);
    return dot == ByteString::npos ? ByteString() : path.substr(dot);
}

ByteString ChangeFileExt(const ByteString& path, const ByteString& ext) {
    const size_t dot = ExtensionStart(path);
    return (dot == ByteString::npos ? path : path.substr(0, dot)) + ext;
}

namespace {
bool EndsWithBackslash(const char* s, size_t length) {
    bool backslash = false;
    for (size_t i = 0; i < length; ++i) {
        backslash = s[i] == '\\';
        if (IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < length)
            ++i;
    }
    return backslash;
}
} // namespace

bool EndsWithBackslash(const ByteString& s) {
    return EndsWithBackslash(s.data(), s.size());
}

bool EndsWithBackslash(const char* s) {
    return EndsWithBackslash(s, std::strlen(s));
}

ByteString IncludeTrailingBackslash(const ByteString& s) {
    return (s.empty() || EndsWithBackslash(s)) ? s : s + '\\';
}
