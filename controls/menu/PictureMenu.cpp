#include "controls/menu/PictureMenu.h"

#include "controls/menu/MenuTemplate.h"
#include "controls/menu/PictureMenuPainter.h"
#include "framework/String.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace {

bool ContainsMenu(const CTypedPtrArray<CPtrArray, HMENU>& list, HMENU menu) {
    for (INT_PTR i = 0; i < list.GetSize(); ++i) {
        if (list[i] == menu) {
            return true;
        }
    }
    return false;
}

void RemoveLast(CTypedPtrArray<CPtrArray, HMENU>& list, HMENU menu) {
    for (INT_PTR i = list.GetSize() - 1; i >= 0; --i) {
        if (list[i] == menu) {
            list.RemoveAt(i);
            return;
        }
    }
}

// The record `data` points at among `menu`'s records and its sub-menus', to a bounded depth in case
// other code appended a menu to one of its own sub-menus.
const CPictureMenuItem* FindRecordBelow(const CPictureMenu& menu, ULONG_PTR data, int depth) {
    if (data == 0 || depth > kMaxMenuTemplateDepth) {
        return nullptr;
    }
    for (INT_PTR i = 0; i < menu.m_items.GetSize(); ++i) {
        if (reinterpret_cast<ULONG_PTR>(menu.m_items[i]) == data) {
            return menu.m_items[i];
        }
    }
    for (INT_PTR i = 0; i < menu.m_subMenus.GetSize(); ++i) {
        const auto* sub = DYNAMIC_DOWNCAST(CPictureMenu, CMenu::FromHandlePermanent(menu.m_subMenus[i]));
        const CPictureMenuItem* found = sub != nullptr ? FindRecordBelow(*sub, data, depth + 1) : nullptr;
        if (found != nullptr) {
            return found;
        }
    }
    return nullptr;
}

}  // namespace

CPictureMenu::CPictureMenu() = default;

CPictureMenu::~CPictureMenu() { CPictureMenu::DestroyMenu(); }

// An item with id 0 is always a separator, whatever flags were asked for. A pop-up's id is its
// menu handle; the sub-menu is registered, not taken over. When the platform refuses the item,
// nothing of it is kept.
BOOL CPictureMenu::AppendItem(LPCWSTR text, UINT flags, UINT_PTR id) {
    if (id == 0) {
        flags = (flags & MF_BYPOSITION) | MF_SEPARATOR | MF_OWNERDRAW;
    } else {
        flags |= MF_OWNERDRAW;
    }
    const bool popup = (flags & MF_POPUP) != 0;
    HMENU subMenu = reinterpret_cast<HMENU>(id);
    if (popup) {
        Shared().RegisterSubMenu(subMenu);
        m_subMenus.Add(subMenu);
    }

    auto record = std::make_unique<CPictureMenuItem>();
    record->SetText(text);
    record->m_sharedImageIndex = Shared().Pictures().IndexOf(id);
    record->m_flags = flags;
    record->m_commandId = id;
    const CPictureMenuItem* item = m_items[m_items.Add(std::move(record))];

    const BOOL appended = ::AppendMenuW(m_hMenu, flags, id, reinterpret_cast<LPCWSTR>(item));
    if (!appended) {
        m_items.RemoveAt(m_items.GetSize() - 1);
        if (popup) {
            RemoveLast(m_subMenus, subMenu);
            Shared().UnregisterLast(subMenu);
        }
    }
    if (m_isMenuBar) {
        RestoreBarItems();
    }
    return appended;
}

// Room for the owner is made first, so that once the entry stands nothing can fail to take it.
BOOL CPictureMenu::AppendSubMenu(LPCWSTR text, UINT flags, std::unique_ptr<CPictureMenu> subMenu) {
    if (!subMenu || subMenu->m_hMenu == nullptr) {
        return FALSE;
    }
    m_ownedSubMenus.reserve(m_ownedSubMenus.size() + 1);
    if (!AppendItem(text, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(subMenu->m_hMenu))) {
        return FALSE;
    }
    m_ownedSubMenus.push_back(std::move(subMenu));
    return TRUE;
}

BOOL CPictureMenu::GetItemText(int index, CString& text) const {
    if (index < 0 || index >= m_items.GetSize()) {
        return FALSE;
    }
    text = m_items[index]->GetText();
    return TRUE;
}

BOOL CPictureMenu::IsOwnedSubMenu(HMENU menu) { return Shared().IsRegistered(menu); }

BOOL CPictureMenu::IsOwnedSubMenu(const CMenu* menu) {
    return menu != nullptr && IsOwnedSubMenu(menu->m_hMenu);
}

// Keeps the pop-up entries of a loaded menu bar plain strings. Other code may have put entries in
// front of the recorded ones: the first entry whose text matches a record gives the offset.
void CPictureMenu::RestoreBarItems() {
    const INT_PTR recordCount = m_items.GetSize();
    int offset = 0;
    if (m_isMenuBar) {
        bool paired = false;
        for (int position = 0; !paired && position < GetMenuItemCount(); ++position) {
            CString text;
            GetMenuString(position, text, MF_BYPOSITION);
            if (text.IsEmpty()) {
                continue;
            }
            for (int record = 0; record < recordCount; ++record) {
                if (text == m_items[record]->GetText()) {
                    offset = position >= record ? position - record : 0;
                    paired = true;
                    break;
                }
            }
        }
    }
    for (int i = 0; i < recordCount && offset + i < GetMenuItemCount(); ++i) {
        HMENU subMenu = ::GetSubMenu(m_hMenu, offset + i);
        if (subMenu != nullptr) {
            m_items[i]->m_flags = kBarPopupFlags;
            ::ModifyMenuW(m_hMenu, offset + i, kBarPopupFlags, reinterpret_cast<UINT_PTR>(subMenu),
                          m_items[i]->GetText());
        }
    }
}

// Sub-menus go first: other owners' are taken out of the platform menu, which would otherwise
// destroy them with itself, and this menu's own are deleted, last first (each deletes its own
// records and sub-menus in turn). Then the records, the check pictures when they are this menu's
// own, and the platform menu last. A parent's shared check pictures stay in view: the parent
// outlives the sub-menus it owns.
BOOL CPictureMenu::DestroyMenu() {
    if (m_hMenu != nullptr) {
        Shared().UnregisterEvery(m_hMenu);
    }
    for (INT_PTR i = m_subMenus.GetSize() - 1; i >= 0; --i) {
        Shared().UnregisterEvery(m_subMenus[i]);
    }
    TakeOutForeignSubMenus();
    while (!m_ownedSubMenus.empty()) {
        m_ownedSubMenus.pop_back();
    }
    m_subMenus.RemoveAll();
    m_items.RemoveAll();
    if (!m_checkImagesShared) {
        m_checkImages = nullptr;
    }
    m_ownCheckImages.reset();
    return CMenu::DestroyMenu();
}

BOOL CPictureMenu::OwnsSubMenu(HMENU subMenu) const {
    return std::any_of(
        m_ownedSubMenus.begin(), m_ownedSubMenus.end(),
        [subMenu](const std::unique_ptr<CPictureMenu>& owned) { return owned->m_hMenu == subMenu; });
}

void CPictureMenu::TakeOutForeignSubMenus() {
    if (m_hMenu == nullptr) {
        return;
    }
    for (int position = ::GetMenuItemCount(m_hMenu) - 1; position >= 0; --position) {
        HMENU subMenu = ::GetSubMenu(m_hMenu, position);
        if (subMenu != nullptr && ContainsMenu(m_subMenus, subMenu) && !OwnsSubMenu(subMenu)) {
            ::RemoveMenu(m_hMenu, position, MF_BYPOSITION);
        }
    }
}

// Breadth first, each object once, so a menu appended to one of its own sub-menus ends the walk.
std::vector<CPictureMenu*> CPictureMenu::Levels() {
    std::vector<CPictureMenu*> levels = {this};
    for (std::size_t next = 0; next < levels.size(); ++next) {
        const CPictureMenu* level = levels[next];
        for (INT_PTR i = 0; i < level->m_subMenus.GetSize(); ++i) {
            auto* sub = DYNAMIC_DOWNCAST(CPictureMenu, CMenu::FromHandlePermanent(level->m_subMenus[i]));
            if (sub != nullptr && std::find(levels.begin(), levels.end(), sub) == levels.end()) {
                levels.push_back(sub);
            }
        }
    }
    return levels;
}

// Searches the sub-menus too: the owner-drawn button measures every level's items through its
// top menu.
const CPictureMenuItem* CPictureMenu::FindRecord(ULONG_PTR itemData) const {
    return FindRecordBelow(*this, itemData, 0);
}

CPictureMenuShared& CPictureMenu::Shared() { return CPictureMenuShared::Instance(); }

MenuPaintSettings CPictureMenu::PaintSettings() const {
    CPictureMenuShared& shared = Shared();
    MenuPaintSettings settings;
    settings.osVersion = shared.OsVersion();
    settings.themedXp = shared.IsThemedXp() != FALSE;
    settings.flat = shared.UsesFlatLook() != FALSE;
    settings.selectDisabled = shared.SelectsDisabled() != FALSE;
    settings.iconWidth = m_iconWidth;
    settings.iconHeight = m_iconHeight;
    settings.ditherDisabled = m_ditherDisabled != FALSE;
    settings.checkImages = m_checkImages;
    settings.checkSelectedId = m_checkSelectedId;
    settings.checkUnselectedId = m_checkUnselectedId;
    settings.sharedPictures = &shared.Pictures();
    return settings;
}

void CPictureMenu::MeasureItem(LPMEASUREITEMSTRUCT item) {
    if (item != nullptr) {
        CPictureMenuPainter(PaintSettings()).Measure(*item, FindRecord(item->itemData));
    }
}

int CPictureMenu::GetOsVersionCode() noexcept { return CPictureMenuShared::GetOsVersionCode(); }

BOOL CPictureMenu::IsClassicTheme() { return Shared().IsClassicTheme(); }

BOOL CPictureMenu::SetDrawMode(int mode) { return Shared().SetDrawMode(mode); }

int CPictureMenu::GetDrawMode() { return Shared().DrawMode(); }
