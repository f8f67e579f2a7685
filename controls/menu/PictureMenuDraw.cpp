#include "controls/menu/PictureMenu.h"

#include "controls/menu/OffscreenDC.h"
#include "framework/Icon.h"
#include "framework/ScopedSelect.h"

#include <algorithm>
#include <optional>

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// How much lighter than their base colours parts of an item are painted.
constexpr double kCheckedBoxLightening = 0.6;       // classic checked picture box and tick box
constexpr double kFlatColumnLightening = 0.25;      // flat picture column on a classic desktop
constexpr double kFlatGrayTextLightening = 0.4;     // flat grayed text of an unselected item
constexpr double kFlatSelectionLighteningXp = 0.7;  // flat selection on themed Windows XP
constexpr double kFlatSelectionLightening = 0.85;   // flat selection elsewhere, flat checked boxes

// Classic geometry: the picture sits in a 2-pixel frame; the selection bar and the text start
// right of the picture column.
constexpr int kPictureFrame = 2;
constexpr int kClassicSelectionGap = 5;
constexpr int kClassicTextGap = 9;
// Flat geometry: the tinted column is the picture width plus 7; the separator line and the text
// keep their distance from it; tick and radio marks sit in a box of their own size.
constexpr int kFlatColumnExtra = 7;
constexpr int kFlatSeparatorGap = 7;
constexpr int kFlatTextGap = 8;
constexpr int kFlatMarkBoxSize = 16;
// Where the marks sit inside their boxes, and their own sizes.
constexpr POINT kClassicTickOffset = {4, 4};
constexpr POINT kClassicRadioOffset = {5, 4};
constexpr POINT kFlatMarkOffset = {5, 4};
constexpr int kRadioDotSize = 6;
constexpr int kTickStrokeLength = 3;
// First row of each of the tick's seven columns.
constexpr int kTickStrokeTops[] = {2, 3, 4, 3, 2, 1, 0};

constexpr UINT kLabelFormat = DT_VCENTER | DT_SINGLELINE | DT_LEFT;
constexpr UINT kShortcutFormat = DT_VCENTER | DT_SINGLELINE | DT_RIGHT;
constexpr UINT kPictureStyle = ILD_TRANSPARENT;

// Brush where the (colour-converted) source is white, destination elsewhere ("DSPDxax").
constexpr DWORD kRopBrushWhereSourceWhite = 0x00E20746;
// Destination where the source is white, brush elsewhere ("PSDPxax").
constexpr DWORD kRopBrushWhereSourceBlack = 0x00B8074A;

struct ItemStateBits {
    explicit ItemStateBits(UINT state)
        : selected((state & ODS_SELECTED) != 0),
          grayed((state & ODS_GRAYED) != 0),
          checked((state & ODS_CHECKED) != 0) {}
    bool selected;
    bool grayed;
    bool checked;
};

// The picture an item shows: its index in its list, its id (negative: none) and, in the flat
// look, the unselected and shadow pictures of a multi-picture item.
struct PictureSource {
    int index = -1;
    int imageId = -1;
    const CImageList* list = nullptr;
    bool multi = false;
    int unselectedIndex = 1;
    int shadowIndex = 2;
};

bool Selected(const CScopedSelect& select) {
    return select.Previous() != nullptr && select.Previous() != HGDI_ERROR;
}

bool HasList(const CImageList* list) { return list != nullptr && list->m_hImageList != nullptr; }

// An index outside the list draws nothing.
void DrawPicture(CDC* dc, const CImageList* list, int index, int x, int y) {
    if (HasList(list)) {
        ::ImageList_Draw(*list, index, dc->m_hDC, x, y, kPictureStyle);
    }
}

void DrawPicture(CDC* dc, const CImageList* list, int index, POINT at) {
    DrawPicture(dc, list, index, at.x, at.y);
}

void FillArea(CDC* dc, int left, int top, int right, int bottom, COLORREF color) {
    const RECT rect = {left, top, right, bottom};
    dc->FillSolidRect(&rect, color);
}

void FillAndFrame(CDC* dc, const RECT& rect, COLORREF fill, COLORREF frame) {
    dc->FillSolidRect(&rect, fill);
    dc->Draw3dRect(&rect, frame, frame);
}

// Transparent text for the life of the guard; the previous mode and text colour come back after.
class CTextLookGuard {
public:
    explicit CTextLookGuard(CDC* dc)
        : m_dc(dc), m_mode(dc->SetBkMode(TRANSPARENT)), m_color(::GetTextColor(dc->m_hDC)) {}
    ~CTextLookGuard() {
        m_dc->SetTextColor(m_color);
        m_dc->SetBkMode(m_mode);
    }
    CTextLookGuard(const CTextLookGuard&) = delete;
    CTextLookGuard& operator=(const CTextLookGuard&) = delete;

private:
    CDC* m_dc;
    int m_mode;
    COLORREF m_color;
};

// An item's texts, split at the tabs, and the rectangle they are drawn in.
struct ItemText {
    CString label;
    CString shortcut;
    RECT rect;
};

// Empty when the item has no text. A text with a tab keeps room for the picture width on the right.
std::optional<ItemText> PrepareItemText(const CPictureMenuItem* record, RECT rect, int pictureWidth) {
    if (record == nullptr || *record->GetText() == L'\0') {
        return std::nullopt;
    }
    const CString text = record->GetText();
    ItemText result;
    CPictureMenu::SplitItemText(text, result.label, result.shortcut);
    if (text.Find(L'\t') >= 0) {
        rect.right -= pictureWidth;
    }
    result.rect = rect;
    return result;
}

// Larger of 0 and half of `value`, rounded half up: centres a picture in a column or a row.
int HalfOf(int value) { return std::max(0, value / 2 + value % 2); }

PictureSource ClassicPictureSource(const CPictureMenuItem* record) {
    PictureSource source;
    if (record == nullptr) {
        return source;
    }
    source.index = record->m_imageIndex;
    source.imageId = record->m_imageId;
    source.list = record->m_imageList.get();
    if (source.imageId < 0 && record->m_sharedImageIndex >= 0) {
        source.index = record->m_sharedImageIndex;
        source.imageId = 0;
        source.list = &CPictureMenu::s_sharedImages;
    }
    return source;
}

// The flat look also knows items with several pictures: an own list whose picture 0 comes with
// an unselected (1) and a shadow (2) picture, or a normal/hot/shadow triple in the shared list.
PictureSource FlatPictureSource(const CPictureMenuItem* record) {
    PictureSource source;
    if (record == nullptr) {
        return source;
    }
    source.index = record->m_imageIndex;
    source.imageId = record->m_imageId;
    source.list = record->m_imageList.get();
    if (source.index == 0 && HasList(source.list) && source.list->GetImageCount() > 2) {
        source.multi = true;
    }
    const int shared = record->m_sharedImageIndex;
    if (source.imageId < 0 && source.index < 0 && shared >= 0) {
        source.index = shared;
        source.imageId = 0;
        source.list = &CPictureMenu::s_sharedImages;
        if (CPictureMenu::HasImageTriple(shared)) {
            source.multi = true;
            source.unselectedIndex = shared + 1;
            source.shadowIndex = shared + 2;
        }
    }
    return source;
}

// Draws the picture grayed at `at` on `background`, by the menu's chosen method; nothing when
// the picture cannot be rendered.
void DrawDisabledPicture(const CPictureMenu& menu, CDC* dc, const PictureSource& picture, POINT at,
                         COLORREF background) {
    CBitmap bitmap;
    if (!CPictureMenu::RenderImageToBitmap(picture.index, dc, &menu, picture.list, bitmap)) {
        return;
    }
    if (menu.m_ditherDisabled) {
        CPictureMenu::DrawDisabledDib(dc, menu.m_iconHeight, at.x, at.y, menu.m_iconWidth, &bitmap,
                                      background);
    } else {
        CPictureMenu::DrawDisabledEmbossed(menu.m_iconHeight, menu.m_iconWidth, dc, at.x, at.y, &bitmap,
                                           background);
    }
}

// A request without a context or with an empty (or inverted) rectangle paints nothing.
bool IsDrawable(const DRAWITEMSTRUCT* item) {
    return item != nullptr && item->hDC != nullptr && !::IsRectEmpty(&item->rcItem);
}

COLORREF ClassicBackground() {
    return ::GetSysColor(CPictureMenu::IsThemedXp() ? COLOR_BTNFACE : COLOR_MENU);
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
    const ItemStateBits bits(state);
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

void CPictureMenu::DrawSelectionClassic(CDC* dc, const RECT& rect, int left, COLORREF highlight) {
    FillArea(dc, left, rect.top, rect.right, rect.bottom, highlight);
}

void CPictureMenu::DrawSelectionFlat(CDC* dc, const RECT& rect, COLORREF fill, COLORREF highlight) {
    FillAndFrame(dc, rect, fill, highlight);
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

// The box is lighter on an unselected item; systems from Windows 95 on give it a sunken edge.
void CPictureMenu::DrawCheckBoxClassic(LPCRECT box, CDC* dc, BOOL selected, BOOL radio) {
    COLORREF fill = ClassicBackground();
    if (!selected) {
        fill = LightenColor(kCheckedBoxLightening, fill);
    }
    dc->FillSolidRect(box, fill);
    if (s_osVersion >= 2) {
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

// The picture is put on button face, the colour both disabled methods take as "no picture here".
// FALSE, with nothing made, when there is no list or picture, or the bitmap cannot be made.
BOOL CPictureMenu::RenderImageToBitmap(int index, CDC* target, const CPictureMenu* menu,
                                       const CImageList* list, CBitmap& bitmap) {
    if (target == nullptr || menu == nullptr || !HasList(list) || menu->m_iconWidth <= 0 ||
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
        if (!Selected(selectBitmap)) {
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
    if (!Selected(selectMask) || !Selected(selectSource)) {
        return;
    }
    ::PatBlt(maskDc, 0, 0, width, height, WHITENESS);
    sourceDc.SetBkColor(::GetSysColor(COLOR_BTNFACE));
    maskDc.BitBlt(0, 0, width, height, &sourceDc, 0, 0, SRCCOPY);
    sourceDc.SetBkColor(::GetSysColor(COLOR_BTNHIGHLIGHT));
    maskDc.BitBlt(0, 0, width, height, &sourceDc, 0, 0, SRCPAINT);

    FillArea(&sourceDc, 0, 0, width, height, background);
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
    if (!Selected(selectSection) || !Selected(selectSource)) {
        return;
    }
    // Pixels in the source's background colour turn white; the picture sits on button face.
    sourceDc.SetBkColor(::GetSysColor(COLOR_BTNFACE));
    monoDc.BitBlt(0, 0, width, height, &sourceDc, 0, 0, SRCCOPY);

    FillArea(target, x, y, x + width, y + height, background);
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

// --- Classic look.

namespace {

// Frames and fills of the classic picture column, then the picture itself.
struct ClassicColumn {
    const CPictureMenu& menu;
    CDC* dc;
    ItemStateBits bits;
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

    void Draw(CPictureMenu::PictureKind kind, const PictureSource& picture) const {
        dc->Draw3dRect(&inner, background, background);
        const bool frames3d = CPictureMenu::s_osVersion >= 2;
        if (kind == CPictureMenu::PICTURE_CHECK && menu.m_checkImages != nullptr) {
            dc->FillSolidRect(&inner, background);
            FrameOuter(background, background);
            DrawPicture(dc, menu.m_checkImages, bits.selected ? 1 : 0, at);
        } else if (kind == CPictureMenu::PICTURE_HOT) {
            dc->FillSolidRect(&inner, background);
            if (frames3d && bits.checked) {
                FrameSunken();
            } else if (frames3d) {
                FrameRaised();
            }
            DrawPicture(dc, picture.list, picture.index, at);
        } else if (kind == CPictureMenu::PICTURE_DISABLED) {
            FrameOuter(background, background);
            DrawDisabledPicture(menu, dc, picture, at, background);
        } else if (bits.checked) {  // plain picture, or a check picture without check pictures
            dc->FillSolidRect(&inner, CPictureMenu::LightenColor(kCheckedBoxLightening, background));
            if (frames3d) {
                FrameSunken();
            }
            DrawPicture(dc, picture.list, picture.index, at);
        } else {
            dc->FillSolidRect(&inner, background);
            FrameOuter(background, background);
            DrawPicture(dc, picture.list, picture.index, at);
        }
    }
};

}  // namespace

// A null record paints an empty item.
void CPictureMenu::PaintClassic(LPDRAWITEMSTRUCT item, const CPictureMenuItem* record) {
    CDC* dc = CDC::FromHandle(item->hDC);
    const RECT rect = item->rcItem;
    const COLORREF background = ClassicBackground();
    if (record != nullptr && (record->m_flags & MF_SEPARATOR) != 0) {
        DrawSeparatorClassic(dc, rect, background);
        return;
    }
    const ItemStateBits bits(item->itemState);
    const PictureSource picture = ClassicPictureSource(record);
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
    const std::optional<ItemText> text = PrepareItemText(record, textArea, width);
    if (!text) {
        return;
    }
    CTextLookGuard textLook(dc);
    if (bits.grayed && !bits.selected) {
        DrawGrayedTextClassic(dc, text->rect, text->label, text->shortcut);
        return;
    }
    if (bits.grayed) {
        dc->SetTextColor(background);
    } else {
        dc->SetTextColor(::GetSysColor(bits.selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    }
    DrawTwoPartText(dc, text->rect, text->label, text->shortcut);
}

// --- Flat look.

namespace {

// The flat picture box and the picture in it.
struct FlatColumn {
    const CPictureMenu& menu;
    CDC* dc;
    ItemStateBits bits;
    const FlatColors& colors;
    RECT itemRect;
    RECT box;
    POINT at;

    void Draw(CPictureMenu::PictureKind kind, const PictureSource& picture) const {
        const POINT raised = {at.x - 1, at.y - 1};
        if (kind == CPictureMenu::PICTURE_CHECK && menu.m_checkImages != nullptr) {
            dc->FillSolidRect(&box, colors.column);
            DrawPicture(dc, menu.m_checkImages, bits.selected ? 1 : 0, at);
        } else if (kind == CPictureMenu::PICTURE_DISABLED) {
            DrawDisabledPicture(menu, dc, picture, at, bits.selected ? colors.selection : colors.column);
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
                DrawPicture(dc, picture.list, picture.shadowIndex, hot.x + 1, hot.y + 1);
                DrawPicture(dc, picture.list, picture.index, hot.x - 1, hot.y - 1);
            } else {
                DrawPicture(dc, picture.list, picture.index, hot);
            }
        } else if (bits.checked) {  // plain picture, or a check picture without check pictures
            FillAndFrame(dc, box, CPictureMenu::LightenColor(kFlatSelectionLightening, colors.highlight),
                         colors.highlight);
            DrawPicture(dc, picture.list, picture.index, raised);
        } else {
            FillAndFrame(dc, box, colors.column, colors.column);
            DrawPicture(dc, picture.list, picture.multi ? picture.unselectedIndex : picture.index, at);
        }
    }
};

}  // namespace

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
    const ItemStateBits bits(item->itemState);
    const PictureSource picture = FlatPictureSource(record);
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
    const std::optional<ItemText> text = PrepareItemText(record, textArea, width);
    if (!text) {
        return;
    }
    CTextLookGuard textLook(dc);
    COLORREF textColor = ::GetSysColor(COLOR_MENUTEXT);
    if (bits.grayed) {
        textColor = ::GetSysColor(COLOR_GRAYTEXT);
        if (!bits.selected && !IsThemedXp()) {
            textColor = LightenColor(kFlatGrayTextLightening, textColor);
        }
    }
    dc->SetTextColor(textColor);
    DrawTwoPartText(dc, text->rect, text->label, text->shortcut);
}
