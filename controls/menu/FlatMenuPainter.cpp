#include "controls/menu/FlatMenuPainter.h"

#include "controls/menu/OffscreenDC.h"
#include "controls/menu/TextLookGuard.h"
#include "framework/GdiObject.h"
#include "framework/ScopedSelect.h"

#include <algorithm>
#include <optional>

namespace {

using Routines = CMenuPaintRoutines;

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

// Colours of one flat item, read afresh for every item.
struct FlatColors {
    explicit FlatColors(bool themedXp) {
        window = ::GetSysColor(COLOR_WINDOW);
        column = ::GetSysColor(COLOR_BTNFACE);
        if (!themedXp) {
            column = Routines::LightenColor(kFlatColumnLightening, column);
        }
        highlight = ::GetSysColor(COLOR_HIGHLIGHT);
        selection = Routines::LightenColor(themedXp ? kFlatSelectionLighteningXp : kFlatSelectionLightening,
                                           highlight);
    }
    COLORREF window;
    COLORREF column;
    COLORREF highlight;
    COLORREF selection;
};

// The flat picture box and the picture in it.
struct FlatColumn {
    const MenuPaintSettings& settings;
    CDC* dc;
    MenuItemStateBits bits;
    const FlatColors& colors;
    RECT itemRect;
    RECT box;
    POINT at;

    void Draw(Routines::PictureKind kind, const MenuPictureSource& picture) const {
        const POINT raised = {at.x - 1, at.y - 1};
        if (kind == Routines::PICTURE_CHECK && settings.checkImages != nullptr) {
            dc->FillSolidRect(&box, colors.column);
            Routines::DrawPicture(dc, settings.checkImages, bits.selected ? 1 : 0, at);
        } else if (kind == Routines::PICTURE_DISABLED) {
            Routines::DrawDisabledPicture(settings, dc, picture, at,
                                          bits.selected ? colors.selection : colors.column);
            if (bits.selected) {
                dc->Draw3dRect(&itemRect, colors.highlight, colors.highlight);
            }
        } else if (kind == Routines::PICTURE_HOT) {
            dc->FillSolidRect(&box, colors.selection);
            POINT hot = at;
            if (bits.checked) {
                dc->Draw3dRect(&box, colors.highlight, colors.highlight);
                hot = raised;
            }
            if (picture.multi && !bits.checked) {
                Routines::DrawPicture(dc, picture.list, picture.shadowIndex, hot.x + 1, hot.y + 1);
                Routines::DrawPicture(dc, picture.list, picture.index, hot.x - 1, hot.y - 1);
            } else {
                Routines::DrawPicture(dc, picture.list, picture.index, hot);
            }
        } else if (bits.checked) {  // plain picture, or a check picture without check pictures
            Routines::FillAndFrame(dc, box,
                                   Routines::LightenColor(kFlatSelectionLightening, colors.highlight),
                                   colors.highlight);
            Routines::DrawPicture(dc, picture.list, picture.index, raised);
        } else {
            Routines::FillAndFrame(dc, box, colors.column, colors.column);
            Routines::DrawPicture(dc, picture.list, picture.multi ? picture.unselectedIndex : picture.index,
                                  at);
        }
    }
};

// Grayed text is lighter still on an unselected item of a classic desktop.
void PaintFlatText(CDC* dc, const MenuItemText& text, MenuItemStateBits bits, bool themedXp) {
    const CTextLookGuard textLook(dc);
    COLORREF textColor = ::GetSysColor(COLOR_MENUTEXT);
    if (bits.grayed) {
        textColor = ::GetSysColor(COLOR_GRAYTEXT);
        if (!bits.selected && !themedXp) {
            textColor = Routines::LightenColor(kFlatGrayTextLightening, textColor);
        }
    }
    dc->SetTextColor(textColor);
    Routines::DrawTwoPartText(dc, text.rect, text.label, text.shortcut);
}

}  // namespace

// The flat look also knows items with several pictures: an own list whose picture 0 comes with
// an unselected (1) and a shadow (2) picture, or a normal/hot/shadow triple in the shared list.
MenuPictureSource CFlatMenuPainter::PictureSource(const CPictureMenuItem* record) const {
    MenuPictureSource source = Routines::OwnPictureSource(record);
    if (record == nullptr) {
        return source;
    }
    if (source.index == 0 && Routines::HasPictureList(source.list) && source.list->GetImageCount() > 2) {
        source.multi = true;
    }
    const int shared = record->m_sharedImageIndex;
    if (source.imageId < 0 && source.index < 0 && shared >= 0) {
        Routines::UseSharedPicture(source, shared, m_settings);
        if (m_settings.sharedPictures != nullptr && m_settings.sharedPictures->HasTriple(shared)) {
            source.multi = true;
            source.unselectedIndex = shared + 1;
            source.shadowIndex = shared + 2;
        }
    }
    return source;
}

// The etched line starts a little right of the tinted picture column.
void CFlatMenuPainter::DrawSeparator(CDC* dc, const RECT& rect, int columnWidth, COLORREF window,
                                     COLORREF column) {
    dc->FillSolidRect(&rect, window);
    RECT line = {rect.left + columnWidth + kFlatSeparatorGap, rect.top + (rect.bottom - rect.top) / 2,
                 rect.right, rect.bottom};
    dc->DrawEdge(&line, EDGE_ETCHED, BF_TOP);
    const RECT columnRect = {rect.left, rect.top, rect.left + columnWidth, rect.bottom};
    Routines::FillAndFrame(dc, columnRect, column, column);
}

void CFlatMenuPainter::DrawSelection(CDC* dc, const RECT& rect, COLORREF fill, COLORREF highlight) {
    Routines::FillAndFrame(dc, rect, fill, highlight);
}

BOOL CFlatMenuPainter::DrawCheckBox(COLORREF highlight, LPCRECT box, CDC* dc, BOOL radio) {
    Routines::FillAndFrame(dc, *box, Routines::LightenColor(kFlatSelectionLightening, highlight), highlight);
    const COLORREF mark = ::GetSysColor(COLOR_MENUTEXT);
    if (radio) {
        Routines::DrawRadioDot(mark, box->left + kFlatMarkOffset.x, box->top + kFlatMarkOffset.y, dc);
    } else {
        Routines::DrawCheckMark(mark, box->left + kFlatMarkOffset.x, box->top + kFlatMarkOffset.y, dc);
    }
    return TRUE;
}

// A disabled item is painted off-screen in the menu font and copied in one step; it never shows
// as selected unless the settings ask for it (the request's state is changed to say so).
void CFlatMenuPainter::Paint(DRAWITEMSTRUCT& item, const CPictureMenuItem* record) const {
    CDC* target = CDC::FromHandle(item.hDC);
    std::optional<COffscreenDC> offscreen;
    CFont menuFont;
    std::optional<CScopedSelect> selectFont;
    if ((item.itemState & ODS_GRAYED) != 0 && !m_settings.selectDisabled) {
        item.itemState &= ~static_cast<UINT>(ODS_SELECTED);
        offscreen.emplace(target, item.rcItem);
        if (Routines::CreateMenuFont(menuFont)) {
            selectFont.emplace(*offscreen, menuFont);
        }
    }
    CDC* dc = offscreen ? &*offscreen : target;

    const RECT rect = item.rcItem;
    const FlatColors colors(m_settings.themedXp);
    const int width = m_settings.iconWidth;
    const int columnWidth = width + kFlatColumnExtra;
    if (record != nullptr && (record->m_flags & MF_SEPARATOR) != 0) {
        DrawSeparator(dc, rect, columnWidth, colors.window, colors.column);
        return;
    }
    const MenuItemStateBits bits(item.itemState);
    const MenuPictureSource picture = PictureSource(record);
    const Routines::PictureKind kind = Routines::ClassifyPicture(item.itemState, picture.imageId, m_settings);
    const RECT columnRect = {rect.left, rect.top, rect.left + columnWidth, rect.bottom};
    if (!bits.selected) {
        dc->FillSolidRect(&rect, colors.window);
        dc->FillSolidRect(&columnRect, colors.column);
        dc->Draw3dRect(&rect, colors.window, colors.window);
        dc->Draw3dRect(&columnRect, colors.column, colors.column);
    } else {
        DrawSelection(dc, rect, colors.selection, colors.highlight);
    }

    const int rowHeight = rect.bottom - rect.top;
    if (kind != Routines::PICTURE_NONE) {
        const RECT box = {rect.left + 1, rect.top + 1, rect.left + columnWidth - 1, rect.bottom - 1};
        const POINT at = {rect.left + HalfOf(kFlatColumnExtra),
                          rect.top + HalfOf(rowHeight - m_settings.iconHeight)};
        const FlatColumn column = {m_settings, dc, bits, colors, rect, box, at};
        column.Draw(kind, picture);
    } else if (bits.checked) {
        const int left = rect.left + HalfOf(columnWidth - kFlatMarkBoxSize);
        const int top = rect.top + HalfOf(rowHeight - kFlatMarkBoxSize);
        const RECT box = {left, top, left + kFlatMarkBoxSize, top + kFlatMarkBoxSize};
        DrawCheckBox(colors.highlight, &box, dc,
                     Routines::IsRadioItem(reinterpret_cast<HMENU>(item.hwndItem), item.itemID));
    }

    const RECT textArea = {rect.left + columnWidth + kFlatTextGap, rect.top - 1, rect.right, rect.bottom - 1};
    if (const std::optional<MenuItemText> text = Routines::PrepareText(record, textArea, width)) {
        PaintFlatText(dc, *text, bits, m_settings.themedXp);
    }
}
