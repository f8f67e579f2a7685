// A menu handle with owner-draw hooks. An object bound with Attach (or made by Create/Load)
// owns its menu and destroys it; FromHandle gives a temporary, non-owning wrapper.
#pragma once

#include "framework/Afx.h"
#include "framework/HandleMap.h"
#include "framework/String.h"

class CWnd;

class CMenu {
public:
    CMenu() = default;
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;
    virtual ~CMenu();

    HMENU m_hMenu = nullptr;

    operator HMENU() const { return m_hMenu; }  // NOLINT
    HMENU GetSafeHmenu() const { return m_hMenu; }

    static CMenu* FromHandle(HMENU menu);
    static CMenu* FromHandlePermanent(HMENU menu);
    static void DeleteTempMap();

    BOOL Attach(HMENU menu);
    HMENU Detach();

    BOOL CreateMenu();
    BOOL CreatePopupMenu();
    virtual BOOL LoadMenu(UINT id);
    virtual BOOL LoadMenu(LPCWSTR name);
    virtual BOOL DestroyMenu();

    // Owner-drawn items: called for WM_DRAWITEM of items of this menu, and by owners that
    // forward WM_MEASUREITEM.
    virtual void DrawItem(LPDRAWITEMSTRUCT item);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT item);

    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, LPCWSTR text = nullptr);
    BOOL ModifyMenu(UINT position, UINT flags, UINT_PTR id = 0, LPCWSTR text = nullptr);
    CMenu* GetSubMenu(int position) const;
    int GetMenuItemCount() const;
    UINT GetMenuItemID(int position) const;
    UINT GetMenuState(UINT id, UINT flags) const;
    int GetMenuString(UINT id, CString& text, UINT flags) const;
    BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, LPCRECT exclude = nullptr);
};

// The menus bound to framework objects, and the temporaries FromHandle gives out.
using CMenuHandleMap = CHandleMap<CMenu, HMENU, &CMenu::m_hMenu>;
