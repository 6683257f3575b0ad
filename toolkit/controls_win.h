// Child controls of a form: creation from a small description, the tab pages that hold
// them, check states, texts, fonts and hints. Notifications of controls inside pages and
// group boxes reach the form (the top-level window) as if the form were their parent.
#pragma once

#include "base/bytes.h"
#include "base/win/handles_win.h"

#include <windows.h>

#include <vector>

namespace toolkit {

// Window class of the tab pages.
constexpr char kTabSheetClass[] = "TTabSheet";

enum class ControlKind {
    Label,       // static text
    LinkLabel,   // static text that reports clicks
    Edit,        // single-line edit box
    Button,      // push button
    CheckBox,    // check box; the form sets its state (see SetChecked)
    RadioButton, // radio button; the form sets its state
    GroupBox,    // frame with a caption that holds controls
    DropDown,    // editable drop-down box
};

struct Bounds {
    int left;
    int top;
    int width;
    int height;
};

struct ChildControl {
    ControlKind kind;
    int id;
    Bounds bounds; // in the parent's client coordinates
    const char* caption;
    bool firstOfGroup = true; // starts a keyboard group (WS_GROUP)
};

// Creates the control; raises Exception with the system error when that fails.
HWND CreateChildControl(HWND parent, const ChildControl& control, HFONT font);

// A GDI object (font, brush) that is deleted with its owner.
struct GdiObjectTraits {
    using Type = HGDIOBJ;
    static Type Invalid() { return nullptr; }
    static void Close(Type object) { DeleteObject(object); }
};
using UniqueGdiObject = win::UniqueResource<GdiObjectTraits>;

struct FontSpec {
    const char* face;
    int height; // character height in pixels
    bool bold = false;
    bool italic = false;
    bool underline = false;
};
UniqueGdiObject CreateFontFrom(const FontSpec& spec);
inline HFONT AsFont(const UniqueGdiObject& font) {
    return static_cast<HFONT>(font.get());
}

// Texts and states.
ByteString WindowText(HWND window);
void SetWindowText(HWND window, const ByteString& text);
bool IsChecked(HWND button);
void SetCheckMark(HWND button, bool checked); // the mark only, no notification

// The size a label needs for its caption in its font, line by line as the label draws it: the
// widest line, and each line's full height (so that an underline shows).
SIZE TextSize(HWND window, const ByteString& text);

// A tab control whose pages are windows that hold controls. Selecting a tab (by the user,
// or by the program through SetActivePage) shows its page and hides the others.
class PageControl {
  public:
    void Create(HWND parent, int id, const Bounds& bounds, HFONT font);
    HWND Handle() const { return handle_; }

    // Adds a tab and its page; the page fills the tab control's display area.
    HWND AddPage(int id, const char* caption);

    int ActivePageIndex() const;
    void SetActivePage(int index);

    // To be called on the tab control's TCN_SELCHANGE notification.
    void SelectionChanged();

  private:
    void ShowSelectedPage();

    HWND handle_ = nullptr;
    std::vector<HWND> pages_;
};

// Makes a container control (a group box) pass its children's notifications to the form.
void ForwardNotificationsToForm(HWND container);

// A hint window that shows one text when the pointer rests on any of the given controls.
class Hint {
  public:
    Hint() = default;
    Hint(const Hint&) = delete;
    Hint& operator=(const Hint&) = delete;
    ~Hint();
    void Create(HWND form, const ByteString& text, HFONT font);
    void Add(HWND control);

  private:
    HWND tooltip_ = nullptr;
    HWND form_ = nullptr;
    ByteString text_;
};

// The registration of the common controls this toolkit uses (tabs, tooltips).
void InitializeCommonControls();

} // namespace toolkit
