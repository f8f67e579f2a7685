#include "framework/Menu.h"

#include "framework/BoundsFault.h"
#include "framework/Module.h"

#include <utility>

namespace {

// The pop-up menu most recently opened on this thread: the owner hears WM_INITMENUPOPUP before
// the pop-up's items are measured, and WM_MEASUREITEM does not say which menu it is.
thread_local HMENU t_popupBeingShown = nullptr;

}  // namespace

HMENU CMenu::PopupBeingShown() { return t_popupBeingShown; }

HMENU CMenu::ExchangePopupBeingShown(HMENU menu) { return std::exchange(t_popupBeingShown, menu); }

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

// An item wrapper used with no menu is the caller's fault: the test build stops in the report; the
// shipped program goes on, and the call fails as it does for any menu that is not there.
HMENU CMenu::CheckedMenu(const char* call) const {
    if (m_hMenu == nullptr) {
        CBoundsFault::Report(call);
    }
    return m_hMenu;
}

void CMenu::DrawItem(LPDRAWITEMSTRUCT) {}

void CMenu::MeasureItem(LPMEASUREITEMSTRUCT) {}

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id, LPCWSTR text) {
    return ::AppendMenuW(CheckedMenu("CMenu::AppendMenu"), flags, id, text);
}

BOOL CMenu::ModifyMenu(UINT position, UINT flags, UINT_PTR id, LPCWSTR text) {
    return ::ModifyMenuW(CheckedMenu("CMenu::ModifyMenu"), position, flags, id, text);
}

CMenu* CMenu::GetSubMenu(int position) const {
    return FromHandle(::GetSubMenu(CheckedMenu("CMenu::GetSubMenu"), position));
}

int CMenu::GetMenuItemCount() const { return ::GetMenuItemCount(CheckedMenu("CMenu::GetMenuItemCount")); }

UINT CMenu::GetMenuItemID(int position) const {
    return ::GetMenuItemID(CheckedMenu("CMenu::GetMenuItemID"), position);
}

UINT CMenu::GetMenuState(UINT id, UINT flags) const {
    return ::GetMenuState(CheckedMenu("CMenu::GetMenuState"), id, flags);
}

int CMenu::GetMenuString(UINT id, CString& text, UINT flags) const {
    HMENU menu = CheckedMenu("CMenu::GetMenuString");
    const int length = ::GetMenuStringW(menu, id, nullptr, 0, flags);
    if (length <= 0) {
        text.Empty();
        return 0;
    }
    wchar_t* buffer = text.GetBuffer(length);
    const int copied = ::GetMenuStringW(menu, id, buffer, length + 1, flags);
    text.ReleaseBuffer(copied);
    return copied;
}

// The pop-up is recorded for measuring its owner-drawn items: with TPM_NONOTIFY the owner hears
// no WM_INITMENUPOPUP that would name it.
BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, HWND owner, LPCRECT exclude) {
    const HMENU previous = ExchangePopupBeingShown(m_hMenu);
    const BOOL result =
        ::TrackPopupMenu(CheckedMenu("CMenu::TrackPopupMenu"), flags, x, y, 0, owner, exclude);
    ExchangePopupBeingShown(previous);
    return result;
}
