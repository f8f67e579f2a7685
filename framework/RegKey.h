// Owner of an open registry key (move-only; closes the key). Only keys the program opened are
// given to it, never the predefined roots such as HKEY_CURRENT_USER.
#pragma once

#include "framework/Afx.h"
#include "framework/HandleOwner.h"

// Where a registry key owner keeps its key, and how the key is closed.
struct CRegKeySlot {
    using Handle = HKEY;
    HKEY m_hKey = nullptr;

protected:
    static constexpr HKEY CRegKeySlot::*HeldMember() { return &CRegKeySlot::m_hKey; }
    static BOOL Free(HKEY key) { return ::RegCloseKey(key) == ERROR_SUCCESS; }
};

class CRegKey : public CHandleOwner<CRegKeySlot> {
public:
    CRegKey() = default;
    CRegKey(CRegKey&&) noexcept = default;
    CRegKey& operator=(CRegKey&&) noexcept = default;
    ~CRegKey() = default;

    operator HKEY() const { return m_hKey; }  // NOLINT

    // Opens `subKey` under `root` for reading. FALSE, with nothing opened, when the key cannot be
    // opened or this object already holds one.
    BOOL Open(HKEY root, LPCWSTR subKey);
    BOOL Close() { return FreeHandle(); }
};
