#include "controls/menu/PictureMenuShared.h"

#include "controls/menu/OsVersionCode.h"
#include "framework/RegKey.h"

#include <cwchar>

namespace {

constexpr DWORD kNotNtFamily = 0x80000000;

constexpr wchar_t kThemeKey[] = L"Software\\Microsoft\\Plus!\\Themes\\Current";
constexpr wchar_t kClassicThemeFile[] = L"Windows Classic.theme";
// Room the theme value has always been read into, in bytes.
constexpr DWORD kThemeValueBytes = 260;

void RemoveFrom(CTypedPtrArray<CPtrArray, HMENU>& list, HMENU menu, bool every) {
    for (INT_PTR i = list.GetSize() - 1; i >= 0; --i) {
        if (list[i] == menu) {
            list.RemoveAt(i);
            if (!every) {
                return;
            }
        }
    }
}

}  // namespace

// A static instance rather than one made on first use: the version is classified before the
// program's first window, and the state outlives every menu destroyed at exit as it always did.
CPictureMenuShared CPictureMenuShared::s_instance;

CPictureMenuShared::CPictureMenuShared() noexcept : m_osVersion(GetOsVersionCode()) {}

CPictureMenuShared& CPictureMenuShared::Instance() { return s_instance; }

int CPictureMenuShared::GetOsVersionCode() noexcept {
    return GetOsVersionCode({&::GetVersion, &::GetVersionExW});
}

int CPictureMenuShared::GetOsVersionCode(const VersionSource& source) noexcept {
    const DWORD version = source.getVersion();
    const bool ntFamily = (version & kNotNtFamily) == 0;
    if (!ntFamily && LOBYTE(LOWORD(version)) < 4) {
        return kOsOldWindows;
    }
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    // A failed call leaves the block zeroed, which classifies as the family's default below.
    source.getVersionEx(&info);
    const DWORD major = info.dwMajorVersion;
    const DWORD minor = info.dwMinorVersion;
    if (!ntFamily) {
        if (major == 4 && minor == 10) {
            return kOsWindows98;
        }
        return major == 4 && minor == 90 ? kOsWindowsMe : kOsWindows9x;
    }
    if (major == 4) {
        return kOsNt4;
    }
    if (major == 5 && minor == 0) {
        return kOsWindows2000;
    }
    return major == 5 && minor == 1 ? kOsWindowsXp : kOsNt;
}

// Cached after the first call, also when the value cannot be read (a failure is not retried).
BOOL CPictureMenuShared::IsClassicTheme() {
    if (!m_classicTheme) {
        m_classicTheme = ReadClassicTheme(HKEY_CURRENT_USER, kThemeKey);
    }
    return *m_classicTheme;
}

// Only a string value of at most kThemeValueBytes counts; it is terminated here, because the
// registry keeps whatever bytes were stored, terminator or not.
BOOL CPictureMenuShared::ReadClassicTheme(HKEY root, LPCWSTR subKey) {
    CRegKey key;
    if (!key.Open(root, subKey)) {
        return FALSE;
    }
    wchar_t value[kThemeValueBytes / sizeof(wchar_t) + 1] = {};
    DWORD type = REG_NONE;
    DWORD bytes = kThemeValueBytes;
    const LSTATUS status =
        RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || bytes > kThemeValueBytes) {
        return FALSE;
    }
    value[bytes / sizeof(wchar_t)] = L'\0';
    return IsClassicThemePath(value);
}

BOOL CPictureMenuShared::IsClassicThemePath(const wchar_t* path) {
    if (path == nullptr) {
        return FALSE;
    }
    const size_t length = wcslen(path);
    const size_t nameLength = wcslen(kClassicThemeFile);
    return length >= nameLength && lstrcmpiW(path + length - nameLength, kClassicThemeFile) == 0;
}

BOOL CPictureMenuShared::IsThemedXp() { return IsWindowsXp(m_osVersion) && !IsClassicTheme(); }

BOOL CPictureMenuShared::UsesFlatLook() { return IsThemedXp() || m_drawMode == kDrawModeFlat; }

BOOL CPictureMenuShared::SetDrawMode(int mode) {
    if (mode != kDrawModeAuto && mode != kDrawModeFlat) {
        return FALSE;
    }
    m_drawMode = mode;
    return TRUE;
}

void CPictureMenuShared::UnregisterLast(HMENU menu) { RemoveFrom(m_subMenus, menu, false); }

void CPictureMenuShared::UnregisterEvery(HMENU menu) { RemoveFrom(m_subMenus, menu, true); }

BOOL CPictureMenuShared::IsRegistered(HMENU menu) const {
    for (INT_PTR i = 0; i < m_subMenus.GetSize(); ++i) {
        if (m_subMenus[i] == menu) {
            return TRUE;
        }
    }
    return FALSE;
}
