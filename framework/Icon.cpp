#include "framework/Icon.h"

#include "framework/Module.h"

// A private copy (no LR_SHARED), so that destroying it is right. Fails without loading anything
// when this object already holds an icon.
BOOL CIcon::LoadIcon(UINT id, int size) {
    if (m_hIcon != nullptr) {
        return FALSE;
    }
    LPCWSTR name = MAKEINTRESOURCEW(id);
    const UINT flags = size == 0 ? LR_DEFAULTSIZE : 0;
    return Attach(static_cast<HICON>(
        LoadImageW(AfxFindResourceHandle(name, RT_GROUP_ICON), name, IMAGE_ICON, size, size, flags)));
}

// No size and no LR_DEFAULTSIZE: the image the resource holds first, at its own size.
HICON LoadButtonIcon(UINT id) {
    LPCWSTR name = MAKEINTRESOURCEW(id);
    return static_cast<HICON>(
        LoadImageW(AfxFindResourceHandle(name, RT_GROUP_ICON), name, IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
}
