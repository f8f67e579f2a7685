// The button's looks: face, frame, image and caption, drawn for WM_DRAWITEM, and the masks that
// let a bitmap's transparent colour show the face.
#include "controls/button/HoverButton.h"

#include "framework/ScopedSelect.h"

#include <utility>

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr int kFocusRectInset = 3;
// Raster operation "destination AND NOT source": blackens where the source is white.
constexpr DWORD kRopBlackenWhereSourceSet = 0x00220326;

}  // namespace

// Face, frame or edges, image, caption and focus rectangle, straight into the request's DC.
void CHoverButton::DrawItem(LPDRAWITEMSTRUCT item) {
    if (item == nullptr || item->hDC == nullptr) {
        return;
    }
    CDC* dc = CDC::FromHandle(item->hDC);
    const BOOL selected = (item->itemState & ODS_SELECTED) != 0;
    if (m_checkBoxMode) {
        m_pressed = selected || m_checkState != 0;
    } else {
        m_pressed = selected || (m_dropMenu.m_hMenu != nullptr && m_menuShown);
    }
    m_focused = (item->itemState & ODS_FOCUS) != 0;
    m_disabled = (item->itemState & ODS_DISABLED) != 0;

    RECT itemRect = item->rcItem;
    dc->SetBkMode(TRANSPARENT);
    // The parent's pixels fill the whole button, so they go under the default frame, not over it.
    if (m_transparent) {
        m_parentSnapshot.PaintUnder(*this, *dc);
    }
    if (!m_flat && (m_focused || m_defaultButton)) {
        CBrush black(kBlack);
        dc->FrameRect(&itemRect, &black);
        ::InflateRect(&itemRect, -1, -1);
    }
    if (!m_transparent) {
        PaintFace(dc, &itemRect);
    }
    DrawFrameOrEdges(dc, itemRect);

    CString title;
    GetWindowText(title);
    const BOOL hasTitle = !title.IsEmpty();
    RECT caption = item->rcItem;
    if (m_icons[0].icon.m_hIcon != nullptr) {
        DrawIconImage(dc, hasTitle, &item->rcItem, &caption, m_pressed, m_disabled);
    }
    if (m_bitmaps[0].bitmap.m_hObject != nullptr) {
        dc->SetBkColor(kWhite);
        DrawBitmapImage(dc, hasTitle, &item->rcItem, &caption, m_pressed, m_disabled);
    }
    if (hasTitle) {
        DrawCaption(dc, title, caption);
    }
    if ((!m_flat || m_flatFocusRect) && m_focused) {
        RECT focus = itemRect;
        ::InflateRect(&focus, -kFocusRectInset, -kFocusRectInset);
        dc->DrawFocusRect(&focus);
    }
}

// A flat button shows its 1-pixel border only when lit or pressed; a classic one has a shadow
// frame when pressed and four 3D edge lines at rest.
void CHoverButton::DrawFrameOrEdges(CDC* dc, const RECT& itemRect) {
    if (m_flat) {
        if (m_drawBorder && (m_pressed || m_hover)) {
            PaintBorder(dc, &itemRect);
        }
        return;
    }
    if (m_pressed) {
        CBrush shadow(::GetSysColor(COLOR_BTNSHADOW));
        dc->FrameRect(&itemRect, &shadow);
        return;
    }
    const RECT& r = itemRect;
    struct EdgeLine {
        int sysColor;
        POINT from, through, to;
    };
    const EdgeLine lines[] = {
        {COLOR_BTNHIGHLIGHT, {r.left, r.bottom - 1}, {r.left, r.top}, {r.right, r.top}},
        {COLOR_3DLIGHT, {r.left + 1, r.bottom - 1}, {r.left + 1, r.top + 1}, {r.right, r.top + 1}},
        {COLOR_3DDKSHADOW, {r.left, r.bottom - 1}, {r.right - 1, r.bottom - 1}, {r.right - 1, r.top - 1}},
        {COLOR_BTNSHADOW, {r.left + 1, r.bottom - 2}, {r.right - 2, r.bottom - 2}, {r.right - 2, r.top}},
    };
    for (const EdgeLine& line : lines) {
        CPen pen;
        if (!pen.CreatePen(PS_SOLID, 0, ::GetSysColor(line.sysColor))) {
            continue;
        }
        CScopedSelect select(*dc, pen);
        dc->MoveTo(line.from.x, line.from.y);
        dc->LineTo(line.through.x, line.through.y);
        dc->LineTo(line.to.x, line.to.y);
    }
}

// The caption is wrapped at the caption rectangle's width and the block centred in it; a
// disabled caption is drawn embossed.
void CHoverButton::DrawCaption(CDC* dc, const CString& title, RECT caption) {
    if (m_pressed && !m_checkBoxMode) {
        ::OffsetRect(&caption, 1, 1);
    }
    const RECT frame = caption;
    dc->DrawText(title, -1, &caption, DT_WORDBREAK | DT_CENTER | DT_CALCRECT);
    ::OffsetRect(&caption, ((frame.right - frame.left) - (caption.right - caption.left)) / 2,
                 ((frame.bottom - frame.top) - (caption.bottom - caption.top)) / 2);
    dc->SetBkMode(TRANSPARENT);
    if (m_disabled) {
        ::OffsetRect(&caption, 1, 1);
        dc->SetTextColor(::GetSysColor(COLOR_BTNHIGHLIGHT));
        dc->DrawText(title, -1, &caption, DT_WORDBREAK | DT_CENTER);
        ::OffsetRect(&caption, -1, -1);
        dc->SetTextColor(::GetSysColor(COLOR_BTNSHADOW));
        dc->DrawText(title, -1, &caption, DT_WORDBREAK | DT_CENTER);
        return;
    }
    const bool hot = m_hover || m_pressed;
    dc->SetTextColor(m_colors[hot ? BTN_TEXT_HOT : BTN_TEXT_REST]);
    dc->SetBkColor(m_colors[hot ? BTN_FACE_HOT : BTN_FACE_REST]);
    dc->DrawText(title, -1, &caption, DT_WORDBREAK | DT_CENTER);
}

int CHoverButton::PaintFace(CDC* dc, const RECT* rect) {
    COLORREF color = m_colors[BTN_FACE_REST];
    if (m_hover || m_pressed) {
        color = m_colors[BTN_FACE_HOT];
    } else if (m_focused) {
        color = m_colors[BTN_FACE_FOCUS];
    }
    CBrush brush(color);
    if (brush.m_hObject != nullptr) {
        dc->FillRect(rect, &brush);
    }
    return 0;
}

int CHoverButton::PaintBorder(CDC* dc, const RECT* rect) {
    const COLORREF highlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    if (m_pressed) {
        dc->Draw3dRect(rect, shadow, highlight);
    } else {
        dc->Draw3dRect(rect, highlight, shadow);
    }
    return 0;
}

// ---- Images -----------------------------------------------------------------------------------

// Makes the mask of the bitmap in `image`: set bits where the bitmap has the transparent colour.
// Those pixels of the bitmap are then blackened, as DrawBitmapImage expects.
BOOL CHoverButton::MakeMask(BitmapImage& image, COLORREF transparent) {
    const HBITMAP bitmap = image.bitmap;
    BITMAP info = {};
    if (::GetObjectType(bitmap) != OBJ_BITMAP || ::GetObjectW(bitmap, sizeof(info), &info) == 0 ||
        info.bmWidth <= 0 || info.bmHeight <= 0) {
        return FALSE;
    }
    CBitmap mask;
    CDC colorDc;
    CDC maskDc;
    if (!mask.CreateBitmap(info.bmWidth, info.bmHeight, 1, 1, nullptr) ||
        !colorDc.CreateCompatibleDC(nullptr) || !maskDc.CreateCompatibleDC(nullptr)) {
        return FALSE;
    }
    {
        CScopedSelect selectColor(colorDc, bitmap);
        CScopedSelect selectMask(maskDc, mask);
        if (!selectColor.Selected() || !selectMask.Selected()) {
            return FALSE;
        }
        colorDc.SetBkColor(transparent);
        maskDc.BitBlt(0, 0, info.bmWidth, info.bmHeight, &colorDc, 0, 0, SRCCOPY);
        // Set mask bits reach the colour bitmap as the background colour, white.
        colorDc.SetBkColor(kWhite);
        colorDc.SetTextColor(kBlack);
        colorDc.BitBlt(0, 0, info.bmWidth, info.bmHeight, &maskDc, 0, 0, kRopBlackenWhereSourceSet);
    }
    image.width = static_cast<DWORD>(info.bmWidth);
    image.height = static_cast<DWORD>(info.bmHeight);
    image.mask = std::move(mask);
    return TRUE;
}

// Entry 1 of a pair is the idle image: shown at rest when present.
BOOL CHoverButton::UseIdleImage() const {
    const bool atRest = m_checkBoxMode ? !m_pressed : !m_pressed && !m_hover;
    return atRest;
}

// Where an image of width x height goes in the request rectangle; moves edges of the caption
// rectangle to make room. Only the result's left and top place the image.
RECT CHoverButton::PlaceImage(DWORD width, DWORD height, const RECT* request, RECT* caption, BOOL hasTitle,
                              BOOL pressed) {
    const int w = static_cast<int>(width);
    const int h = static_cast<int>(height);
    RECT image = *request;
    const auto centreHorizontally = [&] {
        image.left += ((image.right - image.left) - w) / 2;
    };
    const auto centreVertically = [&] {
        image.top += ((image.bottom - image.top) - h) / 2;
    };
    switch (m_imageAlign) {
        case ALIGN_IMAGE_LEFT:
            if (hasTitle) {
                image.left += IMAGE_GAP;
                caption->left += w + IMAGE_GAP;
            } else {
                centreHorizontally();
            }
            centreVertically();
            break;
        case ALIGN_IMAGE_TOP:
            centreHorizontally();
            if (hasTitle) {
                image.top = IMAGE_GAP;
                caption->top += h;
            } else {
                centreVertically();
            }
            break;
        case ALIGN_IMAGE_RIGHT:
            if (hasTitle) {
                RECT client = {};
                GetClientRect(&client);
                caption->right = caption->right - caption->left - w - IMAGE_GAP;
                caption->left = IMAGE_GAP;
                image.left = client.right - w - IMAGE_GAP;
                centreVertically();
            } else {
                centreHorizontally();
            }
            break;
        default:
            break;
    }
    if (pressed && !m_checkBoxMode) {
        ::OffsetRect(&image, 1, 1);
    }
    return image;
}

void CHoverButton::DrawIconImage(CDC* dc, BOOL hasTitle, const RECT* request, RECT* caption, BOOL pressed,
                                 BOOL disabled) {
    const IconImage& chosen = m_icons[UseIdleImage() && m_icons[1].icon.m_hIcon != nullptr ? 1 : 0];
    const RECT image = PlaceImage(chosen.width, chosen.height, request, caption, hasTitle, pressed);
    const int cx = image.right - image.left;
    const int cy = image.bottom - image.top;
    if (cx <= 0 || cy <= 0) {
        return;  // nothing of the button is left to draw into
    }
    ::DrawStateW(dc->m_hDC, nullptr, nullptr, reinterpret_cast<LPARAM>(chosen.icon.m_hIcon), 0, image.left,
                 image.top, cx, cy, DST_ICON | (disabled ? DSS_DISABLED : 0));
}

// Draws the bitmap through its mask: set mask bits keep the face, clear ones take the bitmap.
// A disabled bitmap is first put on white and then drawn embossed.
void CHoverButton::DrawBitmapImage(CDC* dc, BOOL hasTitle, const RECT* request, RECT* caption, BOOL pressed,
                                   BOOL disabled) {
    const BitmapImage& chosen = m_bitmaps[UseIdleImage() && m_bitmaps[1].bitmap.m_hObject != nullptr ? 1 : 0];
    const int w = static_cast<int>(chosen.width);
    const int h = static_cast<int>(chosen.height);
    const RECT image = PlaceImage(chosen.width, chosen.height, request, caption, hasTitle, pressed);
    CDC imageDc;
    CDC maskDc;
    if (!imageDc.CreateCompatibleDC(dc) || !maskDc.CreateCompatibleDC(nullptr)) {
        return;
    }
    CScopedSelect selectImage(imageDc, chosen.bitmap);
    CScopedSelect selectMask(maskDc, chosen.mask);
    if (!selectImage.Selected() || !selectMask.Selected()) {
        return;
    }
    if (!disabled || !m_greyDisabledBitmap) {
        // Clear mask bits reach the DC as its text colour, which must be black to cut the hole.
        const COLORREF oldText = dc->SetTextColor(kBlack);
        dc->BitBlt(image.left, image.top, w, h, &maskDc, 0, 0, SRCAND);
        dc->BitBlt(image.left, image.top, w, h, &imageDc, 0, 0, SRCPAINT);
        dc->SetTextColor(oldText);
        return;
    }
    CDC onWhiteDc;
    CBitmap onWhite;
    if (!onWhiteDc.CreateCompatibleDC(dc) || !onWhite.CreateCompatibleBitmap(dc->m_hDC, w, h)) {
        return;
    }
    {
        CScopedSelect selectOnWhite(onWhiteDc, onWhite);
        if (!selectOnWhite.Selected()) {
            return;
        }
        const RECT all = {0, 0, w, h};
        onWhiteDc.FillSolidRect(&all, kWhite);
        const COLORREF oldBack = onWhiteDc.SetBkColor(kWhite);
        onWhiteDc.BitBlt(0, 0, w, h, &maskDc, 0, 0, SRCAND);
        onWhiteDc.BitBlt(0, 0, w, h, &imageDc, 0, 0, SRCPAINT);
        onWhiteDc.SetBkColor(oldBack);
    }
    onWhiteDc.DeleteDC();
    ::DrawStateW(dc->m_hDC, nullptr, nullptr, reinterpret_cast<LPARAM>(onWhite.m_hObject), 0, image.left,
                 image.top, w, h, DST_BITMAP | DSS_DISABLED);
}
