#include "controls/menu/PictureMenu.h"

#include <cwchar>

namespace {

constexpr wchar_t kThemeKey[] = L"Software\\Microsoft\\Plus!\\Themes\\Current";
constexpr wchar_t kClassicThemeFile[] = L"Windows Classic.theme";
constexpr DWORD kThemeValueBytes = 260;
constexpr int kThemedXpVersion = 7;
constexpr int kAlwaysFlat = 1;

}  // namespace

BOOL CPictureMenu::UsesFlatLook() { return IsThemedXp() || s_drawMode == kAlwaysFlat; }

BOOL CPictureMenu::IsThemedXp() { return s_osVersion == kThemedXpVersion && !IsClassicTheme(); }

// Read once; a failed read counts as a themed desktop and is not retried.
BOOL CPictureMenu::IsClassicTheme() {
    if (s_themeTested) {
        return s_classicTheme;
    }
    s_themeTested = TRUE;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kThemeKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return FALSE;
    }
    wchar_t path[kThemeValueBytes / sizeof(wchar_t) + 1] = {};
    DWORD bytes = kThemeValueBytes;
    const LSTATUS status =
        ::RegQueryValueExW(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(path), &bytes);
    ::RegCloseKey(key);
    if (status != ERROR_SUCCESS) {
        return FALSE;
    }
    const size_t length = std::wcslen(path);
    const size_t suffix = std::wcslen(kClassicThemeFile);
    s_classicTheme = length >= suffix && ::lstrcmpiW(path + length - suffix, kClassicThemeFile) == 0;
    return s_classicTheme;
}

BOOL CPictureMenu::CreateMenuFont(CFont& font) {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    return ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0) &&
           font.CreateFontIndirect(&metrics.lfMenuFont);
}
