#include "framework/Menu.h"

#include "framework/Module.h"
#include "framework/Wnd.h"

#include <memory>
#include <unordered_map>

namespace {

struct MenuThreadState {
    // Temporaries never own their menu, also when the thread ends with some still handed out.
    ~MenuThreadState() {
        for (auto& entry : temporary) {
            entry.second->m_hMenu = nullptr;
        }
    }

    std::unordered_map<HMENU, CMenu*> permanent;
    std::unordered_map<HMENU, std::unique_ptr<CMenu>> temporary;
};

MenuThreadState& MenuState() {
    thread_local MenuThreadState state;
    return state;
}

}  // namespace

CMenu::~CMenu() { DestroyMenu(); }

CMenu* CMenu::FromHandle(HMENU menu) {
    if (menu == nullptr) {
        return nullptr;
    }
    if (CMenu* bound = FromHandlePermanent(menu)) {
        return bound;
    }
    auto& temporary = MenuState().temporary;
    auto found = temporary.find(menu);
    if (found != temporary.end()) {
        return found->second.get();
    }
    auto wrapper = std::make_unique<CMenu>();
    wrapper->m_hMenu = menu;
    CMenu* result = wrapper.get();
    temporary.emplace(menu, std::move(wrapper));
    return result;
}

CMenu* CMenu::FromHandlePermanent(HMENU menu) {
    auto& permanent = MenuState().permanent;
    auto found = permanent.find(menu);
    return found == permanent.end() ? nullptr : found->second;
}

void CMenu::DeleteTempMap() {
    auto& temporary = MenuState().temporary;
    for (auto& entry : temporary) {
        entry.second->m_hMenu = nullptr;  // temporaries never own their menu
    }
    temporary.clear();
}

BOOL CMenu::Attach(HMENU menu) {
    if (menu == nullptr || m_hMenu != nullptr) {
        return FALSE;
    }
    m_hMenu = menu;
    MenuState().permanent[menu] = this;
    return TRUE;
}

HMENU CMenu::Detach() {
    HMENU menu = m_hMenu;
    if (menu != nullptr && FromHandlePermanent(menu) == this) {
        MenuState().permanent.erase(menu);
    }
    m_hMenu = nullptr;
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

BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, LPCRECT exclude) {
    return ::TrackPopupMenu(m_hMenu, flags, x, y, 0, owner != nullptr ? owner->m_hWnd : nullptr, exclude);
}
