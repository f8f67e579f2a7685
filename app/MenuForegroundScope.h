// Puts this thread in the foreground while a popup menu for the notification-area icon is
// tracked, and afterwards hands the foreground to a window the user can see.
#pragma once

#include "framework/Afx.h"

class CMenuForegroundScope {
public:
    explicit CMenuForegroundScope(HWND mainWindow);
    ~CMenuForegroundScope();
    CMenuForegroundScope(const CMenuForegroundScope&) = delete;
    CMenuForegroundScope& operator=(const CMenuForegroundScope&) = delete;

private:
    bool ForegroundTakenElsewhere() const;
    HWND NextForeground() const;

    HWND m_mainWindow;
    HWND m_previous;
    HWND m_stand = nullptr;
};
