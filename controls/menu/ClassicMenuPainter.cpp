#include "controls/menu/ClassicMenuPainter.h"

#include "controls/menu/OsVersionCode.h"
#include "controls/menu/TextLookGuard.h"
#include "framework/GdiObject.h"
#include "framework/ScopedSelect.h"

#include <algorithm>
#include <optional>

namespace {

using Routines = CMenuPaintRoutines;

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

// Frames and fills of the classic picture column, then the picture itself.
struct ClassicColumn {
    const MenuPaintSettings& settings;
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

    void Draw(Routines::PictureKind kind, const MenuPictureSource& picture) const {
        dc->Draw3dRect(&inner, background, background);
        const bool frames3d = HasThreeDFrames(settings.osVersion);
        if (kind == Routines::PICTURE_CHECK && settings.checkImages != nullptr) {
            dc->FillSolidRect(&inner, background);
            FrameOuter(background, background);
            Routines::DrawPicture(dc, settings.checkImages, bits.selected ? 1 : 0, at);
        } else if (kind == Routines::PICTURE_HOT) {
            dc->FillSolidRect(&inner, background);
            if (frames3d && bits.checked) {
                FrameSunken();
            } else if (frames3d) {
                FrameRaised();
            }
            Routines::DrawPicture(dc, picture.list, picture.index, at);
        } else if (kind == Routines::PICTURE_DISABLED) {
            FrameOuter(background, background);
            Routines::DrawDisabledPicture(settings, dc, picture, at, background);
        } else if (bits.checked) {  // plain picture, or a check picture without check pictures
            dc->FillSolidRect(&inner, Routines::LightenColor(kCheckedBoxLightening, background));
            if (frames3d) {
                FrameSunken();
            }
            Routines::DrawPicture(dc, picture.list, picture.index, at);
        } else {
            dc->FillSolidRect(&inner, background);
            FrameOuter(background, background);
            Routines::DrawPicture(dc, picture.list, picture.index, at);
        }
    }
};

// A grayed item's text is embossed unless selected, where it takes the background colour and so
// stands out of the selection bar.
void PaintClassicText(CDC* dc, const MenuItemText& text, MenuItemStateBits bits, COLORREF background) {
    const CTextLookGuard textLook(dc);
    if (bits.grayed && !bits.selected) {
        CClassicMenuPainter::DrawGrayedText(dc, text.rect, text.label, text.shortcut);
        return;
    }
    if (bits.grayed) {
        dc->SetTextColor(background);
    } else {
        dc->SetTextColor(::GetSysColor(bits.selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    }
    Routines::DrawTwoPartText(dc, text.rect, text.label, text.shortcut);
}

}  // namespace

COLORREF CClassicMenuPainter::Background() const {
    return ::GetSysColor(m_settings.themedXp ? COLOR_BTNFACE : COLOR_MENU);
}

// The own picture, else the command's shared one.
MenuPictureSource CClassicMenuPainter::PictureSource(const CPictureMenuItem* record) const {
    MenuPictureSource source = Routines::OwnPictureSource(record);
    if (record != nullptr && source.imageId < 0 && record->m_sharedImageIndex >= 0) {
        Routines::UseSharedPicture(source, record->m_sharedImageIndex, m_settings);
    }
    return source;
}

void CClassicMenuPainter::DrawGrayedText(CDC* dc, const RECT& rect, const CString& label,
                                         const CString& shortcut) {
    RECT raised = rect;
    ::OffsetRect(&raised, 1, 1);
    dc->SetTextColor(::GetSysColor(COLOR_BTNHIGHLIGHT));
    Routines::DrawTwoPartText(dc, raised, label, shortcut);
    dc->SetTextColor(::GetSysColor(COLOR_GRAYTEXT));
    Routines::DrawTwoPartText(dc, rect, label, shortcut);
}

// An etched line across the middle of the item.
void CClassicMenuPainter::DrawSeparator(CDC* dc, const RECT& rect, COLORREF background) {
    dc->FillSolidRect(&rect, background);
    RECT line = rect;
    line.top = rect.top + (rect.bottom - rect.top) / 2;
    dc->DrawEdge(&line, EDGE_ETCHED, BF_TOP);
}

void CClassicMenuPainter::DrawSelection(CDC* dc, const RECT& rect, int left, COLORREF highlight) {
    Routines::FillArea(dc, left, rect.top, rect.right, rect.bottom, highlight);
}

// The box is lighter on an unselected item; systems with 3-D frames give it a sunken edge.
void CClassicMenuPainter::DrawCheckBox(LPCRECT box, CDC* dc, BOOL selected, BOOL radio) const {
    COLORREF fill = Background();
    if (!selected) {
        fill = Routines::LightenColor(kCheckedBoxLightening, fill);
    }
    dc->FillSolidRect(box, fill);
    if (HasThreeDFrames(m_settings.osVersion)) {
        RECT edge = *box;
        dc->DrawEdge(&edge, BDR_SUNKENOUTER, BF_RECT);
    }
    const COLORREF mark = ::GetSysColor(COLOR_MENUTEXT);
    if (radio) {
        Routines::DrawRadioDot(mark, box->left + kClassicRadioOffset.x, box->top + kClassicRadioOffset.y, dc);
    } else {
        Routines::DrawCheckMark(mark, box->left + kClassicTickOffset.x, box->top + kClassicTickOffset.y, dc);
    }
}

void CClassicMenuPainter::Paint(const DRAWITEMSTRUCT& item, const CPictureMenuItem* record) const {
    CDC* dc = CDC::FromHandle(item.hDC);
    const RECT rect = item.rcItem;
    const COLORREF background = Background();
    if (record != nullptr && (record->m_flags & MF_SEPARATOR) != 0) {
        DrawSeparator(dc, rect, background);
        return;
    }
    const MenuItemStateBits bits(item.itemState);
    const MenuPictureSource picture = PictureSource(record);
    const Routines::PictureKind kind = Routines::ClassifyPicture(item.itemState, picture.imageId, m_settings);
    const int width = m_settings.iconWidth;
    const int height = m_settings.iconHeight;
    {
        // The fills below do not draw with the pen, so a pen that cannot be made changes nothing.
        CPen backgroundPen;
        backgroundPen.CreatePen(PS_SOLID, 0, background);
        CScopedSelect selectPen(*dc, backgroundPen);
        if (!bits.selected) {
            Routines::FillAndFrame(dc, rect, background, background);
        } else {
            const bool keepColumn = kind != Routines::PICTURE_NONE || bits.checked;
            DrawSelection(dc, rect, keepColumn ? rect.left + width + kClassicSelectionGap : rect.left,
                          ::GetSysColor(COLOR_HIGHLIGHT));
        }
    }

    const int offset = std::max<int>(0, (rect.bottom - rect.top - height - 2 * kPictureFrame) / 2);
    const int top = rect.top + offset;
    if (kind != Routines::PICTURE_NONE) {
        const RECT inner = {rect.left + 1, top + 1, rect.left + width + kPictureFrame + 1,
                            top + height + kPictureFrame + 1};
        const RECT outer = {rect.left, top, rect.left + width + 2 * kPictureFrame,
                            top + height + 2 * kPictureFrame};
        const POINT at = {rect.left + kPictureFrame, top + kPictureFrame};
        const ClassicColumn column = {m_settings, dc, bits, background, inner, outer, at};
        column.Draw(kind, picture);
    } else if (bits.checked) {
        const RECT box = {rect.left + 1, top + 2, rect.left + width + 1, top + height + 2};
        DrawCheckBox(&box, dc, bits.selected,
                     Routines::IsRadioItem(reinterpret_cast<HMENU>(item.hwndItem), item.itemID));
    }

    const RECT textArea = {rect.left + width + kClassicTextGap, rect.top - 1, rect.right, rect.bottom - 1};
    if (const std::optional<MenuItemText> text = Routines::PrepareText(record, textArea, width)) {
        PaintClassicText(dc, *text, bits, background);
    }
}
