#include "controls/menu/PictureMenu.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace {

// Pictures made from icons have no resource number; 0 still says "has its own picture".
constexpr int kIconPictureId = 0;
// Identifiers of the two check pictures (above 0: present).
constexpr int kCheckUnselectedId = 1;
constexpr int kCheckSelectedId = 2;

// An empty list of width x height pictures; nullptr when it cannot be made.
std::unique_ptr<CImageList> MakePictureList(int width, int height, int capacity) {
    auto list = std::make_unique<CImageList>();
    if (width <= 0 || height <= 0 ||
        !list->Create(width, height, CSharedMenuPictures::kListFlags, capacity, 1)) {
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
    const int index = Shared().Pictures().Append(commandId, {icon}, kDefaultIconWidth, kDefaultIconHeight);
    ResolveRegisteredSharedPictures();
    return index;
}

int CPictureMenu::AddSharedPictureTriple(UINT commandId, HICON hot, HICON rest, HICON shadow) {
    const int index =
        Shared().Pictures().Append(commandId, {hot, rest, shadow}, kDefaultIconWidth, kDefaultIconHeight);
    ResolveRegisteredSharedPictures();
    return index;
}

void CPictureMenu::ClearSharedPictures() {
    Shared().Pictures().Clear();
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
        m_items[i]->m_sharedImageIndex = Shared().Pictures().IndexOf(m_items[i]->m_commandId);
    }
}

// Every sub-menu of every menu is registered; a top-level menu resolves through ResolveSharedPictures.
void CPictureMenu::ResolveRegisteredSharedPictures() {
    const CPictureMenuShared& shared = Shared();
    for (INT_PTR i = 0; i < shared.RegisteredSubMenuCount(); ++i) {
        if (auto* menu =
                DYNAMIC_DOWNCAST(CPictureMenu, CMenu::FromHandlePermanent(shared.RegisteredSubMenu(i)))) {
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
