// The file dialogs' texts: the filter going in, the selection coming out.
#include "toolkit/file_dialog_text.h"

#include <gtest/gtest.h>

using toolkit::CommonDialogFilter;
using toolkit::FirstSelectedFile;

namespace {
struct SelectionCase {
    const char* label;
    ByteString buffer; // as the dialog leaves it, zeros included
    ByteString expected;
};

ByteString Bytes(const char* text, size_t size) {
    return ByteString(text, size);
}

TEST(FirstSelectedFile, TakesTheFullPathOfTheFirstFile) {
    const SelectionCase cases[] = {
        {"one file", Bytes("C:\\gs\\bin\\gswin32c.exe\0\0", 25), "C:\\gs\\bin\\gswin32c.exe"},
        {"several files", Bytes("C:\\apps\0b.exe\0a.exe\0\0", 21), "C:\\apps\\b.exe"},
        {"several in a drive root", Bytes("C:\\\0x.exe\0y.exe\0\0", 17), "C:\\x.exe"},
        // The trail byte 0x5C of 表 is not a separator: one "\" is still added.
        {"folder ending in a double-byte character", Bytes("C:\\表\0p.exe\0q.exe\0\0", 19),
         "C:\\表\\p.exe"},
        {"one file in a large buffer", ByteString("D:\\x.exe") + ByteString(100, '\0'),
         "D:\\x.exe"},
    };
    for (const SelectionCase& c : cases)
        EXPECT_EQ(FirstSelectedFile(c.buffer), c.expected) << c.label;
}

TEST(CommonDialogFilter, PairsWithALoneTextAsItsOwnPattern) {
    const struct {
        const char* filter;
        ByteString expected;
    } cases[] = {
        {"*.pdf", ByteString("*.pdf\0*.pdf\0\0", 13)},
        {"PDF|*.pdf", ByteString("PDF\0*.pdf\0\0", 11)},
        {"PDF|*.pdf|All|*.*", ByteString("PDF\0*.pdf\0All\0*.*\0\0", 19)},
        {"表|*.pdf", ByteString("表\0*.pdf\0\0", 10)},
        // ポ is 83 7C: its trail byte is the "|" byte, yet it is no separator.
        {"ポスト|*.ps", ByteString("ポスト\0*.ps\0\0", 13)},
        {"ポ", ByteString("ポ\0ポ\0\0", 7)},
        {"", ByteString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.filter);
        EXPECT_EQ(CommonDialogFilter(c.filter), c.expected);
    }
}

} // namespace
