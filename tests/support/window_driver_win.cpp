// Window-message driving of another process's windows, for the window tests.
#include "tests/support/window_driver_win.h"

#include <cstring>

namespace testing_support {

namespace {
bool Matches(HWND window, const char* className, const char* text) {
    if (className && ClassName(window) != className)
        return false;
    return !text || Text(window) == text;
}

struct TopLevelSearch {
    const char* className;
    const char* text;
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<TopLevelSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if ((search.processId == 0 || owner == search.processId) &&
        Matches(window, search.className, search.text))
        search.found.push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM parameter) {
    reinterpret_cast<std::vector<HWND>*>(parameter)->push_back(window);
    return TRUE;
}
} // namespace

std::vector<HWND> TopLevelWindows(const char* className, const char* text, DWORD processId) {
    TopLevelSearch search{className, text, processId, {}};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForTopLevel(const char* className, const char* text, DWORD processId, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        const auto found = TopLevelWindows(className, text, processId);
        if (!found.empty())
            return found.front();
        if (GetTickCount() - start > timeoutMs)
            return nullptr;
        Sleep(50);
    }
}

bool WaitForNoTopLevel(const char* className, const char* text, DWORD processId, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!TopLevelWindows(className, text, processId).empty()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(50);
    }
    return true;
}

std::vector<HWND> Descendants(HWND parent, const char* className) {
    std::vector<HWND> all;
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&all));
    if (!className)
        return all;
    std::vector<HWND> matching;
    for (HWND window : all) {
        if (ClassName(window) == className)
            matching.push_back(window);
    }
    return matching;
}

HWND FindDescendant(HWND parent, const char* className, const char* text) {
    for (HWND window : Descendants(parent)) {
        if (Matches(window, className, text))
            return window;
    }
    return nullptr;
}

ByteString Text(HWND window) {
    const LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
    ByteString text(static_cast<size_t>(length) + 1, '\0');
    const LRESULT got =
        SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(got));
    return text;
}

ByteString ClassName(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

void Click(HWND button) {
    PostMessageA(button, BM_CLICK, 0, 0);
}

void ChooseComboItem(HWND comboBox, int index) {
    SendMessageA(comboBox, CB_SETCURSEL, index, 0);
    const int id = GetDlgCtrlID(comboBox);
    SendMessageA(GetParent(comboBox), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(comboBox));
}

void TypeText(HWND edit, const ByteString& text) {
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

int WaitForExit(HANDLE process, DWORD timeoutMs) {
    if (WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    return int(code);
}

void Pause(DWORD ms) {
    Sleep(ms);
}

} // namespace testing_support
