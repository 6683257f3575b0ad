// The names of the hand-off's kernel objects: one per job folder, whatever its spelling.
#include "handoff/object_names.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using handoff::NameOf;
using handoff::Namespace;
using handoff::ObjectKind;

TEST(HandOffNames, FnvOneAOfTheCaseFoldedPath) {
    // Reference values of 32-bit FNV-1a.
    EXPECT_EQ(handoff::FoldedPathHash(""), 0x811c9dc5u);
    EXPECT_EQ(handoff::FoldedPathHash("a"), 0xe40c292cu);
    EXPECT_EQ(handoff::FoldedPathHash("foobar"), 0xbf9cf968u);
    EXPECT_EQ(handoff::FoldedPathHash("FOOBAR"), 0xbf9cf968u);
}

TEST(HandOffNames, GlobalOrSessionNamesOfEachKind) {
    const char* folder = "C:\\Program Files\\Printer\\";
    const struct {
        ObjectKind kind;
        Namespace space;
        const char* prefix;
    } cases[] = {
        {ObjectKind::HandOffTurn, Namespace::Global, "Global\\Vellumcast.Turn."},
        {ObjectKind::JobFiles, Namespace::Global, "Global\\Vellumcast.Files."},
        {ObjectKind::JobTaken, Namespace::Global, "Global\\Vellumcast.Taken."},
        {ObjectKind::JobFiles, Namespace::Session, "Vellumcast.Files."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.prefix);
        const std::string name = NameOf(c.kind, folder, c.space).text;
        ASSERT_EQ(name.size(), std::strlen(c.prefix) + 8);
        EXPECT_EQ(name.rfind(c.prefix, 0), 0u);
        EXPECT_EQ(name.find_first_not_of("0123456789abcdef", std::strlen(c.prefix)),
                  std::string::npos);
    }
}

TEST(HandOffNames, OneNameForEveryLetterCaseAndApartForOtherFolders) {
    struct {
        const char* label;
        const char* a;
        const char* b;
        bool same;
    } const cases[] = {
        {"letter case", "C:\\Program Files\\Printer\\", "c:\\PROGRAM FILES\\printer\\", true},
        {"another folder", "C:\\Printer\\", "C:\\Printer2\\", false},
        // ア is 83 41, its trail byte an "A"; folding it would make it 83 61 (another kanji).
        {"trail bytes are not letters", "C:\\ア\\", "C:\\\x83\x61\\", false},
        {"表 against its trail byte alone", "C:\\表\\", "C:\\\\\\", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(std::string(NameOf(ObjectKind::JobFiles, c.a, Namespace::Global).text) ==
                      NameOf(ObjectKind::JobFiles, c.b, Namespace::Global).text,
                  c.same);
    }
}

TEST(HandOffNames, DirectoryPartEndsAtTheLastSingleByteSeparator) {
    const struct {
        const char* path;
        size_t length;
    } cases[] = {
        {"C:\\jobs\\$$temp.ps", 8},   {"C:$$temp.ps", 2}, {"$$temp.ps", 0},
        {"C:\\表\\$$temp.ps", 6},     {"C:\\ソ表", 3}, // both end in 0x5C: neither is a separator
        {"\\\\server\\share\\x", 15},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(handoff::DirectoryPartLength(c.path), c.length);
    }
}

} // namespace
