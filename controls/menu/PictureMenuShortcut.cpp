#include "controls/menu/PictureMenu.h"

#include "framework/String.h"

#include <memory>
#include <utility>
#include <vector>

namespace {

// GetMenuState of a pop-up keeps its item count in the high byte; only the low byte are flags.
constexpr UINT kPopupStateFlags = 0xFF & ~static_cast<UINT>(MF_POPUP);

}  // namespace

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
