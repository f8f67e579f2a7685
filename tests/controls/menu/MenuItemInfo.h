// What the platform holds for one menu item, read by position.
#pragma once

#include <windows.h>

inline MENUITEMINFOW MenuItemAt(HMENU menu, int position) {
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_ID | MIIM_SUBMENU | MIIM_STATE;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info)) {
        info.fType = 0xFFFFFFFF;
    }
    return info;
}
