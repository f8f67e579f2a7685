// What the soak's user sees of the program from outside and waits for: the focus, the foreground,
// a menu's items, the notification area's place, a thread that has taken its input.
#pragma once

#include "bench/user_soak/SoakTarget.h"

#include <windows.h>

#include <functional>
#include <string>

class CSoakScreen {
public:
    // Polls `condition` until it holds or `timeoutMs` has passed; whether it held.
    static bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs);
    static bool AwaitForeground(HWND window);
    static void Sync(HWND window, int times);
    // Whether `control` has the focus, in the foreground window.
    static bool HasFocus(HWND control);
    static std::wstring EditText(HWND edit);
    static int SelectedTab(HWND tab);
    // Who has the foreground, for a message: ours or another program's window.
    static std::wstring ForegroundText(DWORD ours);
    static std::wstring ShownClasses(const CSoakWindows& windows);
    // An empty spot of the main window, right of the Start button.
    static POINT Background(HWND main);
    // A spot at the screen's corner where no window of ours lies.
    static POINT Away();
    static POINT MenuItem(HWND menu, int index, int count);
    static void PlaceTray(HWND tray, HWND insertAfter);
};
