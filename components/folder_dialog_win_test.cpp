// The folder picker on the real shell dialog: Execute runs modally on the test's thread
// while a second thread finds the dialog, reads what it shows, picks a folder in its tree
// the way a click does, and presses OK or Cancel.
#include "base/path_parts.h"
#include "components/folder_dialog_win.h"
#include "components/test_owner_win.h"
#include "tests/support/test_support_win.h"
#include "tests/support/window_driver_win.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using components::TestOwner;
using testing_support::TempDir;

namespace {

constexpr int kStatusLineId = 0x3743; // the dialog's status line (a static control)
constexpr int kTitleLineId = 0x3742;  // the instruction text above the tree
constexpr DWORD kSettleMs = 300;

// Japanese literals are Shift-JIS at run time; ソ and 表 end in 0x5C.
const ByteString kJapaneseFolderHint = "表ソ";

ByteString DesktopDirectory() {
    char path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, path)))
        throw std::runtime_error("no desktop folder");
    return path;
}

// A folder on the desktop, so that it is a child of the tree's root; removed at the end.
class DesktopFolder {
  public:
    explicit DesktopFolder(const ByteString& hint) {
        static int counter = 0;
        name_ = hint + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(counter++);
        path_ = DesktopDirectory() + "\\" + name_;
        testing_support::MakeDirectory(path_);
    }
    ~DesktopFolder() { Remove(); }
    DesktopFolder(const DesktopFolder&) = delete;
    DesktopFolder& operator=(const DesktopFolder&) = delete;

    const ByteString& Name() const { return name_; }
    const ByteString& Path() const { return path_; }
    void Remove() { testing_support::RemoveTree(path_); }

  private:
    ByteString name_;
    ByteString path_;
};

ByteString ItemText(HWND tree, HTREEITEM item) {
    char text[MAX_PATH] = {};
    TVITEMA data{};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = text;
    data.cchTextMax = sizeof text;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
    return text;
}

HTREEITEM NextItem(HWND tree, UINT relation, HTREEITEM from = nullptr) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(from)));
}

// What the dialog shows at one moment.
struct DialogView {
    bool shown = false;
    HWND owner = nullptr;
    ByteString titleLine;
    ByteString statusLine;
    bool hasSelection = false;
    ByteString selectedText; // the highlighted item's text in the tree
};

DialogView Look(HWND dialog) {
    DialogView view;
    view.shown = true;
    view.owner = GetWindow(dialog, GW_OWNER);
    view.titleLine = testing_support::Text(GetDlgItem(dialog, kTitleLineId));
    view.statusLine = testing_support::Text(GetDlgItem(dialog, kStatusLineId));
    const HWND tree = testing_support::FindDescendant(dialog, "SysTreeView32");
    const HTREEITEM selected = NextItem(tree, TVGN_CARET);
    view.hasSelection = selected != nullptr;
    if (selected)
        view.selectedText = ItemText(tree, selected);
    return view;
}

// Clicks the item of that name among the children of the tree's root (the desktop).
bool ClickDesktopChild(HWND dialog, const ByteString& name) {
    const HWND tree = testing_support::FindDescendant(dialog, "SysTreeView32");
    const HTREEITEM root = NextItem(tree, TVGN_ROOT);
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
    for (HTREEITEM item = NextItem(tree, TVGN_CHILD, root); item;
         item = NextItem(tree, TVGN_NEXT, item)) {
        if (ItemText(tree, item) != name)
            continue;
        SendMessageA(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
        RECT rect{};
        std::memcpy(&rect, &item, sizeof item); // the message takes the item in rect
        if (!SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect)))
            return false;
        const LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        PostMessageA(tree, WM_LBUTTONDOWN, MK_LBUTTON, point);
        PostMessageA(tree, WM_LBUTTONUP, 0, point);
        return true;
    }
    return false;
}

// Polls until the status line reads text; false after the time-out.
bool WaitForStatus(HWND dialog, const ByteString& text) {
    for (int tries = 0; tries < 100; ++tries) {
        if (testing_support::Text(GetDlgItem(dialog, kStatusLineId)) == text)
            return true;
        Sleep(50);
    }
    return false;
}

// One showing: what it looked like when it opened, after the pick, and the result.
struct Showing {
    bool result = false;
    DialogView opened;
    bool picked = false;
    DialogView afterPick;
};

// Shows the picker; the driver thread looks at the dialog, then clicks pickName (when
// not empty) and presses OK (confirm) or Cancel. No assertion runs on the driver thread.
Showing Show(TFolderDialog& picker, const ByteString& pickName, const ByteString& pickPath,
             bool confirm) {
    Showing showing;
    std::thread driver([&] {
        const HWND dialog =
            testing_support::WaitForTopLevel("#32770", nullptr, GetCurrentProcessId());
        if (!dialog)
            return;
        for (int tries = 0; tries < 100 && !IsWindowVisible(dialog); ++tries)
            Sleep(50);
        Sleep(kSettleMs);
        showing.opened = Look(dialog);
        if (!pickName.empty()) {
            showing.picked = ClickDesktopChild(dialog, pickName) && WaitForStatus(dialog, pickPath);
            showing.afterPick = Look(dialog);
        }
        const HWND button = GetDlgItem(dialog, confirm ? IDOK : IDCANCEL);
        testing_support::Click(button);
    });
    showing.result = picker.Execute();
    driver.join();
    return showing;
}

} // namespace

namespace {

// A stand-in for the dialog that records what the callback sends it.
struct SentMessage {
    UINT message;
    WPARAM wParam;
    ByteString text; // lParam as text
};
std::vector<SentMessage> sentToDialog;

LRESULT CALLBACK RecordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == BFFM_SETSTATUSTEXTA || message == BFFM_SETSELECTIONA) {
        sentToDialog.push_back({message, wParam, reinterpret_cast<const char*>(lParam)});
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class RecordingDialog {
  public:
    RecordingDialog() {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = RecordingProcedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "VcRecordingDialog";
        RegisterClassA(&windowClass);
        window_ = CreateWindowA("VcRecordingDialog", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
        sentToDialog.clear();
    }
    ~RecordingDialog() { DestroyWindow(window_); }
    HWND Handle() const { return window_; }

  private:
    HWND window_;
};

// An item list, freed with the shell's allocator.
struct ItemList {
    LPITEMIDLIST items = nullptr;
    ~ItemList() { CoTaskMemFree(items); }
};

} // namespace

// The callback alone, against a window that records what it is sent: the status line is
// cleared first, a folder is preselected only when it exists, a selection change shows
// the selected item's path, and an item without one clears the line.
TEST(FolderDialog, CallbackSendsStatusAndSelection) {
    TempDir temp("vccb");
    const ByteString folder = temp / "表示";
    testing_support::MakeDirectory(folder);
    const ByteString file = temp / "file.txt";
    testing_support::WriteFileBytes(file, "x");

    ItemList folderItems;
    folderItems.items = ILCreateFromPathA(folder.c_str());
    ASSERT_NE(folderItems.items, nullptr);
    ItemList drives; // My Computer: a virtual folder without a file-system path
    ASSERT_TRUE(SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &drives.items)));

    const SentMessage cleared{BFFM_SETSTATUSTEXTA, 0, ""};
    const struct {
        const char* what;
        UINT message;
        LPARAM parameter;
        ByteString directory;
        std::vector<SentMessage> sent;
    } cases[] = {
        {"initialised, no folder", BFFM_INITIALIZED, 0, "", {cleared}},
        {"initialised, existing folder",
         BFFM_INITIALIZED,
         0,
         folder,
         {cleared, {BFFM_SETSELECTIONA, TRUE, folder}}},
        {"initialised, missing folder", BFFM_INITIALIZED, 0, temp / "missing", {cleared}},
        {"initialised, a file", BFFM_INITIALIZED, 0, file, {cleared}},
        {"selection changed to a folder",
         BFFM_SELCHANGED,
         reinterpret_cast<LPARAM>(folderItems.items),
         "",
         {{BFFM_SETSTATUSTEXTA, 0, folder}}},
        {"selection changed to My Computer",
         BFFM_SELCHANGED,
         reinterpret_cast<LPARAM>(drives.items),
         folder,
         {cleared}},
        {"any other notification", BFFM_VALIDATEFAILEDA, 0, folder, {cleared}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TestOwner owner;
        TFolderDialog& picker = owner.Own<TFolderDialog>();
        picker.Directory = c.directory;
        RecordingDialog dialog;
        EXPECT_EQ(TFolderDialog::BrowseCallback(dialog.Handle(), c.message, c.parameter,
                                                reinterpret_cast<LPARAM>(&picker)),
                  0);
        EXPECT_EQ(sentToDialog.size(), c.sent.size());
        for (size_t i = 0; i < std::min(c.sent.size(), sentToDialog.size()); ++i) {
            EXPECT_EQ(sentToDialog[i].message, c.sent[i].message) << i;
            EXPECT_EQ(sentToDialog[i].wParam, c.sent[i].wParam) << i;
            EXPECT_EQ(sentToDialog[i].text, c.sent[i].text) << i;
        }
        EXPECT_EQ(picker.Directory, c.directory); // the callback never changes it
    }
}

TEST(FolderDialog, StartsWithItsTitleAndNoFolder) {
    TestOwner owner;
    const TFolderDialog& picker = owner.Own<TFolderDialog>();
    EXPECT_EQ(picker.Title, "\x83\x74\x83\x48\x83\x8B\x83\x5F\x81\x5B\x82\xCC\x91\x49\x91\xF0");
    EXPECT_TRUE(picker.Directory.empty());
}

// The picker remembers the folder confirmed last and opens on it; cancelling changes
// nothing, and a folder that has gone is not preselected.
TEST(FolderDialog, RemembersTheConfirmedFolderAcrossShowings) {
    TestOwner owner(true);
    TFolderDialog& picker = owner.Own<TFolderDialog>();
    DesktopFolder chosen(kJapaneseFolderHint);
    DesktopFolder other("vcpick");

    // First showing: nothing preselected, empty status line; confirm a folder.
    const Showing first = Show(picker, chosen.Name(), chosen.Path(), true);
    ASSERT_TRUE(first.opened.shown);
    EXPECT_EQ(first.opened.owner, owner.WindowHandle());
    EXPECT_EQ(first.opened.titleLine, picker.Title);
    EXPECT_FALSE(first.opened.hasSelection) << first.opened.selectedText;
    EXPECT_EQ(first.opened.statusLine, "");
    EXPECT_TRUE(first.picked);
    EXPECT_EQ(first.afterPick.selectedText, chosen.Name());
    EXPECT_EQ(first.afterPick.statusLine, chosen.Path()); // the highlighted folder's path
    EXPECT_TRUE(first.result);
    EXPECT_EQ(picker.Directory, chosen.Path());

    // Second showing: opens on that folder; highlight another, then cancel.
    const Showing second = Show(picker, other.Name(), other.Path(), false);
    ASSERT_TRUE(second.opened.shown);
    EXPECT_TRUE(second.opened.hasSelection);
    EXPECT_EQ(second.opened.selectedText, chosen.Name());
    EXPECT_EQ(second.opened.statusLine, chosen.Path());
    EXPECT_TRUE(second.picked);
    EXPECT_FALSE(second.result);
    EXPECT_EQ(picker.Directory, chosen.Path());

    // The cancelled choice is not remembered: the next showing still opens on the first.
    // Confirm the other folder this time.
    const Showing third = Show(picker, other.Name(), other.Path(), true);
    EXPECT_EQ(third.opened.selectedText, chosen.Name());
    EXPECT_TRUE(third.result);
    EXPECT_EQ(picker.Directory, other.Path());

    // The folder chosen last is deleted: nothing preselected; cancelling keeps the path.
    other.Remove();
    const Showing fourth = Show(picker, "", "", false);
    ASSERT_TRUE(fourth.opened.shown);
    EXPECT_FALSE(fourth.opened.hasSelection) << fourth.opened.selectedText;
    EXPECT_EQ(fourth.opened.statusLine, "");
    EXPECT_FALSE(fourth.result);
    EXPECT_EQ(picker.Directory, other.Path());
}

// The owner may set Directory before a showing: only an existing folder is preselected,
// wherever it lies; the title line shows Title, even an empty one. The deep folder is one
// that existed before the test ran: under Wine, a folder that the test process creates
// under its temporary folder is not always found by the dialog's preselection.
TEST(FolderDialog, PreselectsOnlyAnExistingFolder) {
    TempDir temp("vcdeep");
    const ByteString file = temp / "file.txt";
    testing_support::WriteFileBytes(file, "x");
    char system[MAX_PATH] = {};
    ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 0u);
    const ByteString deep = system;

    const struct {
        const char* what;
        ByteString directory;
        ByteString title;
        bool preselected;
        ByteString selectedText;
    } cases[] = {
        {"empty", "", "フォルダーの選択", false, ""},
        {"existing folder, deep", deep, "", true, ExtractFileName(deep)},
        {"missing folder", temp / "missing", "選んでください", false, ""},
        {"a file", file, "Pick", false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TestOwner owner(true);
        TFolderDialog& picker = owner.Own<TFolderDialog>();
        picker.Directory = c.directory;
        picker.Title = c.title;
        const Showing showing = Show(picker, "", "", false);
        ASSERT_TRUE(showing.opened.shown);
        EXPECT_EQ(showing.opened.titleLine, c.title);
        EXPECT_EQ(showing.opened.hasSelection, c.preselected) << showing.opened.selectedText;
        EXPECT_EQ(showing.opened.selectedText, c.selectedText);
        EXPECT_EQ(showing.opened.statusLine, c.preselected ? c.directory : "");
        EXPECT_FALSE(showing.result);
        EXPECT_EQ(picker.Directory, c.directory);
    }
}
