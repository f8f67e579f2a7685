#include "controls/menu/PictureMenu.h"

#include "controls/menu/LabelPadding.h"
#include "controls/menu/MenuTemplate.h"
#include "framework/Module.h"
#include "framework/ScopedSelect.h"
#include "framework/WinApp.h"
#include "framework/Wnd.h"

#include <algorithm>
#include <cwchar>
#include <initializer_list>
#include <new>
#include <vector>

namespace {

// Version codes of GetOsVersionCode.
constexpr int kOsOldWindows = 0;   // Windows 3.x family
constexpr int kOsNt = 1;           // NT 3.x, Server 2003 / XP x64, Vista and later
constexpr int kOsWindows9x = 2;    // Windows 95 and other 4.x
constexpr int kOsWindows98 = 3;    // 4.10
constexpr int kOsWindowsMe = 4;    // 4.90
constexpr int kOsNt4 = 5;          // NT 4.0
constexpr int kOsWindows2000 = 6;  // 5.0
constexpr int kOsWindowsXp = 7;    // 5.1
constexpr DWORD kNotNtFamily = 0x80000000;

constexpr wchar_t kThemeKey[] = L"Software\\Microsoft\\Plus!\\Themes\\Current";
constexpr wchar_t kClassicThemeFile[] = L"Windows Classic.theme";
// Room the theme value has always been read into, in bytes.
constexpr DWORD kThemeValueBytes = 260;

// Space between the picture and the text, per look.
constexpr int kClassicGap = 4;
constexpr int kFlatGap = 7;
constexpr int kFlatTextMargin = 8;

// Flags of the entries of a loaded menu bar: plain strings, pop-up or not.
constexpr UINT kBarPopupFlags = MF_BYPOSITION | MF_POPUP;
constexpr UINT kBarStringFlags = MF_BYPOSITION;
// GetMenuState of a pop-up keeps its item count in the high byte; only the low byte are flags.
constexpr UINT kPopupStateFlags = 0xFF & ~static_cast<UINT>(MF_POPUP);

// Owner of an open registry key (closes it).
class CScopedRegKey {
public:
    CScopedRegKey() = default;
    CScopedRegKey(const CScopedRegKey&) = delete;
    CScopedRegKey& operator=(const CScopedRegKey&) = delete;
    ~CScopedRegKey() {
        if (m_key != nullptr) {
            RegCloseKey(m_key);
        }
    }
    BOOL Open(HKEY root, LPCWSTR subKey) {
        return RegOpenKeyExW(root, subKey, 0, KEY_READ, &m_key) == ERROR_SUCCESS;
    }
    HKEY Get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

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

// Class-wide state: the version is classified once, before the program's first window.
int CPictureMenu::s_osVersion = CPictureMenu::GetOsVersionCode();
int CPictureMenu::s_drawMode = 0;
BOOL CPictureMenu::s_selectDisabled = FALSE;
CImageList CPictureMenu::s_sharedImages;
CArray<int, int&> CPictureMenu::s_sharedImageIds;
CTypedPtrArray<CPtrArray, HMENU> CPictureMenu::s_allSubMenus;
BOOL CPictureMenu::s_themeTested = FALSE;
BOOL CPictureMenu::s_classicTheme = FALSE;

CPictureMenu::CPictureMenu() = default;

CPictureMenu::~CPictureMenu() { CPictureMenu::DestroyMenu(); }

int CPictureMenu::GetOsVersionCode() noexcept { return GetOsVersionCode({&::GetVersion, &::GetVersionExW}); }

int CPictureMenu::GetOsVersionCode(const VersionSource& source) noexcept {
    const DWORD version = source.getVersion();
    const bool ntFamily = (version & kNotNtFamily) == 0;
    if (!ntFamily && LOBYTE(LOWORD(version)) < 4) {
        return kOsOldWindows;
    }
    std::unique_ptr<OSVERSIONINFOW> info(new (std::nothrow) OSVERSIONINFOW{});
    if (!info) {
        return ntFamily ? kOsNt : kOsWindows9x;
    }
    info->dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
    // A failed call leaves the block zeroed, which classifies as the family's default below.
    source.getVersionEx(info.get());
    const DWORD major = info->dwMajorVersion;
    const DWORD minor = info->dwMinorVersion;
    if (!ntFamily) {
        if (major == 4 && minor == 10) {
            return kOsWindows98;
        }
        return major == 4 && minor == 90 ? kOsWindowsMe : kOsWindows9x;
    }
    if (major == 4) {
        return kOsNt4;
    }
    if (major == 5 && minor == 0) {
        return kOsWindows2000;
    }
    return major == 5 && minor == 1 ? kOsWindowsXp : kOsNt;
}

// Cached after the first call, also when the value cannot be read (a failure is not retried).
BOOL CPictureMenu::IsClassicTheme() {
    if (!s_themeTested) {
        s_themeTested = TRUE;
        s_classicTheme = ReadClassicTheme(HKEY_CURRENT_USER, kThemeKey);
    }
    return s_classicTheme;
}

// Only a string value of at most kThemeValueBytes counts; it is terminated here, because the
// registry keeps whatever bytes were stored, terminator or not.
BOOL CPictureMenu::ReadClassicTheme(HKEY root, LPCWSTR subKey) {
    CScopedRegKey key;
    if (!key.Open(root, subKey)) {
        return FALSE;
    }
    wchar_t value[kThemeValueBytes / sizeof(wchar_t) + 1] = {};
    DWORD type = REG_NONE;
    DWORD bytes = kThemeValueBytes;
    const LSTATUS status =
        RegQueryValueExW(key.Get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || bytes > kThemeValueBytes) {
        return FALSE;
    }
    value[bytes / sizeof(wchar_t)] = L'\0';
    return IsClassicThemePath(value);
}

BOOL CPictureMenu::IsClassicThemePath(const wchar_t* path) {
    if (path == nullptr) {
        return FALSE;
    }
    const size_t length = wcslen(path);
    const size_t nameLength = wcslen(kClassicThemeFile);
    return length >= nameLength && lstrcmpiW(path + length - nameLength, kClassicThemeFile) == 0;
}

BOOL CPictureMenu::IsThemedXp() { return s_osVersion == kOsWindowsXp && !IsClassicTheme(); }

BOOL CPictureMenu::UsesFlatLook() { return IsThemedXp() || s_drawMode == 1; }

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
    for (INT_PTR i = 0; i < s_sharedImageIds.GetSize(); ++i) {
        if (s_sharedImageIds[i] == static_cast<int>(id)) {
            record->m_sharedImageIndex = static_cast<int>(i);
            break;
        }
    }
    record->m_flags = flags;
    record->m_commandId = id;
    m_items.Add(record.get());
    CPictureMenuItem* item = record.release();

    const BOOL appended = ::AppendMenuW(m_hMenu, flags, id, reinterpret_cast<LPCWSTR>(item));
    if (!appended) {
        m_items.RemoveAt(m_items.GetSize() - 1);
        delete item;
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
// own, and the platform menu last.
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
    for (INT_PTR i = 0; i < m_items.GetSize(); ++i) {
        delete m_items[i];
    }
    m_items.RemoveAll();
    if (m_checkImages != nullptr && !m_checkImagesShared) {
        delete m_checkImages;
        m_checkImages = nullptr;
    }
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
    if (s_osVersion != kOsOldWindows) {
        CFont font;
        CreateMenuFont(font);
        CClientDC dc(CWnd::FromHandle(MeasuringWindow()));
        // Before Windows 95 the menu font is not selected: the text is measured in the context's font.
        const HGDIOBJ menuFont = s_osVersion >= kOsWindows9x ? font.m_hObject : nullptr;
        CScopedSelect selectFont(dc, menuFont);
        const CString text = record != nullptr ? record->GetText() : L"";
        GetTextExtentPoint32W(dc, text, text.GetLength(), &textSize);
    }
    const int width =
        flat ? textSize.cx + m_iconWidth + gap + kFlatTextMargin : textSize.cx + 2 * m_iconWidth + 1;
    item->itemWidth = static_cast<UINT>(std::max(width, 0));
    item->itemHeight = static_cast<UINT>(std::max(GetSystemMetrics(SM_CYMENU), m_iconHeight + gap));
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
        m_items.Add(made.get());
        return made.release();
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
    for (INT_PTR i = 0; i < m_items.GetSize(); ++i) {
        if (m_items[i]->m_syncMark == 0) {
            delete m_items[i];
        }
    }
    m_items.RemoveAll();
    for (CPictureMenuItem* record : synced) {
        m_items.Add(record);
    }
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

// ---- Pictures and look ------------------------------------------------------------------------

namespace {

// Pictures made from icons have no resource number; 0 still says "has its own picture".
constexpr int kIconPictureId = 0;
// Identifiers of the two check pictures (above 0: present).
constexpr int kCheckUnselectedId = 1;
constexpr int kCheckSelectedId = 2;
constexpr UINT kPictureListFlags = ILC_COLOR32 | ILC_MASK;

// An empty list of width x height pictures; nullptr when it cannot be made.
std::unique_ptr<CImageList> MakePictureList(int width, int height, int capacity) {
    auto list = std::make_unique<CImageList>();
    if (width <= 0 || height <= 0 || !list->Create(width, height, kPictureListFlags, capacity, 1)) {
        return nullptr;
    }
    return list;
}

// The record keeps its previous picture when the new one cannot be made.
BOOL GivePicture(CPictureMenuItem& record, HICON icon, int width, int height) {
    if (icon == nullptr) {
        record.m_imageList.reset();
        record.m_imageIndex = -1;
        record.m_imageId = -1;
        return TRUE;
    }
    std::unique_ptr<CImageList> list = MakePictureList(width, height, 1);
    if (!list || list->Add(icon) != 0) {
        return FALSE;
    }
    record.m_imageList = std::move(list);
    record.m_imageIndex = 0;
    record.m_imageId = kIconPictureId;
    return TRUE;
}

int FirstSharedIndex(UINT_PTR id) {
    for (INT_PTR i = 0; i < CPictureMenu::s_sharedImageIds.GetSize(); ++i) {
        if (CPictureMenu::s_sharedImageIds[i] == static_cast<int>(id)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// Appends all of `icons` to the shared list or none of them; the index of the first, or -1. Entry
// i of the ids always names picture i, so nothing is added while the two are out of step.
int AppendSharedIcons(UINT commandId, std::initializer_list<HICON> icons) {
    if (commandId == 0 || std::find(icons.begin(), icons.end(), nullptr) != icons.end()) {
        return -1;  // id 0 marks separators
    }
    CImageList& list = CPictureMenu::s_sharedImages;
    if (list.m_hImageList == nullptr &&
        !list.Create(CPictureMenu::kDefaultIconWidth, CPictureMenu::kDefaultIconHeight, kPictureListFlags,
                     static_cast<int>(icons.size()), static_cast<int>(icons.size()))) {
        return -1;
    }
    const int first = list.GetImageCount();
    if (first != CPictureMenu::s_sharedImageIds.GetSize()) {
        return -1;
    }
    for (HICON icon : icons) {
        if (list.Add(icon) < 0) {
            while (list.GetImageCount() > first) {
                ImageList_Remove(list, list.GetImageCount() - 1);
            }
            return -1;
        }
    }
    int id = static_cast<int>(commandId);
    for (std::size_t i = 0; i < icons.size(); ++i) {
        CPictureMenu::s_sharedImageIds.Add(id);
    }
    return first;
}

}  // namespace

// Several records may carry one command (in different levels, or twice in one): each gets a copy.
BOOL CPictureMenu::SetItemPicture(UINT commandId, HICON icon) {
    if (commandId == 0) {
        return FALSE;  // separators
    }
    BOOL found = FALSE;
    BOOL made = TRUE;
    for (CPictureMenu* level : Levels()) {
        for (INT_PTR i = 0; i < level->m_items.GetSize(); ++i) {
            CPictureMenuItem& record = *level->m_items[i];
            if (record.m_commandId == commandId && (record.m_flags & MF_SEPARATOR) == 0) {
                found = TRUE;
                made = GivePicture(record, icon, level->m_iconWidth, level->m_iconHeight) && made;
            }
        }
    }
    return found && made;
}

int CPictureMenu::AddSharedPicture(UINT commandId, HICON icon) {
    const int index = AppendSharedIcons(commandId, {icon});
    ResolveRegisteredSharedPictures();
    return index;
}

int CPictureMenu::AddSharedPictureTriple(UINT commandId, HICON hot, HICON rest, HICON shadow) {
    const int index = AppendSharedIcons(commandId, {hot, rest, shadow});
    ResolveRegisteredSharedPictures();
    return index;
}

void CPictureMenu::ClearSharedPictures() {
    s_sharedImages.DeleteImageList();
    s_sharedImageIds.RemoveAll();
    ResolveRegisteredSharedPictures();
}

void CPictureMenu::ResolveSharedPictures() {
    for (CPictureMenu* level : Levels()) {
        level->ResolveOwnSharedPictures();
    }
}

// The same rule as AppendItem: the first shared picture of the record's id.
void CPictureMenu::ResolveOwnSharedPictures() {
    for (INT_PTR i = 0; i < m_items.GetSize(); ++i) {
        m_items[i]->m_sharedImageIndex = FirstSharedIndex(m_items[i]->m_commandId);
    }
}

// Every sub-menu of every menu is registered; a top-level menu resolves through ResolveSharedPictures.
void CPictureMenu::ResolveRegisteredSharedPictures() {
    for (INT_PTR i = 0; i < s_allSubMenus.GetSize(); ++i) {
        if (auto* menu = DYNAMIC_DOWNCAST(CPictureMenu, CMenu::FromHandlePermanent(s_allSubMenus[i]))) {
            menu->ResolveOwnSharedPictures();
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

// Loaded sub-menus share their parent's check pictures: they are pointed at the new pictures
// before the old ones go, so none is left holding a deleted list.
BOOL CPictureMenu::SetCheckPictures(HICON unselected, HICON selected) {
    std::unique_ptr<CImageList> list;
    if (unselected != nullptr || selected != nullptr) {
        list = MakePictureList(m_iconWidth, m_iconHeight, 2);
        if (!list || list->Add(unselected != nullptr ? unselected : selected) != 0 ||
            list->Add(selected != nullptr ? selected : unselected) != 1) {
            return FALSE;
        }
    }
    CImageList* previous = m_checkImages;
    const BOOL previousShared = m_checkImagesShared;
    m_checkImages = list.release();
    m_checkImagesShared = FALSE;
    m_checkUnselectedId = unselected != nullptr ? kCheckUnselectedId : -1;
    m_checkSelectedId = selected != nullptr ? kCheckSelectedId : -1;
    ShareCheckPictures(previous);
    if (!previousShared) {
        delete previous;
    }
    return TRUE;
}

// Breadth first from this menu, each sub-menu once; only sub-menus still sharing `previous` take
// the new pictures, and only through them are deeper levels reached.
void CPictureMenu::ShareCheckPictures(const CImageList* previous) {
    std::vector<const CPictureMenu*> reached = {this};
    for (std::size_t next = 0; next < reached.size(); ++next) {
        const CPictureMenu* level = reached[next];
        for (INT_PTR i = 0; i < level->m_subMenus.GetSize(); ++i) {
            auto* sub = DYNAMIC_DOWNCAST(CPictureMenu, CMenu::FromHandlePermanent(level->m_subMenus[i]));
            if (sub == nullptr || !sub->m_checkImagesShared || sub->m_checkImages != previous ||
                std::find(reached.begin(), reached.end(), sub) != reached.end()) {
                continue;
            }
            sub->m_checkImages = m_checkImages;
            sub->m_checkUnselectedId = m_checkUnselectedId;
            sub->m_checkSelectedId = m_checkSelectedId;
            reached.push_back(sub);
        }
    }
}

BOOL CPictureMenu::SetDrawMode(int mode) {
    if (mode != DRAW_MODE_AUTO && mode != DRAW_MODE_FLAT) {
        return FALSE;
    }
    s_drawMode = mode;
    return TRUE;
}
