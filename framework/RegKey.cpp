#include "framework/RegKey.h"

BOOL AfxCloseRegKey(HKEY key) { return ::RegCloseKey(key) == ERROR_SUCCESS; }

BOOL CRegKey::Open(HKEY root, LPCWSTR subKey) {
    if (m_handle != nullptr) {
        return FALSE;
    }
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return FALSE;
    }
    return Attach(key);
}
