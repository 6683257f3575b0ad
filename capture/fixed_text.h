// Zero-terminated byte strings in fixed arrays, for the capture program, which allocates
// nothing: appending never overflows, and a cut never splits a double-byte character.
#pragma once

#include <cstddef>
#include <cstring>

template <size_t Capacity> class FixedText {
  public:
    static_assert(Capacity > 0, "room for the terminating zero");

    // Appends all the bytes, or none when they would not fit with the terminating zero.
    bool Append(const char* bytes, size_t length) {
        if (length >= Capacity - size_)
            return false;
        std::memcpy(text_ + size_, bytes, length);
        size_ += length;
        text_[size_] = '\0';
        return true;
    }
    bool Append(const char* text) { return Append(text, std::strlen(text)); }
    template <size_t Other> bool Append(const FixedText<Other>& text) {
        return Append(text.c_str(), text.size());
    }

    const char* c_str() const { return text_; }
    size_t size() const { return size_; }

  private:
    char text_[Capacity] = {};
    size_t size_ = 0;
};

// Length of the longest start of text[0, length) that is at most limit bytes long and does
// not end between the two bytes of a double-byte character of the ANSI code page.
size_t CharBoundaryWithin(const char* text, size_t length, size_t limit);
