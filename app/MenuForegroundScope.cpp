#include "app/MenuForegroundScope.h"

// A menu closes on a click elsewhere only while its thread has the foreground. A hidden window of
// ours takes it, not the main window: under Wine, making a shown window the foreground right
// after a click on the notification area loses the foreground again and the menu never opens.
CMenuForegroundScope::CMenuForegroundScope(HWND mainWindow)
    : m_mainWindow(mainWindow), m_previous(GetForegroundWindow()) {
    m_stand = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              nullptr, nullptr);
    SetForegroundWindow(m_stand != nullptr ? m_stand : mainWindow);
}

CMenuForegroundScope::~CMenuForegroundScope() {
    const HWND next = NextForeground();
    if (m_stand != nullptr) {
        DestroyWindow(m_stand);
    }
    SetForegroundWindow(next);
}

// A shown main window gets the foreground (or its open dialog, while it has one). A hidden one
// must not keep it, or it would take the keys the user types next: the window that had the
// foreground before the menu gets it back, else the shell's.
HWND CMenuForegroundScope::NextForeground() const {
    if (IsWindowVisible(m_mainWindow)) {
        return GetLastActivePopup(m_mainWindow);
    }
    if (m_previous != nullptr && m_previous != m_mainWindow && IsWindow(m_previous) &&
        IsWindowVisible(m_previous)) {
        return m_previous;
    }
    const HWND shell = GetShellWindow();
    return shell != nullptr ? shell : GetDesktopWindow();
}
