#include "controls/menu/PictureMenu.h"

#include "controls/menu/OsVersionCode.h"
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
constexpr double kCheckedBoxLightening = 0.6;  // classic checked picture box and tick box

// Classic geometry: the picture sits in a 2-pixel frame; the selection bar and the text start
// right of the picture column.
constexpr int kPictureFrame = 2;
constexpr int kClassicSelectionGap = 5;
constexpr int kClassicTextGap = 9;
// Where the marks sit inside their boxes.
constexpr POINT kClassicTickOffset = {4, 4};
constexpr POINT kClassicRadioOffset = {5, 4};

COLORREF ClassicBackground() {
    return ::GetSysColor(CPictureMenu::IsThemedXp() ? COLOR_BTNFACE : COLOR_MENU);
}

// The own picture, else the command's shared one.
MenuPictureSource ClassicPictureSource(const CPictureMenuItem* record) {
    MenuPictureSource source = OwnPictureSource(record);
    if (record != nullptr && source.imageId < 0 && record->m_sharedImageIndex >= 0) {
        UseSharedPicture(source, record->m_sharedImageIndex);
    }
    return source;
}

// Frames and fills of the classic picture column, then the picture itself.
struct ClassicColumn {
    const CPictureMenu& menu;
    CDC* dc;
    MenuItemStateBits bits;
    COLORREF background;
    RECT inner;
    RECT outer;
    POINT at;

    void FrameOuter(COLORREF topLeft, COLORREF bottomRight) const {
        dc->Draw3dRect(&outer, topLeft, bottomRight);
    }
    void FrameRaised() const {
        FrameOuter(::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNSHADOW));
    }
    void FrameSunken() const {
        FrameOuter(::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNHIGHLIGHT));
    }

    void Draw(CPictureMenu::PictureKind kind, const MenuPictureSource& picture) const {
        dc->Draw3dRect(&inner, background, background);
        const bool frames3d = HasThreeDFrames(CPictureMenu::OsVersion());
        if (kind == CPictureMenu::PICTURE_CHECK && menu.m_checkImages != nullptr) {
            dc->FillSolidRect(&inner, background);
            FrameOuter(background, background);
            DrawMenuPicture(dc, menu.m_checkImages, bits.selected ? 1 : 0, at);
        } else if (kind == CPictureMenu::PICTURE_HOT) {
            dc->FillSolidRect(&inner, background);
            if (frames3d && bits.checked) {
                FrameSunken();
            } else if (frames3d) {
                FrameRaised();
            }
            DrawMenuPicture(dc, picture.list, picture.index, at);
        } else if (kind == CPictureMenu::PICTURE_DISABLED) {
            FrameOuter(background, background);
            DrawDisabledMenuPicture(menu, dc, picture, at, background);
        } else if (bits.checked) {  // plain picture, or a check picture without check pictures
            dc->FillSolidRect(&inner, CPictureMenu::LightenColor(kCheckedBoxLightening, background));
            if (frames3d) {
                FrameSunken();
            }
            DrawMenuPicture(dc, picture.list, picture.index, at);
        } else {
            dc->FillSolidRect(&inner, background);
            FrameOuter(background, background);
            DrawMenuPicture(dc, picture.list, picture.index, at);
        }
    }
};

// A grayed item's text is embossed unless selected, where it takes the background colour and so
// stands out of the selection bar.
void PaintClassicText(CDC* dc, const MenuItemText& text, MenuItemStateBits bits, COLORREF background) {
    const CTextLookGuard textLook(dc);
    if (bits.grayed && !bits.selected) {
        CPictureMenu::DrawGrayedTextClassic(dc, text.rect, text.label, text.shortcut);
        return;
    }
    if (bits.grayed) {
        dc->SetTextColor(background);
    } else {
        dc->SetTextColor(::GetSysColor(bits.selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    }
    CPictureMenu::DrawTwoPartText(dc, text.rect, text.label, text.shortcut);
}

}  // namespace

void CPictureMenu::DrawGrayedTextClassic(CDC* dc, const RECT& rect, const CString& label,
                                         const CString& shortcut) {
    RECT raised = rect;
    ::OffsetRect(&raised, 1, 1);
    dc->SetTextColor(::GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawTwoPartText(dc, raised, label, shortcut);
    dc->SetTextColor(::GetSysColor(COLOR_GRAYTEXT));
    DrawTwoPartText(dc, rect, label, shortcut);
}

// An etched line across the middle of the item.
void CPictureMenu::DrawSeparatorClassic(CDC* dc, const RECT& rect, COLORREF background) {
    dc->FillSolidRect(&rect, background);
    RECT line = rect;
    line.top = rect.top + (rect.bottom - rect.top) / 2;
    dc->DrawEdge(&line, EDGE_ETCHED, BF_TOP);
}

void CPictureMenu::DrawSelectionClassic(CDC* dc, const RECT& rect, int left, COLORREF highlight) {
    FillMenuArea(dc, left, rect.top, rect.right, rect.bottom, highlight);
}

// The box is lighter on an unselected item; systems with 3-D frames give it a sunken edge.
void CPictureMenu::DrawCheckBoxClassic(LPCRECT box, CDC* dc, BOOL selected, BOOL radio) {
    COLORREF fill = ClassicBackground();
    if (!selected) {
        fill = LightenColor(kCheckedBoxLightening, fill);
    }
    dc->FillSolidRect(box, fill);
    if (HasThreeDFrames(s_osVersion)) {
        RECT edge = *box;
        dc->DrawEdge(&edge, BDR_SUNKENOUTER, BF_RECT);
    }
    const COLORREF mark = ::GetSysColor(COLOR_MENUTEXT);
    if (radio) {
        DrawRadioDot(mark, box->left + kClassicRadioOffset.x, box->top + kClassicRadioOffset.y, dc);
    } else {
        DrawCheckMark(mark, box->left + kClassicTickOffset.x, box->top + kClassicTickOffset.y, dc);
    }
}

// A null record paints an empty item.
void CPictureMenu::PaintClassic(LPDRAWITEMSTRUCT item, const CPictureMenuItem* record) {
    CDC* dc = CDC::FromHandle(item->hDC);
    const RECT rect = item->rcItem;
    const COLORREF background = ClassicBackground();
    if (record != nullptr && (record->m_flags & MF_SEPARATOR) != 0) {
        DrawSeparatorClassic(dc, rect, background);
        return;
    }
    const MenuItemStateBits bits(item->itemState);
    const MenuPictureSource picture = ClassicPictureSource(record);
    const PictureKind kind = ClassifyPicture(item->itemState, picture.imageId);
    const int width = m_iconWidth;
    const int height = m_iconHeight;
    {
        // The fills below do not draw with the pen, so a pen that cannot be made changes nothing.
        CPen backgroundPen;
        backgroundPen.CreatePen(PS_SOLID, 0, background);
        CScopedSelect selectPen(*dc, backgroundPen);
        if (!bits.selected) {
            FillAndFrame(dc, rect, background, background);
        } else {
            const bool keepColumn = kind != PICTURE_NONE || bits.checked;
            DrawSelectionClassic(dc, rect, keepColumn ? rect.left + width + kClassicSelectionGap : rect.left,
                                 ::GetSysColor(COLOR_HIGHLIGHT));
        }
    }

    const int offset = std::max<int>(0, (rect.bottom - rect.top - height - 2 * kPictureFrame) / 2);
    const int top = rect.top + offset;
    if (kind != PICTURE_NONE) {
        const ClassicColumn column = {
            *this,
            dc,
            bits,
            background,
            {rect.left + 1, top + 1, rect.left + width + kPictureFrame + 1, top + height + kPictureFrame + 1},
            {rect.left, top, rect.left + width + 2 * kPictureFrame, top + height + 2 * kPictureFrame},
            {rect.left + kPictureFrame, top + kPictureFrame}};
        column.Draw(kind, picture);
    } else if (bits.checked) {
        const RECT box = {rect.left + 1, top + 2, rect.left + width + 1, top + height + 2};
        DrawCheckBoxClassic(&box, dc, bits.selected,
                            IsRadioItem(reinterpret_cast<HMENU>(item->hwndItem), item->itemID));
    }

    const RECT textArea = {rect.left + width + kClassicTextGap, rect.top - 1, rect.right, rect.bottom - 1};
    if (const std::optional<MenuItemText> text = PrepareMenuItemText(record, textArea, width)) {
        PaintClassicText(dc, *text, bits, background);
    }
}
