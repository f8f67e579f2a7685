// Owner of an open registry key (move-only; closes the key). Only keys the program opened are
// given to it, never the predefined roots such as HKEY_CURRENT_USER.
#pragma once

#include "framework/Afx.h"
#include "framework/HandleOwner.h"

BOOL AfxCloseRegKey(HKEY key);

class CRegKey : public CHandleOwner<CPlainHandleSlot<HKEY, &AfxCloseRegKey>> {
public:
    CRegKey() = default;

    operator HKEY() const { return m_handle; }  // NOLINT

    // Opens `subKey` under `root` for reading. FALSE, with nothing opened, when the key cannot be
    // opened or this object already holds one.
    BOOL Open(HKEY root, LPCWSTR subKey);
    BOOL Close() { return FreeHandle(); }
};
