// Spoolwick.exe as a file: windowed subsystem, version record, icon and manifest.
#include "base/win/handles_win.h"
#include "tests/support/test_support_win.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

using testing_support::BuildFile;
using testing_support::ReadFileBytes;

namespace {

ByteString Executable() {
    return BuildFile("capture/Spoolwick.exe");
}

TEST(SpoolwickExecutable, IsAWindowedProgram) {
    const ByteString image = ReadFileBytes(Executable());
    ASSERT_GT(image.size(), sizeof(IMAGE_DOS_HEADER));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image.data());
    ASSERT_EQ(dos->e_magic, IMAGE_DOS_SIGNATURE);
    // The subsystem field sits at the same place in 32- and 64-bit optional headers.
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(image.data() + dos->e_lfanew);
    ASSERT_EQ(nt->Signature, DWORD(IMAGE_NT_SIGNATURE));
    EXPECT_EQ(nt->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
}

ByteString VersionString(const std::vector<char>& info, const char* key) {
    char* value = nullptr;
    UINT length = 0;
    const ByteString path = ByteString("\\StringFileInfo\\041104b0\\") + key;
    if (!VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) ||
        length == 0)
        return "(missing)";
    return ByteString(value, strnlen(value, length));
}

TEST(SpoolwickExecutable, CarriesAJapaneseVersionRecord) {
    const ByteString path = Executable();
    DWORD ignored = 0;
    std::vector<char> info(GetFileVersionInfoSizeA(path.c_str(), &ignored));
    ASSERT_FALSE(info.empty());
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, DWORD(info.size()), info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_GE(length, 4u);
    EXPECT_EQ(translation[0], 0x0411);
    EXPECT_EQ(translation[1], 1200);

    const struct {
        const char* key;
        const char* value;
    } strings[] = {
        {"FileVersion", "1, 0, 0, 1"},
        {"ProductVersion", "1, 0, 0, 1"},
        {"InternalName", "Spoolwick"},
        {"OriginalFilename", "Spoolwick.EXE"},
    };
    for (const auto& s : strings)
        EXPECT_EQ(VersionString(info, s.key), s.value) << s.key;
}

#pragma pack(push, 2)
struct IconGroupEntry {
    BYTE width;
    BYTE height;
    BYTE colorCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytesInResource;
    WORD id;
};
struct IconGroup {
    WORD reserved;
    WORD type;
    WORD count;
    IconGroupEntry entries[1];
};
#pragma pack(pop)

BOOL CALLBACK TakeFirstName(HMODULE, LPCSTR, LPSTR name, LONG_PTR found) {
    *reinterpret_cast<LPCSTR*>(found) = name;
    return FALSE;
}

TEST(SpoolwickExecutable, CarriesA32By32SixteenColourIconAndAManifest) {
    const win::UniqueModule image(
        LoadLibraryExA(Executable().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(image);
    const HMODULE module = image.get();
    LPCSTR groupName = nullptr;
    EnumResourceNamesA(module, RT_GROUP_ICON, TakeFirstName,
                       reinterpret_cast<LONG_PTR>(&groupName));
    ASSERT_NE(groupName, nullptr);
    const HRSRC groupResource = FindResourceA(module, groupName, RT_GROUP_ICON);
    ASSERT_NE(groupResource, nullptr);
    const auto* group =
        static_cast<const IconGroup*>(LockResource(LoadResource(module, groupResource)));
    ASSERT_NE(group, nullptr);
    ASSERT_EQ(group->count, 1);
    EXPECT_EQ(group->entries[0].width, 32);
    EXPECT_EQ(group->entries[0].height, 32);
    EXPECT_EQ(group->entries[0].colorCount, 16);
    EXPECT_EQ(group->entries[0].bitCount, 4);
    EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(group->entries[0].id), RT_ICON), nullptr);
    EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(1), RT_MANIFEST), nullptr);
}

} // namespace
