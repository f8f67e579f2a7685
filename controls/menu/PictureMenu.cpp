#include "controls/menu/PictureMenu.h"

#include "controls/menu/LabelPadding.h"
#include "controls/menu/MenuTemplate.h"
#include "controls/menu/OsVersionCode.h"
#include "framework/Dc.h"
#include "framework/GdiObject.h"
#include "framework/ScopedSelect.h"
#include "framework/String.h"
#include "framework/WinApp.h"
#include "framework/Wnd.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace {

// Space between the picture and the text, per look.
constexpr int kClassicGap = 4;
constexpr int kFlatGap = 7;
constexpr int kFlatTextMargin = 8;

void RemoveEvery(CTypedPtrArray<CPtrArray, HMENU>& list, HMENU menu) {
    for (INT_PTR i = list.GetSize() - 1; i >= 0; --i) {
        if (list[i] == menu) {
            list.RemoveAt(i);
        }
    }
}

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

// The window whose screen context texts are measured in: the thread's main window, else the desktop.
HWND MeasuringWindow() {
    const CWinThread* thread = AfxGetThread();
    if (thread != nullptr && thread->m_pMainWnd != nullptr && thread->m_pMainWnd->m_hWnd != nullptr) {
        return thread->m_pMainWnd->m_hWnd;
    }
    return GetDesktopWindow();
}

int TextWidth(CDC& dc, const CString& text) {
    SIZE size = {};
    if (!GetTextExtentPoint32W(dc, text, text.GetLength(), &size)) {
        return 0;
    }
    return size.cx;
}

// The part of an item text before its first tab (all of it without a tab).
CString LabelOf(const CString& text) {
    const int tab = text.Find(L'\t');
    return tab < 0 ? text : text.Left(tab);
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
        s_allSubMenus.Add(subMenu);
        m_subMenus.Add(subMenu);
    }

    auto record = std::make_unique<CPictureMenuItem>();
    record->SetText(text);
    record->m_sharedImageIndex = SharedIndexOf(id);
    record->m_flags = flags;
    record->m_commandId = id;
    const CPictureMenuItem* item = m_items[m_items.Add(std::move(record))];

    const BOOL appended = ::AppendMenuW(m_hMenu, flags, id, reinterpret_cast<LPCWSTR>(item));
    if (!appended) {
        m_items.RemoveAt(m_items.GetSize() - 1);
        if (popup) {
            RemoveLast(m_subMenus, subMenu);
            RemoveLast(s_allSubMenus, subMenu);
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

BOOL CPictureMenu::IsOwnedSubMenu(HMENU menu) { return ContainsMenu(s_allSubMenus, menu); }

BOOL CPictureMenu::IsOwnedSubMenu(const CMenu* menu) {
    return menu != nullptr && IsOwnedSubMenu(menu->m_hMenu);
}

INT_PTR CPictureMenu::RegisteredSubMenuCount() { return s_allSubMenus.GetSize(); }

// Sub-menus go first: other owners' are taken out of the platform menu, which would otherwise
// destroy them with itself, and this menu's own are deleted, last first (each deletes its own
// records and sub-menus in turn). Then the records, the check pictures when they are this menu's
// own, and the platform menu last. A parent's shared check pictures stay in view: the parent
// outlives the sub-menus it owns.
BOOL CPictureMenu::DestroyMenu() {
    if (m_hMenu != nullptr) {
        RemoveEvery(s_allSubMenus, m_hMenu);
    }
    for (INT_PTR i = m_subMenus.GetSize() - 1; i >= 0; --i) {
        RemoveEvery(s_allSubMenus, m_subMenus[i]);
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

// Pads every label that has a shortcut text to the widest label of the level plus one space, so
// the shortcut texts start in one column.
void CPictureMenu::AlignAcceleratorText() {
    CFont font;
    CreateMenuFont(font);
    CClientDC dc(CWnd::FromHandle(MeasuringWindow()));
    CScopedSelect selectFont(dc, font);
    const int count = std::min(GetMenuItemCount(), static_cast<int>(m_items.GetSize()));
    int widest = -1;
    for (int i = 0; i < count; ++i) {
        CString label = LabelOf(m_items[i]->GetText());
        label += L' ';
        widest = std::max(widest, TextWidth(dc, label));
    }
    const TextMeasure measure = [&dc](const CString& text) {
        return TextWidth(dc, text);
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

// Searches the sub-menus too: the owner-drawn button measures every level's items through its
// top menu.
const CPictureMenuItem* CPictureMenu::FindRecord(ULONG_PTR itemData) const {
    return FindRecordBelow(*this, itemData, 0);
}

BOOL CPictureMenu::CreateMenuFont(CFont& font) {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    // Without the settings a zeroed description still gives the system's default font.
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    return font.CreateFontIndirect(&metrics.lfMenuFont);
}

// Sizes one owner-drawn item from its record, the picture size and the effective look. The font
// and the screen context are made for every item: nothing is cached between calls.
void CPictureMenu::MeasureItem(LPMEASUREITEMSTRUCT item) {
    if (item == nullptr) {
        return;
    }
    const CPictureMenuItem* record = FindRecord(item->itemData);
    const BOOL flat = UsesFlatLook();
    const int gap = flat ? kFlatGap : kClassicGap;
    if (record != nullptr && (record->m_flags & MF_SEPARATOR) != 0) {
        item->itemWidth = 0;
        item->itemHeight =
            static_cast<UINT>(std::max(GetSystemMetrics(SM_CYMENU) / 2, (m_iconHeight + gap) / 2));
        return;
    }
    SIZE textSize = {};
    if (MeasuresItemText(s_osVersion)) {
        CFont font;
        CreateMenuFont(font);
        CClientDC dc(CWnd::FromHandle(MeasuringWindow()));
        // Without the menu font selected the text is measured in the context's own font.
        const HGDIOBJ menuFont = MeasuresInMenuFont(s_osVersion) ? font.m_hObject : nullptr;
        CScopedSelect selectFont(dc, menuFont);
        const CString text = record != nullptr ? record->GetText() : L"";
        GetTextExtentPoint32W(dc, text, text.GetLength(), &textSize);
    }
    const int width =
        flat ? textSize.cx + m_iconWidth + gap + kFlatTextMargin : textSize.cx + 2 * m_iconWidth + 1;
    item->itemWidth = static_cast<UINT>(std::max(width, 0));
    item->itemHeight = static_cast<UINT>(std::max(GetSystemMetrics(SM_CYMENU), m_iconHeight + gap));
}
