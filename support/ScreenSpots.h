// Where a user clicks on the launcher and on the runtime's notification area, read from outside the
// launcher's process, for the programs that drive it with real input (the soak, the tray check).
#pragma once

#include <windows.h>

class CScreenSpots {
public:
    static constexpr POINT kNowhere = {-1, -1};

    static DWORD ProcessOf(HWND window);
    static POINT Center(const RECT& rect);
    // The centre of control `id` of `dialog`.
    static POINT ControlCenter(HWND dialog, int id);
    // A point on the window's minimise box, or kNowhere.
    static POINT MinimiseBox(HWND main);
    // The centre of the first item of the window's menu bar, or kNowhere.
    static POINT MenuBarItem(HWND main);
    // The runtime's shown notification-area window, or null.
    static HWND TrayWindow();
    // The centre of the area's first icon.
    static POINT FirstTrayIcon(HWND tray);
};
