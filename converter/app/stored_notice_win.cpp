// The stored-PDF notice on the Windows API: Shell_NotifyIconW with NIF_INFO, a hidden
// window of its own for the icon's messages, the folder opened by the shell.
#include "converter/app/stored_notice_win.h"

#include "base/path_parts.h"
#include "base/win/handles_win.h"
#include "base/win/text_win.h"
#include "toolkit/window_class_win.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>

namespace app {

namespace {

constexpr char kNoticeWindowClass[] = "TStoredNotice";
constexpr UINT kIconMessage = WM_APP + 21;
constexpr UINT kIconId = 1;

enum class NoticeState { Showing, Clicked, Gone };

// Copies text into a fixed field of NOTIFYICONDATAW, cut to fit.
template <size_t N> void CopyField(wchar_t (&field)[N], const std::wstring& text) {
    const size_t count = std::min(text.size(), N - 1);
    text.copy(field, count);
    field[count] = L'\0';
}

LRESULT CALLBACK NoticeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kIconMessage) {
        auto* state = reinterpret_cast<NoticeState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        // With NOTIFYICON_VERSION_4 the event is the low word; before it, all of lParam.
        switch (LOWORD(lParam)) {
        case NIN_BALLOONUSERCLICK:
        case WM_LBUTTONUP:
            if (state && *state == NoticeState::Showing)
                *state = NoticeState::Clicked;
            break;
        case NIN_BALLOONTIMEOUT:
        case NIN_BALLOONHIDE:
            if (state && *state == NoticeState::Showing)
                *state = NoticeState::Gone;
            break;
        default:
            break;
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Explorer with the folder open and the file selected.
void OpenFolderSelecting(const ByteString& path) {
    const std::wstring wide = win::WideFromAnsi(path);
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    bool opened = false;
    if (PIDLIST_ABSOLUTE item = ILCreateFromPathW(wide.c_str())) {
        opened = SUCCEEDED(SHOpenFolderAndSelectItems(item, 0, nullptr, 0));
        ILFree(item);
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    if (opened)
        return;
    // Without the shell's call: explorer itself, by its full path, the file as its one
    // argument (a Windows file name holds no quote).
    wchar_t windows[MAX_PATH];
    const UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    const std::wstring explorer = std::wstring(windows, length) + L"\\explorer.exe";
    const std::wstring arguments = L"/select,\"" + wide + L"\"";
    ShellExecuteW(nullptr, L"open", explorer.c_str(), arguments.c_str(), nullptr, SW_SHOWNORMAL);
}

} // namespace

void ShowStoredNotice(const ByteString& pdfPath, HICON icon,
                      const std::function<void()>& processMessages) {
    try {
        toolkit::EnsureWindowClass(kNoticeWindowClass, &NoticeProc);
    } catch (...) {
        return; // no notice; the PDF is stored all the same
    }
    NoticeState state = NoticeState::Showing;
    const HWND window = CreateWindowExA(0, kNoticeWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr,
                                        nullptr, toolkit::Instance(), nullptr);
    if (!window)
        return;
    const win::ScopeExit destroy([window] { DestroyWindow(window); });
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));

    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = kIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO;
    data.uCallbackMessage = kIconMessage;
    data.hIcon = icon;
    CopyField(data.szTip, L"Vellumcast");
    CopyField(data.szInfoTitle, win::WideFromAnsi("PDF を保存しました"));
    CopyField(data.szInfo, win::WideFromAnsi(ExtractFileName(pdfPath)));
    data.dwInfoFlags = NIIF_INFO;
    if (!Shell_NotifyIconW(NIM_ADD, &data))
        return;
    const win::ScopeExit remove([&data] { Shell_NotifyIconW(NIM_DELETE, &data); });
    data.uVersion = NOTIFYICON_VERSION_4;
    Shell_NotifyIconW(NIM_SETVERSION, &data);

    const ULONGLONG start = GetTickCount64();
    while (state == NoticeState::Showing) {
        const ULONGLONG elapsed = GetTickCount64() - start;
        if (elapsed >= kNoticeMs)
            break;
        const DWORD woken = MsgWaitForMultipleObjectsEx(0, nullptr, DWORD(kNoticeMs - elapsed),
                                                        QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woken == WAIT_OBJECT_0)
            processMessages();
        else if (woken != WAIT_TIMEOUT)
            break;
    }
    if (state == NoticeState::Clicked)
        OpenFolderSelecting(pdfPath);
}

} // namespace app
