#include "controls/menu/PictureMenu.h"

#include "controls/menu/PictureMenuPaint.h"
#include "framework/Dc.h"
#include "framework/GdiObject.h"
#include "framework/Icon.h"
#include "framework/ImageList.h"
#include "framework/ScopedSelect.h"
#include "framework/String.h"

#include <utility>

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

constexpr int kRadioDotSize = 6;
constexpr int kTickStrokeLength = 3;
// First row of each of the tick's seven columns.
constexpr int kTickStrokeTops[] = {2, 3, 4, 3, 2, 1, 0};

constexpr UINT kLabelFormat = DT_VCENTER | DT_SINGLELINE | DT_LEFT;
constexpr UINT kShortcutFormat = DT_VCENTER | DT_SINGLELINE | DT_RIGHT;

// Brush where the (colour-converted) source is white, destination elsewhere ("DSPDxax").
constexpr DWORD kRopBrushWhereSourceWhite = 0x00E20746;
// Destination where the source is white, brush elsewhere ("PSDPxax").
constexpr DWORD kRopBrushWhereSourceBlack = 0x00B8074A;

// A request without a context or with an empty (or inverted) rectangle paints nothing.
bool IsDrawable(const DRAWITEMSTRUCT* item) {
    return item != nullptr && item->hDC != nullptr && !::IsRectEmpty(&item->rcItem);
}

}  // namespace

// Palette devices always get the classic look. Item data that is none of this menu's records is
// never read as one. An item put into the menu behind its back is painted empty, so that no stale
// pixels stay where it stands; a request for an item the menu does not hold paints nothing.
void CPictureMenu::DrawItem(LPDRAWITEMSTRUCT item) {
    if (!IsDrawable(item)) {
        return;
    }
    const CPictureMenuItem* record = FindRecord(item->itemData);
    if (record == nullptr && !HoldsItemData(item->itemData)) {
        return;
    }
    const bool palette = (::GetDeviceCaps(item->hDC, RASTERCAPS) & RC_PALETTE) != 0;
    if (!palette && UsesFlatLook()) {
        PaintFlat(item, record);
    } else {
        PaintClassic(item, record);
    }
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
    if (IsDrawable(item)) {
        PaintClassic(item, reinterpret_cast<const CPictureMenuItem*>(item->itemData));
    }
}

void CPictureMenu::DrawItemFlat(LPDRAWITEMSTRUCT item) {
    if (IsDrawable(item)) {
        PaintFlat(item, reinterpret_cast<const CPictureMenuItem*>(item->itemData));
    }
}

COLORREF CPictureMenu::LightenColor(double fraction, COLORREF color) {
    if (!(fraction > 0.0 && fraction <= 1.0)) {
        return color;
    }
    const auto lighten = [fraction](BYTE channel) {
        return static_cast<BYTE>(channel + fraction * (255 - channel));
    };
    return RGB(lighten(GetRValue(color)), lighten(GetGValue(color)), lighten(GetBValue(color)));
}

CPictureMenu::PictureKind CPictureMenu::ClassifyPicture(UINT state, int imageId) const {
    const MenuItemStateBits bits(state);
    if (bits.checked && imageId < 0 &&
        ((bits.selected && m_checkSelectedId > 0) || m_checkUnselectedId > 0)) {
        return PICTURE_CHECK;
    }
    if (imageId < 0) {
        return PICTURE_NONE;
    }
    if (bits.grayed) {
        return PICTURE_DISABLED;
    }
    return bits.selected ? PICTURE_HOT : PICTURE_PLAIN;
}

void CPictureMenu::SplitItemText(const CString& text, CString& label, CString& shortcut) {
    const int firstTab = text.Find(L'\t');
    if (firstTab < 0) {
        label = text;
        shortcut.Empty();
        return;
    }
    label = text.Left(firstTab);
    shortcut = text.Mid(text.ReverseFind(L'\t') + 1);
}

void CPictureMenu::DrawTwoPartText(CDC* dc, const RECT& rect, const CString& label, const CString& shortcut) {
    RECT labelRect = rect;
    dc->DrawText(label, label.GetLength(), &labelRect, kLabelFormat);
    if (!shortcut.IsEmpty()) {
        RECT shortcutRect = rect;
        dc->DrawText(shortcut, shortcut.GetLength(), &shortcutRect, kShortcutFormat);
    }
}

// A menu item whose checked-state bitmap is set counts as a radio item.
BOOL CPictureMenu::IsRadioItem(HMENU menu, UINT id) {
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_CHECKMARKS;
    return menu != nullptr && ::GetMenuItemInfoW(menu, id, FALSE, &info) && info.hbmpChecked != nullptr;
}

// FALSE for an index whose triple would run past the end of the shared list (or before its start).
BOOL CPictureMenu::HasImageTriple(int index) {
    const INT_PTR count = s_sharedImageIds.GetSize();
    if (index < 0 || index + INT_PTR{2} >= count) {
        return FALSE;
    }
    const int id = s_sharedImageIds.GetAt(index);
    return s_sharedImageIds.GetAt(index + 1) == id && s_sharedImageIds.GetAt(index + 2) == id;
}

void CPictureMenu::DrawCheckMark(COLORREF color, int x, int y, CDC* dc) {
    CPen pen;
    if (!pen.CreatePen(PS_SOLID, 0, color)) {
        return;
    }
    CScopedSelect selectPen(*dc, pen);
    int column = x;
    for (const int strokeTop : kTickStrokeTops) {
        dc->MoveTo(column, y + strokeTop);
        dc->LineTo(column, y + strokeTop + kTickStrokeLength);
        ++column;
    }
}

void CPictureMenu::DrawRadioDot(COLORREF color, int x, int y, CDC* dc) {
    CBrush brush(color);
    CPen pen;
    if (brush.m_hObject == nullptr || !pen.CreatePen(PS_SOLID, 0, color)) {
        return;
    }
    CScopedSelect selectBrush(*dc, brush);
    CScopedSelect selectPen(*dc, pen);
    ::Ellipse(dc->m_hDC, x, y, x + kRadioDotSize, y + kRadioDotSize);
}

// The picture is put on button face, the colour both disabled methods take as "no picture here".
// FALSE, with nothing made, when there is no list or picture, or the bitmap cannot be made.
BOOL CPictureMenu::RenderImageToBitmap(int index, CDC* target, const CPictureMenu* menu,
                                       const CImageList* list, CBitmap& bitmap) {
    if (target == nullptr || menu == nullptr || !HasPictureList(list) || menu->m_iconWidth <= 0 ||
        menu->m_iconHeight <= 0) {
        return FALSE;
    }
    const CIcon icon(::ImageList_GetIcon(*list, index, ILD_NORMAL));
    CDC memory;
    CBitmap rendered;
    CBrush face(::GetSysColor(COLOR_BTNFACE));
    if (icon.m_hIcon == nullptr || !memory.CreateCompatibleDC(target) ||
        !rendered.CreateCompatibleBitmap(target->m_hDC, menu->m_iconWidth, menu->m_iconHeight) ||
        face.m_hObject == nullptr) {
        return FALSE;
    }
    {
        CScopedSelect selectBitmap(memory, rendered);
        if (!selectBitmap.Selected()) {
            return FALSE;
        }
        ::DrawIconEx(memory, 0, 0, icon, menu->m_iconWidth, menu->m_iconHeight, 0, face, DI_NORMAL);
    }
    bitmap = std::move(rendered);
    return TRUE;
}

// The picture's shape in shadow colour with a highlight edge one pixel lower right, on the
// background colour. Works through a mask that is white wherever the source shows button face or
// highlight; the source bitmap is overwritten.
void CPictureMenu::DrawDisabledEmbossed(int height, int width, CDC* target, int x, int y, CBitmap* source,
                                        COLORREF background) {
    if (target == nullptr || source == nullptr || source->m_hObject == nullptr || width <= 0 || height <= 0) {
        return;
    }
    CDC maskDc;
    CDC sourceDc;
    CBitmap mask;
    CBrush highlight(::GetSysColor(COLOR_BTNHIGHLIGHT));
    CBrush shadow(::GetSysColor(COLOR_BTNSHADOW));
    if (!maskDc.CreateCompatibleDC(nullptr) || !sourceDc.CreateCompatibleDC(target) ||
        !mask.CreateBitmap(width, height, 1, 1, nullptr) || highlight.m_hObject == nullptr ||
        shadow.m_hObject == nullptr) {
        return;
    }
    CScopedSelect selectMask(maskDc, mask);
    CScopedSelect selectSource(sourceDc, *source);
    if (!selectMask.Selected() || !selectSource.Selected()) {
        return;
    }
    ::PatBlt(maskDc, 0, 0, width, height, WHITENESS);
    sourceDc.SetBkColor(::GetSysColor(COLOR_BTNFACE));
    maskDc.BitBlt(0, 0, width, height, &sourceDc, 0, 0, SRCCOPY);
    sourceDc.SetBkColor(::GetSysColor(COLOR_BTNHIGHLIGHT));
    maskDc.BitBlt(0, 0, width, height, &sourceDc, 0, 0, SRCPAINT);

    FillMenuArea(&sourceDc, 0, 0, width, height, background);
    sourceDc.SetBkColor(kBlack);
    sourceDc.SetTextColor(kWhite);
    {
        CScopedSelect selectBrush(sourceDc, highlight);
        sourceDc.BitBlt(0, 0, width, height, &maskDc, 0, 0, kRopBrushWhereSourceWhite);
        target->BitBlt(x + 1, y + 1, width, height, &sourceDc, 0, 0, SRCCOPY);
        sourceDc.BitBlt(1, 1, width, height, &maskDc, 0, 0, kRopBrushWhereSourceWhite);
    }
    CScopedSelect selectBrush(sourceDc, shadow);
    sourceDc.BitBlt(0, 0, width, height, &maskDc, 0, 0, kRopBrushWhereSourceWhite);
    target->BitBlt(x, y, width, height, &sourceDc, 0, 0, SRCCOPY);
}

// The same look through a 1-bit section: the picture's pixels become black in it, everything in
// button face white, and both brushes are painted through it.
void CPictureMenu::DrawDisabledDib(CDC* target, int height, int x, int y, int width, CBitmap* source,
                                   COLORREF background) {
    if (target == nullptr || source == nullptr || source->m_hObject == nullptr || width <= 0 || height <= 0) {
        return;
    }
    CDC sourceDc;
    CDC monoDc;
    if (!sourceDc.CreateCompatibleDC(target) || !monoDc.CreateCompatibleDC(&sourceDc)) {
        return;
    }
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[2];
    } info = {{sizeof(BITMAPINFOHEADER), width, height, 1, 1, BI_RGB, 0, 0, 0, 0, 0},
              {{0, 0, 0, 0}, {255, 255, 255, 0}}};
    void* bits = nullptr;
    CBitmap section;
    section.Attach(
        ::CreateDIBSection(monoDc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0));
    CBrush highlight(::GetSysColor(COLOR_BTNHIGHLIGHT));
    CBrush shadow(::GetSysColor(COLOR_BTNSHADOW));
    if (section.m_hObject == nullptr || highlight.m_hObject == nullptr || shadow.m_hObject == nullptr) {
        return;
    }
    CScopedSelect selectSection(monoDc, section);
    CScopedSelect selectSource(sourceDc, *source);
    if (!selectSection.Selected() || !selectSource.Selected()) {
        return;
    }
    // Pixels in the source's background colour turn white; the picture sits on button face.
    sourceDc.SetBkColor(::GetSysColor(COLOR_BTNFACE));
    monoDc.BitBlt(0, 0, width, height, &sourceDc, 0, 0, SRCCOPY);

    FillMenuArea(target, x, y, x + width, y + height, background);
    // A 1-bit source takes the target's text and background colours on some systems and its own
    // colour table on others; with black and white both read the same.
    const COLORREF oldText = target->SetTextColor(kBlack);
    const COLORREF oldBack = target->SetBkColor(kWhite);
    {
        CScopedSelect selectBrush(*target, highlight);
        target->BitBlt(x + 1, y + 1, width, height, &monoDc, 0, 0, kRopBrushWhereSourceBlack);
    }
    {
        CScopedSelect selectBrush(*target, shadow);
        target->BitBlt(x, y, width, height, &monoDc, 0, 0, kRopBrushWhereSourceBlack);
    }
    target->SetBkColor(oldBack);
    target->SetTextColor(oldText);
}
