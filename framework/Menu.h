// A menu handle with owner-draw hooks. An object given its menu by Attach, Create or Load owns
// the menu and destroys it; an object bound with Bind only stands for the menu in dispatch (its
// owner-drawn items reach its DrawItem/MeasureItem) and leaves it alone; FromHandle gives a
// temporary, non-owning wrapper.
#pragma once

#include "framework/Afx.h"
#include "framework/HandleMap.h"
#include "framework/String.h"

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
    // The pop-up menu this thread shows, whose object measures its owner-drawn items, and setting
    // it (returns the previous one). Set by the windows from WM_INITMENUPOPUP and by
    // TrackPopupMenu (TPM_NONOTIFY sends none).
    static HMENU PopupBeingShown();
    static HMENU ExchangePopupBeingShown(HMENU menu);

    // Takes the menu over: this object destroys it. FALSE when another object is bound to it.
    BOOL Attach(HMENU menu);
    // Binds this object to a menu that something else owns (a pop-up of an owned menu, say):
    // FromHandlePermanent finds it, so the menu's owner-drawn items are drawn and measured by it,
    // and the menu stays when the object goes. FALSE when another object is bound to it.
    BOOL Bind(HMENU menu);
    // Lets go of the menu (owned or bound) without destroying it.
    HMENU Detach();
    bool OwnsMenu() const { return m_ownsMenu; }

    BOOL CreateMenu();
    BOOL CreatePopupMenu();
    virtual BOOL LoadMenu(UINT id);
    virtual BOOL LoadMenu(LPCWSTR name);
    virtual BOOL DestroyMenu();

    // Owner-drawn items: called for WM_DRAWITEM of this menu's items, and for their
    // WM_MEASUREITEM while this menu is the pop-up being shown (see CWnd::OnMeasureItem).
    virtual void DrawItem(LPDRAWITEMSTRUCT item);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT item);

    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, LPCWSTR text = nullptr);
    BOOL ModifyMenu(UINT position, UINT flags, UINT_PTR id = 0, LPCWSTR text = nullptr);
    CMenu* GetSubMenu(int position) const;
    int GetMenuItemCount() const;
    UINT GetMenuItemID(int position) const;
    UINT GetMenuState(UINT id, UINT flags) const;
    int GetMenuString(UINT id, CString& text, UINT flags) const;
    BOOL TrackPopupMenu(UINT flags, int x, int y, HWND owner, LPCRECT exclude = nullptr);

private:
    // The menu for the item wrapper `call`; reports a fault when there is none.
    HMENU CheckedMenu(const char* call) const;
    BOOL BindHandle(HMENU menu, bool owns);

    bool m_ownsMenu = false;
};

// The menus bound to framework objects, and the temporaries FromHandle gives out.
using CMenuHandleMap = CHandleMap<CMenu, HMENU, &CMenu::m_hMenu>;
