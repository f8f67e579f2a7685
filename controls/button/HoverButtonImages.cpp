// Taking the button's images over: every handle handed in is owned from the start, so each way
// out of an assignment, failed or not, frees what it does not keep.
#include "controls/button/HoverButton.h"

#include "controls/button/GreyIcon.h"
#include "controls/button/IconBitmaps.h"

#include <utility>

// Icons handed in again that the button already holds are let go of first, so that dropping the
// old images does not destroy them.
int CHoverButton::AssignIcons(HICON iconIn, HICON iconOut) {
    for (IconImage& image : m_icons) {
        if (image.icon == iconIn || image.icon == iconOut) {
            image.icon.Detach();
        }
    }
    DropImages();
    if (iconIn == nullptr || iconIn == ICON_AUTO_GREY) {
        // Nothing to show: a second icon handed with it is not taken over and stays the caller's.
        if (iconIn == ICON_AUTO_GREY) {
            return 1;
        }
        Repaint();
        return 0;
    }
    IconImage normal;
    IconImage idle;
    normal.icon.Attach(iconIn);
    if (iconOut == iconIn) {
        // One handle cannot be owned twice: the idle image gets its own copy.
        if (!idle.icon.Attach(::CopyIcon(iconIn))) {
            return 1;
        }
    } else if (iconOut != ICON_AUTO_GREY) {
        idle.icon.Attach(iconOut);
    }
    if (!MeasureIcon(normal)) {
        return 1;
    }
    if (iconOut == ICON_AUTO_GREY && !idle.icon.Attach(MakeGreyIcon(iconIn))) {
        return 1;
    }
    if (idle.icon != nullptr && !MeasureIcon(idle)) {
        return 1;
    }
    m_icons[0] = std::move(normal);
    m_icons[1] = std::move(idle);
    Repaint();
    return 0;
}

// The drawn size, read from the icon's bitmaps (its hot spot need not be its centre). A
// monochrome icon keeps both halves of its picture in a mask of twice its height.
BOOL CHoverButton::MeasureIcon(IconImage& image) {
    const CIconBitmaps bitmaps(image.icon);
    const bool hasColor = bitmaps.Color().m_hObject != nullptr;
    const HBITMAP measured = hasColor ? bitmaps.Color() : bitmaps.Mask();
    BITMAP bitmap = {};
    if (!bitmaps.IsRead() || measured == nullptr || ::GetObjectW(measured, sizeof(bitmap), &bitmap) == 0) {
        return FALSE;
    }
    const LONG height = hasColor ? bitmap.bmHeight : bitmap.bmHeight / 2;
    if (bitmap.bmWidth <= 0 || height <= 0) {
        return FALSE;
    }
    image.width = static_cast<DWORD>(bitmap.bmWidth);
    image.height = static_cast<DWORD>(height);
    return TRUE;
}

// Bitmaps held already are let go of first, as icons are; a second bitmap handed in without a
// first one is taken over all the same and deleted.
int CHoverButton::AssignBitmaps(HBITMAP bitmapIn, HBITMAP bitmapOut, COLORREF transparent) {
    for (BitmapImage& image : m_bitmaps) {
        if (image.bitmap == bitmapIn || image.bitmap == bitmapOut) {
            image.bitmap.Detach();
        }
    }
    DropImages();
    BitmapImage normal;
    BitmapImage idle;
    normal.bitmap.Attach(bitmapIn);
    if (bitmapOut != bitmapIn) {
        idle.bitmap.Attach(bitmapOut);
    } else if (bitmapIn != nullptr && !idle.bitmap.Attach(::CopyImage(bitmapIn, IMAGE_BITMAP, 0, 0, 0))) {
        return 1;
    }
    if (bitmapIn == nullptr) {
        Repaint();
        return 0;
    }
    if (!MakeMask(normal, transparent) ||
        (idle.bitmap.m_hObject != nullptr && !MakeMask(idle, transparent))) {
        return 1;
    }
    m_bitmaps[0] = std::move(normal);
    m_bitmaps[1] = std::move(idle);
    Repaint();
    return 0;
}

// Every assignment replaces all four images, icons and bitmaps alike.
void CHoverButton::DropImages() {
    for (IconImage& image : m_icons) {
        image = {};
    }
    for (BitmapImage& image : m_bitmaps) {
        image = {};
    }
}

// Made without the button's window: a button not yet shown can have its grey copy.
HICON CHoverButton::MakeGreyIcon(HICON icon) { return CreateGreyIcon(icon); }
