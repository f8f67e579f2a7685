// What the classic and the flat painters of CPictureMenu share: an item's state bits, where its
// picture comes from, its texts, and the drawing steps both looks take.
#pragma once

#include "controls/menu/PictureMenu.h"
#include "controls/menu/PictureMenuItem.h"
#include "framework/Dc.h"
#include "framework/ImageList.h"
#include "framework/String.h"

#include <optional>

// The state bits of a draw request that both looks read.
struct MenuItemStateBits {
    explicit MenuItemStateBits(UINT state)
        : selected((state & ODS_SELECTED) != 0),
          grayed((state & ODS_GRAYED) != 0),
          checked((state & ODS_CHECKED) != 0) {}
    bool selected;
    bool grayed;
    bool checked;
};

// The picture an item shows: its index in its list, its id (negative: none) and, in the flat
// look, the unselected and shadow pictures of a multi-picture item.
struct MenuPictureSource {
    int index = -1;
    int imageId = -1;
    const CImageList* list = nullptr;
    bool multi = false;
    int unselectedIndex = 1;
    int shadowIndex = 2;
};

// An item's texts, split at the tabs, and the rectangle they are drawn in.
struct MenuItemText {
    CString label;
    CString shortcut;
    RECT rect;
};

// The record's own picture; none for a null record.
MenuPictureSource OwnPictureSource(const CPictureMenuItem* record);
// Points `source` at picture `index` of the shared pictures.
void UseSharedPicture(MenuPictureSource& source, int index);
// Whether `list` holds an image list at all.
bool HasPictureList(const CImageList* list);
// Draws picture `index` of `list` transparently; an index outside the list draws nothing.
void DrawMenuPicture(CDC* dc, const CImageList* list, int index, int x, int y);
void DrawMenuPicture(CDC* dc, const CImageList* list, int index, POINT at);
void FillMenuArea(CDC* dc, int left, int top, int right, int bottom, COLORREF color);
void FillAndFrame(CDC* dc, const RECT& rect, COLORREF fill, COLORREF frame);
// Empty when the item has no text. A text with a tab keeps room for the picture width on the right.
std::optional<MenuItemText> PrepareMenuItemText(const CPictureMenuItem* record, RECT rect, int pictureWidth);
// Draws the picture grayed at `at` on `background`, by the menu's chosen method; nothing when
// the picture cannot be rendered.
void DrawDisabledMenuPicture(const CPictureMenu& menu, CDC* dc, const MenuPictureSource& picture, POINT at,
                             COLORREF background);
