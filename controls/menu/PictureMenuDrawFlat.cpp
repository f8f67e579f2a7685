#include "controls/menu/PictureMenu.h"

#include "controls/menu/OffscreenDC.h"
#include "controls/menu/PictureMenuPaint.h"
#include "controls/menu/TextLookGuard.h"
#include "framework/Dc.h"
#include "framework/GdiObject.h"
#include "framework/ScopedSelect.h"
#include "framework/String.h"

#include <algorithm>
#include <optional>

namespace {

// How much lighter than their base colours parts of an item are painted.
constexpr double kFlatColumnLightening = 0.25;      // flat picture column on a classic desktop
constexpr double kFlatGrayTextLightening = 0.4;     // flat grayed text of an unselected item
constexpr double kFlatSelectionLighteningXp = 0.7;  // flat selection on themed Windows XP
constexpr double kFlatSelectionLightening = 0.85;   // flat selection elsewhere, flat checked boxes

// Flat geometry: the tinted column is the picture width plus 7; the separator line and the text
// keep their distance from it; tick and radio marks sit in a box of their own size.
constexpr int kFlatColumnExtra = 7;
constexpr int kFlatSeparatorGap = 7;
constexpr int kFlatTextGap = 8;
constexpr int kFlatMarkBoxSize = 16;
// Where the marks sit inside their boxes.
constexpr POINT kFlatMarkOffset = {5, 4};

// Larger of 0 and half of `value`, rounded half up: centres a picture in a column or a row.
int HalfOf(int value) { return std::max(0, value / 2 + value % 2); }

// The flat look also knows items with several pictures: an own list whose picture 0 comes with
// an unselected (1) and a shadow (2) picture, or a normal/hot/shadow triple in the shared list.
MenuPictureSource FlatPictureSource(const CPictureMenuItem* record) {
    MenuPictureSource source = OwnPictureSource(record);
    if (record == nullptr) {
        return source;
    }
    if (source.index == 0 && HasPictureList(source.list) && source.list->GetImageCount() > 2) {
        source.multi = true;
    }
    const int shared = record->m_sharedImageIndex;
    if (source.imageId < 0 && source.index < 0 && shared >= 0) {
        UseSharedPicture(source, shared);
        if (CPictureMenu::HasImageTriple(shared)) {
            source.multi = true;
            source.unselectedIndex = shared + 1;
            source.shadowIndex = shared + 2;
        }
    }
    return source;
}

// Colours of one flat item, read afresh for every item.
struct FlatColors {
    FlatColors() {
        const bool themedXp = CPictureMenu::IsThemedXp() != FALSE;
        window = ::GetSysColor(COLOR_WINDOW);
        column = ::GetSysColor(COLOR_BTNFACE);
        if (!themedXp) {
            column = CPictureMenu::LightenColor(kFlatColumnLightening, column);
        }
        highlight = ::GetSysColor(COLOR_HIGHLIGHT);
        selection = CPictureMenu::LightenColor(
            themedXp ? kFlatSelectionLighteningXp : kFlatSelectionLightening, highlight);
    }
    COLORREF window;
    COLORREF column;
    COLORREF highlight;
    COLORREF selection;
};

// The flat picture box and the picture in it.
struct FlatColumn {
    const CPictureMenu& menu;
    CDC* dc;
    MenuItemStateBits bits;
    const FlatColors& colors;
    RECT itemRect;
    RECT box;
    POINT at;

    void Draw(CPictureMenu::PictureKind kind, const MenuPictureSource& picture) const {
        const POINT raised = {at.x - 1, at.y - 1};
        if (kind == CPictureMenu::PICTURE_CHECK && menu.m_checkImages != nullptr) {
            dc->FillSolidRect(&box, colors.column);
            DrawMenuPicture(dc, menu.m_checkImages, bits.selected ? 1 : 0, at);
        } else if (kind == CPictureMenu::PICTURE_DISABLED) {
            DrawDisabledMenuPicture(menu, dc, picture, at, bits.selected ? colors.selection : colors.column);
            if (bits.selected) {
                dc->Draw3dRect(&itemRect, colors.highlight, colors.highlight);
            }
        } else if (kind == CPictureMenu::PICTURE_HOT) {
            dc->FillSolidRect(&box, colors.selection);
            POINT hot = at;
            if (bits.checked) {
                dc->Draw3dRect(&box, colors.highlight, colors.highlight);
                hot = raised;
            }
            if (picture.multi && !bits.checked) {
                DrawMenuPicture(dc, picture.list, picture.shadowIndex, hot.x + 1, hot.y + 1);
                DrawMenuPicture(dc, picture.list, picture.index, hot.x - 1, hot.y - 1);
            } else {
                DrawMenuPicture(dc, picture.list, picture.index, hot);
            }
        } else if (bits.checked) {  // plain picture, or a check picture without check pictures
            FillAndFrame(dc, box, CPictureMenu::LightenColor(kFlatSelectionLightening, colors.highlight),
                         colors.highlight);
            DrawMenuPicture(dc, picture.list, picture.index, raised);
        } else {
            FillAndFrame(dc, box, colors.column, colors.column);
            DrawMenuPicture(dc, picture.list, picture.multi ? picture.unselectedIndex : picture.index, at);
        }
    }
};

// Grayed text is lighter still on an unselected item of a classic desktop.
void PaintFlatText(CDC* dc, const MenuItemText& text, MenuItemStateBits bits) {
    const CTextLookGuard textLook(dc);
    COLORREF textColor = ::GetSysColor(COLOR_MENUTEXT);
    if (bits.grayed) {
        textColor = ::GetSysColor(COLOR_GRAYTEXT);
        if (!bits.selected && !CPictureMenu::IsThemedXp()) {
            textColor = CPictureMenu::LightenColor(kFlatGrayTextLightening, textColor);
        }
    }
    dc->SetTextColor(textColor);
    CPictureMenu::DrawTwoPartText(dc, text.rect, text.label, text.shortcut);
}

}  // namespace

// The etched line starts a little right of the tinted picture column.
void CPictureMenu::DrawSeparatorFlat(CDC* dc, const RECT& rect, int columnWidth, COLORREF window,
                                     COLORREF column) {
    dc->FillSolidRect(&rect, window);
    RECT line = {rect.left + columnWidth + kFlatSeparatorGap, rect.top + (rect.bottom - rect.top) / 2,
                 rect.right, rect.bottom};
    dc->DrawEdge(&line, EDGE_ETCHED, BF_TOP);
    const RECT columnRect = {rect.left, rect.top, rect.left + columnWidth, rect.bottom};
    FillAndFrame(dc, columnRect, column, column);
}

void CPictureMenu::DrawSelectionFlat(CDC* dc, const RECT& rect, COLORREF fill, COLORREF highlight) {
    FillAndFrame(dc, rect, fill, highlight);
}

BOOL CPictureMenu::DrawCheckBoxFlat(COLORREF highlight, LPCRECT box, CDC* dc, BOOL radio) {
    FillAndFrame(dc, *box, LightenColor(kFlatSelectionLightening, highlight), highlight);
    const COLORREF mark = ::GetSysColor(COLOR_MENUTEXT);
    if (radio) {
        DrawRadioDot(mark, box->left + kFlatMarkOffset.x, box->top + kFlatMarkOffset.y, dc);
    } else {
        DrawCheckMark(mark, box->left + kFlatMarkOffset.x, box->top + kFlatMarkOffset.y, dc);
    }
    return TRUE;
}

// A disabled item is painted off-screen in the menu font and copied in one step; it never shows
// as selected unless s_selectDisabled asks for it (the request's state is changed to say so). A
// null record paints an empty item.
void CPictureMenu::PaintFlat(LPDRAWITEMSTRUCT item, const CPictureMenuItem* record) {
    CDC* target = CDC::FromHandle(item->hDC);
    std::optional<COffscreenDC> offscreen;
    CFont menuFont;
    std::optional<CScopedSelect> selectFont;
    if ((item->itemState & ODS_GRAYED) != 0 && !s_selectDisabled) {
        item->itemState &= ~static_cast<UINT>(ODS_SELECTED);
        offscreen.emplace(target, item->rcItem);
        if (CreateMenuFont(menuFont)) {
            selectFont.emplace(*offscreen, menuFont);
        }
    }
    CDC* dc = offscreen ? &*offscreen : target;

    const RECT rect = item->rcItem;
    const FlatColors colors;
    const int width = m_iconWidth;
    const int columnWidth = width + kFlatColumnExtra;
    if (record != nullptr && (record->m_flags & MF_SEPARATOR) != 0) {
        DrawSeparatorFlat(dc, rect, columnWidth, colors.window, colors.column);
        return;
    }
    const MenuItemStateBits bits(item->itemState);
    const MenuPictureSource picture = FlatPictureSource(record);
    const PictureKind kind = ClassifyPicture(item->itemState, picture.imageId);
    const RECT columnRect = {rect.left, rect.top, rect.left + columnWidth, rect.bottom};
    if (!bits.selected) {
        dc->FillSolidRect(&rect, colors.window);
        dc->FillSolidRect(&columnRect, colors.column);
        dc->Draw3dRect(&rect, colors.window, colors.window);
        dc->Draw3dRect(&columnRect, colors.column, colors.column);
    } else {
        DrawSelectionFlat(dc, rect, colors.selection, colors.highlight);
    }

    const int rowHeight = rect.bottom - rect.top;
    if (kind != PICTURE_NONE) {
        const FlatColumn column = {
            *this,
            dc,
            bits,
            colors,
            rect,
            {rect.left + 1, rect.top + 1, rect.left + columnWidth - 1, rect.bottom - 1},
            {rect.left + HalfOf(kFlatColumnExtra), rect.top + HalfOf(rowHeight - m_iconHeight)}};
        column.Draw(kind, picture);
    } else if (bits.checked) {
        const int left = rect.left + HalfOf(columnWidth - kFlatMarkBoxSize);
        const int top = rect.top + HalfOf(rowHeight - kFlatMarkBoxSize);
        const RECT box = {left, top, left + kFlatMarkBoxSize, top + kFlatMarkBoxSize};
        DrawCheckBoxFlat(colors.highlight, &box, dc,
                         IsRadioItem(reinterpret_cast<HMENU>(item->hwndItem), item->itemID));
    }

    const RECT textArea = {rect.left + columnWidth + kFlatTextGap, rect.top - 1, rect.right, rect.bottom - 1};
    if (const std::optional<MenuItemText> text = PrepareMenuItemText(record, textArea, width)) {
        PaintFlatText(dc, *text, bits);
    }
}
