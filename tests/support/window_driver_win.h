// Drives another process's windows from a test the way a user would: find a window, press
// its buttons, pick items, type, read what it shows. Only window messages, no test hooks.
#pragma once

#include "base/bytes.h"

#include <windows.h>

#include <vector>

namespace testing_support {

// Top-level windows whose class and text equal the given ones (nullptr: any), optionally
// only those of one process. Hidden windows count too.
std::vector<HWND> TopLevelWindows(const char* className, const char* text, DWORD processId = 0);

// The first such window, polling until it appears; nullptr after the time-out.
HWND WaitForTopLevel(const char* className, const char* text, DWORD processId = 0,
                     DWORD timeoutMs = 20000);

// Waits until no such window is left; false after the time-out.
bool WaitForNoTopLevel(const char* className, const char* text, DWORD processId = 0,
                       DWORD timeoutMs = 20000);

// Every descendant of parent (depth first), optionally only of one class.
std::vector<HWND> Descendants(HWND parent, const char* className = nullptr);

// The first descendant of that class whose text equals text (nullptr: any text).
HWND FindDescendant(HWND parent, const char* className, const char* text = nullptr);

ByteString Text(HWND window);
ByteString ClassName(HWND window);

// Presses a button as a click would. Posted, so that a modal dialog the click opens does
// not block the test.
void Click(HWND button);

// Selects an item of a combo box and tells its parent, as a user's choice would.
void ChooseComboItem(HWND comboBox, int index);

// Replaces the text of an edit control the way typing does (the control notifies its parent).
void TypeText(HWND edit, const ByteString& text);

// Waits for a process to end; its exit code, or -1 after the time-out.
int WaitForExit(HANDLE process, DWORD timeoutMs = 60000);

// Lets the other side run for a moment.
void Pause(DWORD ms = 200);

} // namespace testing_support
