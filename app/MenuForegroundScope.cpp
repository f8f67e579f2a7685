#include "app/MenuForegroundScope.h"

namespace {

bool IsShownNormally(HWND window) { return IsWindowVisible(window) && !IsIconic(window); }

bool BelongsToThisProcess(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId == GetCurrentProcessId();
}

}  // namespace

// A menu closes on a click elsewhere only while its thread has the foreground. A hidden window of
// ours takes it, not the main window: under Wine, making a shown window the foreground right
// after a click on the notification area loses the foreground again and the menu never opens.
CMenuForegroundScope::CMenuForegroundScope(HWND mainWindow)
    : m_mainWindow(mainWindow), m_previous(GetForegroundWindow()) {
    m_stand = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              nullptr, nullptr);
    SetForegroundWindow(m_stand != nullptr ? m_stand : mainWindow);
}

// The foreground is handed on before the stand-in goes: the system would otherwise choose the next
// foreground window itself, and it may choose our hidden one.
CMenuForegroundScope::~CMenuForegroundScope() {
    if (!ForegroundTakenElsewhere()) {
        SetForegroundWindow(NextForeground());
    }
    if (m_stand != nullptr) {
        DestroyWindow(m_stand);
    }
}

// A click on another program's window closes the menu and makes that window the foreground: the
// user chose it, so it keeps it.
bool CMenuForegroundScope::ForegroundTakenElsewhere() const {
    const HWND now = GetForegroundWindow();
    return now != nullptr && !BelongsToThisProcess(now);
}

// A main window shown normally gets the foreground (or its open dialog, while it has one). A hidden
// or minimised one must not keep it, or it would take the keys the user types next: an open
// dialog of ours (the prompt the user was typing in) gets it, else the window that had it before
// the menu, else the shell's.
HWND CMenuForegroundScope::NextForeground() const {
    const HWND open = GetLastActivePopup(m_mainWindow);
    if (IsShownNormally(m_mainWindow)) {
        return open;
    }
    if (open != nullptr && open != m_mainWindow && IsShownNormally(open)) {
        return open;
    }
    if (m_previous != nullptr && m_previous != m_mainWindow && m_previous != m_stand &&
        IsWindow(m_previous) && IsShownNormally(m_previous)) {
        return m_previous;
    }
    const HWND shell = GetShellWindow();
    return shell != nullptr ? shell : GetDesktopWindow();
}
