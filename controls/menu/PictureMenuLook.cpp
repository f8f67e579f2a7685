#include "controls/menu/PictureMenu.h"

#include "controls/menu/OsVersionCode.h"
#include "framework/RegKey.h"

#include <algorithm>
#include <cwchar>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

namespace {

constexpr DWORD kNotNtFamily = 0x80000000;

constexpr wchar_t kThemeKey[] = L"Software\\Microsoft\\Plus!\\Themes\\Current";
constexpr wchar_t kClassicThemeFile[] = L"Windows Classic.theme";
// Room the theme value has always been read into, in bytes.
constexpr DWORD kThemeValueBytes = 260;

}  // namespace

// Class-wide state: the version is classified once, before the program's first window.
int CPictureMenu::s_osVersion = CPictureMenu::GetOsVersionCode();
int CPictureMenu::s_drawMode = DRAW_MODE_AUTO;
BOOL CPictureMenu::s_selectDisabled = FALSE;
CImageList CPictureMenu::s_sharedImages;
CArray<int, int&> CPictureMenu::s_sharedImageIds;
CTypedPtrArray<CPtrArray, HMENU> CPictureMenu::s_allSubMenus;
std::optional<BOOL> CPictureMenu::s_classicTheme;

int CPictureMenu::GetOsVersionCode() noexcept { return GetOsVersionCode({&::GetVersion, &::GetVersionExW}); }

int CPictureMenu::GetOsVersionCode(const VersionSource& source) noexcept {
    const DWORD version = source.getVersion();
    const bool ntFamily = (version & kNotNtFamily) == 0;
    if (!ntFamily && LOBYTE(LOWORD(version)) < 4) {
        return kOsOldWindows;
    }
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    // A failed call leaves the block zeroed, which classifies as the family's default below.
    source.getVersionEx(&info);
    const DWORD major = info.dwMajorVersion;
    const DWORD minor = info.dwMinorVersion;
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

int CPictureMenu::OsVersion() { return s_osVersion; }

void CPictureMenu::UseOsVersion(int code) { s_osVersion = code; }

// Cached after the first call, also when the value cannot be read (a failure is not retried).
BOOL CPictureMenu::IsClassicTheme() {
    if (!s_classicTheme) {
        s_classicTheme = ReadClassicTheme(HKEY_CURRENT_USER, kThemeKey);
    }
    return *s_classicTheme;
}

std::optional<BOOL> CPictureMenu::CachedClassicTheme() { return s_classicTheme; }

void CPictureMenu::CacheClassicTheme(std::optional<BOOL> classic) { s_classicTheme = classic; }

// Only a string value of at most kThemeValueBytes counts; it is terminated here, because the
// registry keeps whatever bytes were stored, terminator or not.
BOOL CPictureMenu::ReadClassicTheme(HKEY root, LPCWSTR subKey) {
    CRegKey key;
    if (!key.Open(root, subKey)) {
        return FALSE;
    }
    wchar_t value[kThemeValueBytes / sizeof(wchar_t) + 1] = {};
    DWORD type = REG_NONE;
    DWORD bytes = kThemeValueBytes;
    const LSTATUS status =
        RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes);
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

BOOL CPictureMenu::IsThemedXp() { return IsWindowsXp(s_osVersion) && !IsClassicTheme(); }

BOOL CPictureMenu::UsesFlatLook() { return IsThemedXp() || s_drawMode == DRAW_MODE_FLAT; }

BOOL CPictureMenu::SetDrawMode(int mode) {
    if (mode != DRAW_MODE_AUTO && mode != DRAW_MODE_FLAT) {
        return FALSE;
    }
    s_drawMode = mode;
    return TRUE;
}

int CPictureMenu::GetDrawMode() { return s_drawMode; }

void CPictureMenu::SetSelectDisabled(BOOL select) { s_selectDisabled = select; }

BOOL CPictureMenu::SelectsDisabled() { return s_selectDisabled; }

// ---- Pictures ---------------------------------------------------------------------------------

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

// Appends all of `icons` to the shared list or none of them; the index of the first, or -1. Entry
// i of the ids always names picture i, so nothing is added while the two are out of step.
int CPictureMenu::AppendSharedIcons(UINT commandId, std::initializer_list<HICON> icons) {
    if (commandId == 0 || std::find(icons.begin(), icons.end(), nullptr) != icons.end()) {
        return -1;  // id 0 marks separators
    }
    if (s_sharedImages.m_hImageList == nullptr &&
        !s_sharedImages.Create(kDefaultIconWidth, kDefaultIconHeight, kPictureListFlags,
                               static_cast<int>(icons.size()), static_cast<int>(icons.size()))) {
        return -1;
    }
    const int first = s_sharedImages.GetImageCount();
    if (first != s_sharedImageIds.GetSize()) {
        return -1;
    }
    for (HICON icon : icons) {
        if (s_sharedImages.Add(icon) < 0) {
            while (s_sharedImages.GetImageCount() > first) {
                ImageList_Remove(s_sharedImages, s_sharedImages.GetImageCount() - 1);
            }
            return -1;
        }
    }
    int id = static_cast<int>(commandId);
    for (std::size_t i = 0; i < icons.size(); ++i) {
        s_sharedImageIds.Add(id);
    }
    return first;
}

void CPictureMenu::AddSharedImageId(int commandId) { s_sharedImageIds.Add(commandId); }

void CPictureMenu::ClearSharedPictures() {
    s_sharedImages.DeleteImageList();
    s_sharedImageIds.RemoveAll();
    ResolveRegisteredSharedPictures();
}

const CImageList& CPictureMenu::SharedImages() { return s_sharedImages; }

INT_PTR CPictureMenu::SharedImageIdCount() { return s_sharedImageIds.GetSize(); }

int CPictureMenu::SharedIndexOf(UINT_PTR commandId) {
    for (INT_PTR i = 0; i < s_sharedImageIds.GetSize(); ++i) {
        if (s_sharedImageIds[i] == static_cast<int>(commandId)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void CPictureMenu::ResolveSharedPictures() {
    for (CPictureMenu* level : Levels()) {
        level->ResolveOwnSharedPictures();
    }
}

// The same rule as AppendItem: the first shared picture of the record's id.
void CPictureMenu::ResolveOwnSharedPictures() {
    for (INT_PTR i = 0; i < m_items.GetSize(); ++i) {
        m_items[i]->m_sharedImageIndex = SharedIndexOf(m_items[i]->m_commandId);
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
    const CImageList* previous = m_checkImages;
    // This menu's previous pictures (none while it shared a parent's) go when this call returns.
    const std::unique_ptr<CImageList> previousOwn = std::exchange(m_ownCheckImages, std::move(list));
    m_checkImages = m_ownCheckImages.get();
    m_checkImagesShared = FALSE;
    m_checkUnselectedId = unselected != nullptr ? kCheckUnselectedId : -1;
    m_checkSelectedId = selected != nullptr ? kCheckSelectedId : -1;
    ShareCheckPictures(previous);
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
