#include "controls/menu/PictureMenu.h"

#include "controls/menu/ClassicMenuPainter.h"
#include "controls/menu/FlatMenuPainter.h"
#include "controls/menu/PictureMenuPainter.h"

// Item data that is none of this menu's records is never read as one. An item put into the menu
// behind its back is painted empty, so that no stale pixels stay where it stands; a request for
// an item the menu does not hold paints nothing.
void CPictureMenu::DrawItem(LPDRAWITEMSTRUCT item) {
    if (!CPictureMenuPainter::IsDrawable(item)) {
        return;
    }
    const CPictureMenuItem* record = FindRecord(item->itemData);
    if (record == nullptr && !HoldsItemData(item->itemData)) {
        return;
    }
    CPictureMenuPainter(PaintSettings()).Paint(*item, record);
}

BOOL CPictureMenu::HoldsItemData(ULONG_PTR data) const {
    const int count = ::GetMenuItemCount(m_hMenu);
    for (int position = 0; position < count; ++position) {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_DATA;
        if (::GetMenuItemInfoW(m_hMenu, static_cast<UINT>(position), TRUE, &info) &&
            (info.fType & MFT_OWNERDRAW) != 0 && info.dwItemData == data) {
            return TRUE;
        }
    }
    return FALSE;
}

// The item data is taken for a record as it is: the caller vouches for it.
void CPictureMenu::DrawItemClassic(LPDRAWITEMSTRUCT item) {
    if (CPictureMenuPainter::IsDrawable(item)) {
        CPictureMenuPainter(PaintSettings())
            .PaintClassic(*item, reinterpret_cast<const CPictureMenuItem*>(item->itemData));
    }
}

void CPictureMenu::DrawItemFlat(LPDRAWITEMSTRUCT item) {
    if (CPictureMenuPainter::IsDrawable(item)) {
        CPictureMenuPainter(PaintSettings())
            .PaintFlat(*item, reinterpret_cast<const CPictureMenuItem*>(item->itemData));
    }
}

COLORREF CPictureMenu::LightenColor(double fraction, COLORREF color) {
    return CMenuPaintRoutines::LightenColor(fraction, color);
}

BOOL CPictureMenu::RenderImageToBitmap(int index, CDC* target, const CPictureMenu* menu,
                                       const CImageList* list, CBitmap& bitmap) {
    return menu != nullptr && CMenuPaintRoutines::RenderImageToBitmap(index, target, list, menu->m_iconWidth,
                                                                      menu->m_iconHeight, bitmap);
}

void CPictureMenu::DrawDisabledEmbossed(int height, int width, CDC* target, int x, int y, CBitmap* source,
                                        COLORREF background) {
    CMenuPaintRoutines::DrawDisabledEmbossed(height, width, target, x, y, source, background);
}

void CPictureMenu::DrawDisabledDib(CDC* target, int height, int x, int y, int width, CBitmap* source,
                                   COLORREF background) {
    CMenuPaintRoutines::DrawDisabledDib(target, height, x, y, width, source, background);
}

void CPictureMenu::DrawCheckBoxClassic(LPCRECT box, CDC* dc, BOOL selected, BOOL radio) {
    CClassicMenuPainter(PaintSettings()).DrawCheckBox(box, dc, selected, radio);
}

BOOL CPictureMenu::DrawCheckBoxFlat(COLORREF highlight, LPCRECT box, CDC* dc, BOOL radio) {
    return CFlatMenuPainter::DrawCheckBox(highlight, box, dc, radio);
}

void CPictureMenu::DrawCheckMark(COLORREF color, int x, int y, CDC* dc) {
    CMenuPaintRoutines::DrawCheckMark(color, x, y, dc);
}

void CPictureMenu::DrawRadioDot(COLORREF color, int x, int y, CDC* dc) {
    CMenuPaintRoutines::DrawRadioDot(color, x, y, dc);
}

BOOL CPictureMenu::HasImageTriple(int index) { return Shared().Pictures().HasTriple(index); }
