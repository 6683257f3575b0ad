// Child controls on the Windows API (user32 controls, the common tab and tooltip controls).
#include "toolkit/controls_win.h"

#include "base/errors.h"
#include "toolkit/window_class_win.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

namespace toolkit {

namespace {
constexpr int kDropDownListHeight = 160;

// What the system class and styles of each kind are.
struct KindTraits {
    ControlKind kind;
    const char* className;
    DWORD style;
    DWORD exStyle;
};
constexpr KindTraits kKinds[] = {
    {ControlKind::Label, "Static", SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0},
    {ControlKind::LinkLabel, "Static", SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY, 0},
    {ControlKind::Edit, "Edit", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE},
    {ControlKind::Button, "Button", BS_PUSHBUTTON | WS_TABSTOP, 0},
    {ControlKind::CheckBox, "Button", BS_CHECKBOX | WS_TABSTOP, 0},
    {ControlKind::RadioButton, "Button", BS_RADIOBUTTON, 0},
    {ControlKind::GroupBox, "Button", BS_GROUPBOX, WS_EX_CONTROLPARENT},
    {ControlKind::DropDown, "ComboBox", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP,
     0},
};

const KindTraits& TraitsOf(ControlKind kind) {
    for (const KindTraits& traits : kKinds) {
        if (traits.kind == kind)
            return traits;
    }
    throw Exception("unknown control kind");
}

[[noreturn]] void ThrowCreateFailed(const char* what) {
    throw Exception("CreateWindow " + ByteString(what) + ": error " +
                    std::to_string(GetLastError()));
}

// Notifications that a control sends to its parent and that belong to the form.
bool IsFormNotification(UINT message) {
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
        return true;
    default:
        return false;
    }
}

LRESULT CALLBACK TabSheetProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsFormNotification(message))
        return SendMessageA(GetAncestor(window, GA_ROOT), message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK ForwardingSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR, DWORD_PTR) {
    if (IsFormNotification(message))
        return SendMessageA(GetAncestor(window, GA_ROOT), message, wParam, lParam);
    return DefSubclassProc(window, message, wParam, lParam);
}
} // namespace

void InitializeCommonControls() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
}

HWND CreateChildControl(HWND parent, const ChildControl& control, HFONT font) {
    const KindTraits& traits = TraitsOf(control.kind);
    DWORD style = WS_CHILD | WS_VISIBLE | traits.style;
    if (control.firstOfGroup)
        style |= WS_GROUP | (control.kind == ControlKind::RadioButton ? WS_TABSTOP : 0);
    const int height = control.kind == ControlKind::DropDown
                           ? control.bounds.height + kDropDownListHeight
                           : control.bounds.height;
    HWND window = CreateWindowExA(
        traits.exStyle, traits.className, control.caption, style, control.bounds.left,
        control.bounds.top, control.bounds.width, height, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), Instance(), nullptr);
    if (!window)
        ThrowCreateFailed(traits.className);
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (control.kind == ControlKind::GroupBox)
        ForwardNotificationsToForm(window);
    return window;
}

void ForwardNotificationsToForm(HWND container) {
    SetWindowSubclass(container, ForwardingSubclass, 1, 0);
}

UniqueGdiObject CreateFontFrom(const FontSpec& spec) {
    UniqueGdiObject font(CreateFontA(-spec.height, 0, 0, 0, spec.bold ? FW_BOLD : FW_NORMAL,
                                     spec.italic, spec.underline, FALSE, SHIFTJIS_CHARSET,
                                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                     DEFAULT_PITCH | FF_DONTCARE, spec.face));
    if (!font)
        throw Exception("CreateFont: error " + std::to_string(GetLastError()));
    return font;
}

ByteString WindowText(HWND window) {
    ByteString text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(window, text.data(), int(text.size()))));
    return text;
}

void SetWindowText(HWND window, const ByteString& text) {
    SetWindowTextA(window, text.c_str());
}

bool IsChecked(HWND button) {
    return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetCheckMark(HWND button, bool checked) {
    SendMessageA(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

SIZE TextSize(HWND window, const ByteString& text) {
    HDC dc = GetDC(window);
    win::ScopeExit release([&] { ReleaseDC(window, dc); });
    HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(window, WM_GETFONT, 0, 0)));
    SIZE total{};
    for (size_t start = 0; start <= text.size();) {
        const size_t end = std::min(text.find('\n', start), text.size());
        SIZE line{};
        GetTextExtentPoint32A(dc, text.c_str() + start, int(end - start), &line);
        total.cx = std::max(total.cx, line.cx);
        total.cy += line.cy;
        start = end + 1;
    }
    SelectObject(dc, previous);
    return total;
}

void PageControl::Create(HWND parent, int id, const Bounds& bounds, HFONT font) {
    handle_ = CreateWindowExA(
        0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | WS_GROUP,
        bounds.left, bounds.top, bounds.width, bounds.height, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), nullptr);
    if (!handle_)
        ThrowCreateFailed(WC_TABCONTROLA);
    SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

HWND PageControl::AddPage(int id, const char* caption) {
    EnsureWindowClass(kTabSheetClass, TabSheetProcedure);
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(caption);
    const int index = int(pages_.size());
    SendMessageA(handle_, TCM_INSERTITEMA, index, reinterpret_cast<LPARAM>(&item));

    // The pages are siblings of the tab control above it in the z-order, so that the
    // dialog keyboard navigation reaches the tab control itself as well as the page.
    HWND page = CreateWindowExA(
        WS_EX_CONTROLPARENT, kTabSheetClass, caption, WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0,
        GetParent(handle_), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), nullptr);
    if (!page)
        ThrowCreateFailed(kTabSheetClass);
    pages_.push_back(page);

    RECT area{};
    GetClientRect(handle_, &area);
    SendMessageA(handle_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    MapWindowPoints(handle_, GetParent(handle_), reinterpret_cast<POINT*>(&area), 2);
    for (HWND each : pages_)
        SetWindowPos(each, HWND_TOP, area.left, area.top, area.right - area.left,
                     area.bottom - area.top, SWP_NOACTIVATE);
    ShowSelectedPage();
    return page;
}

int PageControl::ActivePageIndex() const {
    return int(SendMessageA(handle_, TCM_GETCURSEL, 0, 0));
}

void PageControl::SetActivePage(int index) {
    SendMessageA(handle_, TCM_SETCURSEL, index, 0);
    ShowSelectedPage();
}

void PageControl::SelectionChanged() {
    ShowSelectedPage();
}

void PageControl::ShowSelectedPage() {
    const int selected = ActivePageIndex();
    for (size_t i = 0; i < pages_.size(); ++i)
        ShowWindow(pages_[i], int(i) == selected ? SW_SHOW : SW_HIDE);
}

Hint::~Hint() {
    if (tooltip_ && IsWindow(tooltip_))
        DestroyWindow(tooltip_);
}

void Hint::Create(HWND form, const ByteString& text, HFONT font) {
    form_ = form;
    text_ = text;
    tooltip_ =
        CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, form, nullptr, Instance(), nullptr);
    if (!tooltip_)
        ThrowCreateFailed(TOOLTIPS_CLASSA);
    SendMessageA(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void Hint::Add(HWND control) {
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = form_;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text_.data();
    SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

} // namespace toolkit
