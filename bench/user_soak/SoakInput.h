// Real input for the soak: mouse and keys go through SendInput, the way a user's reach the program
// (the system picks the window under the pointer or with the focus), never as messages posted to
// one control.
#pragma once

#include <windows.h>

#include <string>

class CSoakInput {
public:
    static void MoveTo(POINT point);
    static void Click(POINT point);
    static void RightClick(POINT point);
    static void DoubleClick(POINT point);
    // A key pressed and let go; with `control` or `shift` held around it.
    static void Key(WORD virtualKey, bool shift = false, bool control = false);
    static void AltKey(WORD virtualKey);
    // Each UTF-16 unit as it is (KEYEVENTF_UNICODE), surrogates and control characters included.
    static void Type(const std::wstring& text);
    // Empties the focused edit box with keys: to its start, the text selected to its end, deleted.
    static void ClearFocusedEdit();

private:
    static void Buttons(DWORD down, DWORD up, int times);
};
