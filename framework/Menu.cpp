#include "framework/Menu.h"

#include "framework/Module.h"
#include "framework/Wnd.h"

#include <utility>

CMenu::~CMenu() {
    if (m_ownsMenu) {
        CMenu::DestroyMenu();
    } else {
        Detach();
    }
}

CMenu* CMenu::FromHandle(HMENU menu) { return CMenuHandleMap::FromHandle(menu); }

CMenu* CMenu::FromHandlePermanent(HMENU menu) { return CMenuHandleMap::FromHandlePermanent(menu); }

void CMenu::DeleteTempMap() { CMenuHandleMap::DeleteTemporaries(); }

BOOL CMenu::Attach(HMENU menu) { return BindHandle(menu, true); }

BOOL CMenu::Bind(HMENU menu) { return BindHandle(menu, false); }

BOOL CMenu::BindHandle(HMENU menu, bool owns) {
    if (menu == nullptr || m_hMenu != nullptr || !CMenuHandleMap::Bind(menu, this)) {
        return FALSE;
    }
    m_hMenu = menu;
    m_ownsMenu = owns;
    return TRUE;
}

HMENU CMenu::Detach() {
    m_ownsMenu = false;
    HMENU menu = std::exchange(m_hMenu, nullptr);
    if (menu != nullptr) {
        CMenuHandleMap::Unbind(menu, this);
    }
    return menu;
}

// Creating or loading fails without making a menu when this object already holds one.
BOOL CMenu::CreateMenu() { return m_hMenu == nullptr && Attach(::CreateMenu()); }

BOOL CMenu::CreatePopupMenu() { return m_hMenu == nullptr && Attach(::CreatePopupMenu()); }

BOOL CMenu::LoadMenu(UINT id) { return LoadMenu(MAKEINTRESOURCEW(id)); }

BOOL CMenu::LoadMenu(LPCWSTR name) {
    if (m_hMenu != nullptr) {
        return FALSE;
    }
    HMENU menu = ::LoadMenuW(AfxFindResourceHandle(name, RT_MENU), name);
    if (menu == nullptr) {
        return FALSE;
    }
    if (!Attach(menu)) {
        ::DestroyMenu(menu);
        return FALSE;
    }
    return TRUE;
}

BOOL CMenu::DestroyMenu() {
    if (m_hMenu == nullptr) {
        return FALSE;
    }
    return ::DestroyMenu(Detach());
}

void CMenu::DrawItem(LPDRAWITEMSTRUCT) {}

void CMenu::MeasureItem(LPMEASUREITEMSTRUCT) {}

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id, LPCWSTR text) {
    return ::AppendMenuW(m_hMenu, flags, id, text);
}

BOOL CMenu::ModifyMenu(UINT position, UINT flags, UINT_PTR id, LPCWSTR text) {
    return ::ModifyMenuW(m_hMenu, position, flags, id, text);
}

CMenu* CMenu::GetSubMenu(int position) const { return FromHandle(::GetSubMenu(m_hMenu, position)); }

int CMenu::GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }

UINT CMenu::GetMenuItemID(int position) const { return ::GetMenuItemID(m_hMenu, position); }

UINT CMenu::GetMenuState(UINT id, UINT flags) const { return ::GetMenuState(m_hMenu, id, flags); }

int CMenu::GetMenuString(UINT id, CString& text, UINT flags) const {
    const int length = ::GetMenuStringW(m_hMenu, id, nullptr, 0, flags);
    if (length <= 0) {
        text.Empty();
        return 0;
    }
    wchar_t* buffer = text.GetBuffer(length);
    const int copied = ::GetMenuStringW(m_hMenu, id, buffer, length + 1, flags);
    text.ReleaseBuffer(copied);
    return copied;
}

// The pop-up is recorded for measuring its owner-drawn items: with TPM_NONOTIFY the owner hears
// no WM_INITMENUPOPUP that would name it.
BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, LPCRECT exclude) {
    const HMENU previous = CWnd::ExchangePopupBeingShown(m_hMenu);
    const BOOL result =
        ::TrackPopupMenu(m_hMenu, flags, x, y, 0, owner != nullptr ? owner->m_hWnd : nullptr, exclude);
    CWnd::ExchangePopupBeingShown(previous);
    return result;
}

CMenu* AfxMenuFromHandle(HMENU menu) { return CMenu::FromHandle(menu); }
