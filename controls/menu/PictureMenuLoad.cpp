#include "controls/menu/PictureMenu.h"

#include "controls/menu/LabelPadding.h"
#include "controls/menu/MenuTemplate.h"
#include "controls/menu/PictureMenuPainter.h"
#include "framework/Dc.h"
#include "framework/GdiObject.h"
#include "framework/Module.h"
#include "framework/ScopedSelect.h"
#include "framework/String.h"
#include "framework/Wnd.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace {

// Flags of a plain string entry of a loaded menu bar.
constexpr UINT kBarStringFlags = MF_BYPOSITION;

// The part of an item text before its first tab (all of it without a tab).
CString LabelOf(const CString& text) {
    const int tab = text.Find(L'\t');
    return tab < 0 ? text : text.Left(tab);
}

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

// Pads every label that has a shortcut text to the widest label of the level plus one space, so
// the shortcut texts start in one column.
void CPictureMenu::AlignAcceleratorText() {
    CFont font;
    CMenuPaintRoutines::CreateMenuFont(font);
    CClientDC dc(CWnd::FromHandle(CPictureMenuPainter::MeasuringWindow()));
    CScopedSelect selectFont(dc, font);
    const int count = std::min(GetMenuItemCount(), static_cast<int>(m_items.GetSize()));
    int widest = -1;
    for (int i = 0; i < count; ++i) {
        CString label = LabelOf(m_items[i]->GetText());
        label += L' ';
        widest = std::max(widest, CPictureMenuPainter::TextWidth(dc, label));
    }
    const TextMeasure measure = [&dc](const CString& text) {
        return CPictureMenuPainter::TextWidth(dc, text);
    };
    for (int i = 0; i < count; ++i) {
        const CString text = m_items[i]->GetText();
        const int tab = text.Find(L'\t');
        if (tab >= 0) {
            const CString padded = PadLabelToWidth(text.Left(tab), widest, measure) + text.Mid(tab);
            m_items[i]->SetText(padded);
        }
    }
}
