#include "controls/menu/PictureMenu.h"

#include "controls/menu/MenuTemplate.h"
#include "framework/Module.h"
#include "framework/String.h"

#include <memory>
#include <utility>
#include <vector>

namespace {

// Flags of the entries of a loaded menu bar: plain strings, pop-up or not.
constexpr UINT kBarPopupFlags = MF_BYPOSITION | MF_POPUP;
constexpr UINT kBarStringFlags = MF_BYPOSITION;
// GetMenuState of a pop-up keeps its item count in the high byte; only the low byte are flags.
constexpr UINT kPopupStateFlags = 0xFF & ~static_cast<UINT>(MF_POPUP);

}  // namespace

BOOL CPictureMenu::LoadMenu(UINT id) { return LoadMenu(MAKEINTRESOURCEW(LOWORD(id))); }

BOOL CPictureMenu::LoadMenu(LPCWSTR name) {
    HINSTANCE module = AfxFindResourceHandle(name, RT_MENU);
    HRSRC resource = FindResourceW(module, name, RT_MENU);
    if (resource == nullptr) {
        module = nullptr;
        resource = FindResourceW(nullptr, name, RT_MENU);
    }
    if (resource == nullptr) {
        return FALSE;
    }
    HGLOBAL loaded = LoadResource(module, resource);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) {
        return FALSE;
    }
    return LoadMenuTemplate(bytes, SizeofResource(module, resource));
}

// The whole template is read first, so a malformed one leaves the menu as it was. The bar's items
// become plain strings, every pop-up level a CPictureMenu of its own, bound to its handle.
BOOL CPictureMenu::LoadMenuTemplate(const void* bytes, std::size_t size) {
    std::vector<CMenuTemplateItem> items;
    if (!ParseMenuTemplate(bytes, size, items)) {
        return FALSE;
    }
    DestroyMenu();
    if (!CMenu::CreateMenu()) {
        return FALSE;
    }
    if (!BuildLevels(items)) {
        // Platform menus ran out: nothing half-built stays.
        DestroyMenu();
        return FALSE;
    }
    FinishMenuBar();
    m_isMenuBar = TRUE;
    return TRUE;
}

// Every read template item in order; the stack's top is the menu receiving the next item. The
// sub-menus on the stack are already owned through their parents' lists.
BOOL CPictureMenu::BuildLevels(const std::vector<CMenuTemplateItem>& items) {
    std::vector<CPictureMenu*> levels = {this};
    std::vector<bool> levelEnds = {false};
    for (const CMenuTemplateItem& item : items) {
        if (levels.empty()) {
            break;
        }
        const UINT flags = item.flags & kMenuTemplateItemFlags & ~static_cast<UINT>(MF_END);
        const bool ends = (item.flags & MF_END) != 0;
        if ((item.flags & MF_POPUP) != 0) {
            levelEnds.back() = levelEnds.back() || ends;
            auto subMenu = std::make_unique<CPictureMenu>();
            subMenu->m_checkSelectedId = m_checkSelectedId;
            subMenu->m_checkUnselectedId = m_checkUnselectedId;
            subMenu->m_checkImages = m_checkImages;
            subMenu->m_checkImagesShared = TRUE;
            CPictureMenu* level = subMenu.get();
            if (!subMenu->CMenu::CreatePopupMenu() ||
                !levels.back()->AppendSubMenu(item.text.c_str(), flags, std::move(subMenu))) {
                return FALSE;
            }
            levels.push_back(level);
            levelEnds.push_back(false);
            continue;
        }
        if (!levels.back()->AppendItem(item.text.c_str(), flags, item.id)) {
            return FALSE;
        }
        levelEnds.back() = levelEnds.back() || ends;
        while (!levels.empty() && levelEnds.back()) {
            levels.back()->AlignAcceleratorText();
            levels.pop_back();
            levelEnds.pop_back();
        }
    }
    return levels.empty();
}

// The top level of a loaded menu is a menu bar of plain string entries, never owner-drawn.
void CPictureMenu::FinishMenuBar() {
    for (int position = 0; position < GetMenuItemCount() && position < m_items.GetSize(); ++position) {
        CPictureMenuItem* record = m_items[position];
        HMENU subMenu = ::GetSubMenu(m_hMenu, position);
        if (subMenu != nullptr) {
            record->m_flags = kBarPopupFlags;
            ::ModifyMenuW(m_hMenu, position, kBarPopupFlags, reinterpret_cast<UINT_PTR>(subMenu),
                          record->GetText());
        } else {
            record->m_flags = kBarStringFlags;
            ::ModifyMenuW(m_hMenu, position, kBarStringFlags, record->m_commandId, record->GetText());
        }
    }
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

// Answers WM_MENUCHAR: the first item whose text holds '&' and the typed character, ignoring case.
// A NUL is no one's mnemonic: as the end of the key it would match the first ampersand anywhere.
LRESULT CPictureMenu::FindShortcut(UINT ch, UINT flags, CMenu* menu) {
    CPictureMenu* pictureMenu = DYNAMIC_DOWNCAST(CPictureMenu, menu);
    if (pictureMenu == nullptr || (flags & MF_POPUP) == 0 || ch == 0) {
        return MNC_IGNORE;
    }
    CString key;
    key += L'&';
    key += static_cast<wchar_t>(ch);
    key.MakeLower();
    const int count = pictureMenu->GetMenuItemCount();
    if (count != pictureMenu->m_items.GetSize()) {
        pictureMenu->SyncItems();
    }
    for (int i = 0; i < count; ++i) {
        CString text;
        if (pictureMenu->GetItemText(i, text) && text.MakeLower().Find(key) >= 0) {
            return MAKELRESULT(i, MNC_EXECUTE);
        }
    }
    return MNC_IGNORE;
}

// Rebuilds the records to mirror the platform menu after other code inserted or removed items:
// records are paired with items first come, first served; items without a record get one and
// become owner-drawn; records without an item are freed.
void CPictureMenu::SyncItems() {
    for (INT_PTR i = 0; i < m_items.GetSize(); ++i) {
        m_items[i]->m_syncMark = 0;
    }
    std::vector<CPictureMenuItem*> synced;
    auto takeUnmarked = [this](UINT_PTR id) -> CPictureMenuItem* {
        for (INT_PTR i = 0; i < m_items.GetSize(); ++i) {
            if (m_items[i]->m_syncMark == 0 && m_items[i]->m_commandId == id) {
                m_items[i]->m_syncMark = 1;
                return m_items[i];
            }
        }
        return nullptr;
    };
    // A made record joins m_items at once (marked), so that it is owned from the start.
    auto adopt = [this](std::unique_ptr<CPictureMenuItem> made) {
        made->m_syncMark = 1;
        return m_items[m_items.Add(std::move(made))];
    };
    for (int position = 0; position < GetMenuItemCount(); ++position) {
        // A bitmap item would take the record's address for its bitmap.
        const UINT state = GetMenuState(position, MF_BYPOSITION) & ~static_cast<UINT>(MF_BITMAP);
        CPictureMenuItem* record = nullptr;
        CString text;
        if ((state & MF_POPUP) != 0) {
            const auto id = reinterpret_cast<UINT_PTR>(::GetSubMenu(m_hMenu, position));
            record = takeUnmarked(id);
            GetMenuString(position, text, MF_BYPOSITION);
            if (record == nullptr) {
                record = adopt(
                    ReplaceItemAt(position, id, text,
                                  (state & kPopupStateFlags) | MF_BYPOSITION | MF_OWNERDRAW | MF_POPUP));
            } else if (!text.IsEmpty()) {
                record->SetText(text);
            }
        } else if ((state & MF_SEPARATOR) != 0) {
            record = takeUnmarked(0);
            if (record == nullptr) {
                record = adopt(
                    ReplaceItemAt(position, 0, L"", state | MF_BYPOSITION | MF_OWNERDRAW | MF_SEPARATOR));
            } else {
                // The record's flags may lack MF_BYPOSITION; the item is addressed by position here.
                ::ModifyMenuW(m_hMenu, position, record->m_flags | MF_BYPOSITION, 0,
                              reinterpret_cast<LPCWSTR>(record));
            }
        } else {
            const UINT id = GetMenuItemID(position);
            const UINT itemFlags = state | MF_BYPOSITION | MF_OWNERDRAW;
            record = takeUnmarked(id);
            GetMenuString(position, text, MF_BYPOSITION);
            if (record == nullptr) {
                record = adopt(ReplaceItemAt(position, id, text, itemFlags));
            } else {
                record->m_flags = itemFlags;
                if (!text.IsEmpty()) {
                    record->SetText(text);
                }
                ::ModifyMenuW(m_hMenu, position, itemFlags, id, reinterpret_cast<LPCWSTR>(record));
            }
        }
        synced.push_back(record);
    }
    m_items.KeepInOrder(synced);
    // Records made here start without a shared picture; their command may well have one.
    ResolveOwnSharedPictures();
}

// A fresh record for the item at `position`, which is rewritten to carry it; the caller keeps it.
std::unique_ptr<CPictureMenuItem> CPictureMenu::ReplaceItemAt(int position, UINT_PTR id, LPCWSTR text,
                                                              UINT flags) {
    auto record = std::make_unique<CPictureMenuItem>();
    record->SetText(text);
    record->m_flags = flags;
    record->m_commandId = id;
    const LPCWSTR data = (flags & MF_OWNERDRAW) != 0 ? reinterpret_cast<LPCWSTR>(record.get()) : nullptr;
    ::ModifyMenuW(m_hMenu, position, flags, id, data);
    return record;
}
