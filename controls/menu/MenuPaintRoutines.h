// What the classic and the flat menu painters share: what they are told about the menu, an
// item's state bits, where its picture comes from, its texts, and the drawing steps both looks
// take. Nothing here knows the menu class: everything drawn comes in as arguments.
#pragma once

#include "controls/menu/PictureMenuItem.h"
#include "controls/menu/SharedMenuPictures.h"
#include "framework/Dc.h"
#include "framework/GdiObject.h"
#include "framework/ImageList.h"
#include "framework/String.h"

#include <optional>

// What a painter is told about the menu whose item it paints, gathered afresh for every request.
struct MenuPaintSettings {
    int osVersion = 0;
    bool themedXp = false;
    bool flat = false;
    bool selectDisabled = false;
    int iconWidth = 0;
    int iconHeight = 0;
    bool ditherDisabled = false;
    // Unselected picture at 0, selected at 1; an id above 0 says the picture is there.
    const CImageList* checkImages = nullptr;
    int checkSelectedId = -1;
    int checkUnselectedId = -1;
    const CSharedMenuPictures* sharedPictures = nullptr;
};

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

class CMenuPaintRoutines {
public:
    // What an item shows in its picture column.
    enum PictureKind { PICTURE_NONE, PICTURE_CHECK, PICTURE_DISABLED, PICTURE_HOT, PICTURE_PLAIN };
    static PictureKind ClassifyPicture(UINT state, int imageId, const MenuPaintSettings& settings);

    static COLORREF LightenColor(double fraction, COLORREF color);
    // The menu font of the system settings.
    static BOOL CreateMenuFont(CFont& font);

    // The record's own picture; none for a null record.
    static MenuPictureSource OwnPictureSource(const CPictureMenuItem* record);
    // Points `source` at picture `index` of the shared pictures.
    static void UseSharedPicture(MenuPictureSource& source, int index, const MenuPaintSettings& settings);
    // Whether `list` holds an image list at all.
    static bool HasPictureList(const CImageList* list);
    // Draws picture `index` of `list` transparently; an index outside the list draws nothing.
    static void DrawPicture(CDC* dc, const CImageList* list, int index, int x, int y);
    static void DrawPicture(CDC* dc, const CImageList* list, int index, POINT at);
    static BOOL RenderImageToBitmap(int index, CDC* target, const CImageList* list, int width, int height,
                                    CBitmap& bitmap);
    static void DrawDisabledEmbossed(int height, int width, CDC* target, int x, int y, CBitmap* source,
                                     COLORREF background);
    static void DrawDisabledDib(CDC* target, int height, int x, int y, int width, CBitmap* source,
                                COLORREF background);
    // Draws the picture grayed at `at` on `background`, by the menu's chosen method; nothing when
    // the picture cannot be rendered.
    static void DrawDisabledPicture(const MenuPaintSettings& settings, CDC* dc,
                                    const MenuPictureSource& picture, POINT at, COLORREF background);

    static void FillArea(CDC* dc, int left, int top, int right, int bottom, COLORREF color);
    static void FillAndFrame(CDC* dc, const RECT& rect, COLORREF fill, COLORREF frame);
    static void DrawCheckMark(COLORREF color, int x, int y, CDC* dc);
    static void DrawRadioDot(COLORREF color, int x, int y, CDC* dc);
    // A radio item: the platform item has a checked-state bitmap.
    static BOOL IsRadioItem(HMENU menu, UINT id);

    // Label (before the first tab) and shortcut text (after the last tab) of an item text.
    static void SplitItemText(const CString& text, CString& label, CString& shortcut);
    // Empty when the item has no text. A text with a tab keeps room for the picture width on the right.
    static std::optional<MenuItemText> PrepareText(const CPictureMenuItem* record, RECT rect,
                                                   int pictureWidth);
    static void DrawTwoPartText(CDC* dc, const RECT& rect, const CString& label, const CString& shortcut);
};
