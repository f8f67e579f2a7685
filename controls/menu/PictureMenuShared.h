// What every picture menu of the process shares: the Windows version and desktop theme the look
// is chosen by, the draw mode, whether disabled items may show as selected, the shared pictures,
// and the registry of appended sub-menus. One instance, reached through Instance().
#pragma once

#include "controls/menu/SharedMenuPictures.h"
#include "framework/Afx.h"
#include "framework/Array.h"

#include <optional>

class CPictureMenuShared {
public:
    static CPictureMenuShared& Instance();

    // --- Windows version and desktop theme.
    // Where GetOsVersionCode reads the version from (the system's calls, or a test's).
    struct VersionSource {
        DWORD(WINAPI* getVersion)();
        BOOL(WINAPI* getVersionEx)(OSVERSIONINFOW* info);
    };
    static int GetOsVersionCode() noexcept;
    static int GetOsVersionCode(const VersionSource& source) noexcept;
    // The version code the menus paint and measure for (classified once, at start-up).
    int OsVersion() const { return m_osVersion; }
    void UseOsVersion(int code) { m_osVersion = code; }

    BOOL IsClassicTheme();
    // Empty: not read yet. A cache set here is not read again.
    std::optional<BOOL> CachedClassicTheme() const { return m_classicTheme; }
    void CacheClassicTheme(std::optional<BOOL> classic) { m_classicTheme = classic; }
    // Reads the theme value under `root`\`subKey`, uncached; TRUE when it names the classic theme.
    static BOOL ReadClassicTheme(HKEY root, LPCWSTR subKey);
    // TRUE when the theme path ends in the classic theme's file name, in any letter case.
    static BOOL IsClassicThemePath(const wchar_t* path);
    // Windows XP running a theme other than the classic one.
    BOOL IsThemedXp();
    // The effective look: flat on a themed Windows XP or when the draw mode asks for it.
    BOOL UsesFlatLook();

    // --- Settings.
    enum : int { kDrawModeAuto = 0, kDrawModeFlat = 1 };
    // FALSE, with the mode unchanged, for a mode other than kDrawModeAuto or kDrawModeFlat.
    BOOL SetDrawMode(int mode);
    int DrawMode() const { return m_drawMode; }
    // Whether the flat look paints a disabled item as selected (by default it never does).
    void SetSelectDisabled(BOOL select) { m_selectDisabled = select; }
    BOOL SelectsDisabled() const { return m_selectDisabled; }

    // --- Shared pictures.
    CSharedMenuPictures& Pictures() { return m_pictures; }

    // --- Registry of sub-menus: one registration per appended pop-up entry.
    void RegisterSubMenu(HMENU menu) { m_subMenus.Add(menu); }
    // Takes out the latest registration of `menu`.
    void UnregisterLast(HMENU menu);
    // Takes out every registration of `menu`.
    void UnregisterEvery(HMENU menu);
    BOOL IsRegistered(HMENU menu) const;
    // 0 once every menu is torn down.
    INT_PTR RegisteredSubMenuCount() const { return m_subMenus.GetSize(); }
    HMENU RegisteredSubMenu(INT_PTR index) const { return m_subMenus[index]; }

private:
    CPictureMenuShared() noexcept;

    static CPictureMenuShared s_instance;

    // Coded 0-7 by GetOsVersionCode (see OsVersionCode.h).
    int m_osVersion;
    int m_drawMode = kDrawModeAuto;
    BOOL m_selectDisabled = FALSE;
    std::optional<BOOL> m_classicTheme;
    CSharedMenuPictures m_pictures;
    CTypedPtrArray<CPtrArray, HMENU> m_subMenus;
};
