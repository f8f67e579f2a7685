#include "controls/menu/MenuPaintRoutines.h"

#include "framework/Icon.h"
#include "framework/ScopedSelect.h"

#include <utility>

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

constexpr UINT kPictureStyle = ILD_TRANSPARENT;

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

}  // namespace

CMenuPaintRoutines::PictureKind CMenuPaintRoutines::ClassifyPicture(UINT state, int imageId,
                                                                    const MenuPaintSettings& settings) {
    const MenuItemStateBits bits(state);
    if (bits.checked && imageId < 0 &&
        ((bits.selected && settings.checkSelectedId > 0) || settings.checkUnselectedId > 0)) {
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

COLORREF CMenuPaintRoutines::LightenColor(double fraction, COLORREF color) {
    if (!(fraction > 0.0 && fraction <= 1.0)) {
        return color;
    }
    const auto lighten = [fraction](BYTE channel) {
        return static_cast<BYTE>(channel + fraction * (255 - channel));
    };
    return RGB(lighten(GetRValue(color)), lighten(GetGValue(color)), lighten(GetBValue(color)));
}

BOOL CMenuPaintRoutines::CreateMenuFont(CFont& font) {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    // Without the settings a zeroed description still gives the system's default font.
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    return font.CreateFontIndirect(&metrics.lfMenuFont);
}

MenuPictureSource CMenuPaintRoutines::OwnPictureSource(const CPictureMenuItem* record) {
    MenuPictureSource source;
    if (record != nullptr) {
        source.index = record->m_imageIndex;
        source.imageId = record->m_imageId;
        source.list = record->m_imageList.get();
    }
    return source;
}

void CMenuPaintRoutines::UseSharedPicture(MenuPictureSource& source, int index,
                                          const MenuPaintSettings& settings) {
    source.index = index;
    source.imageId = 0;
    source.list = settings.sharedPictures != nullptr ? &settings.sharedPictures->Images() : nullptr;
}

bool CMenuPaintRoutines::HasPictureList(const CImageList* list) {
    return list != nullptr && list->m_hImageList != nullptr;
}

void CMenuPaintRoutines::DrawPicture(CDC* dc, const CImageList* list, int index, int x, int y) {
    if (HasPictureList(list)) {
        ::ImageList_Draw(*list, index, dc->m_hDC, x, y, kPictureStyle);
    }
}

void CMenuPaintRoutines::DrawPicture(CDC* dc, const CImageList* list, int index, POINT at) {
    DrawPicture(dc, list, index, at.x, at.y);
}

// The picture is put on button face, the colour both disabled methods take as "no picture here".
// FALSE, with nothing made, when there is no list or picture, or the bitmap cannot be made.
BOOL CMenuPaintRoutines::RenderImageToBitmap(int index, CDC* target, const CImageList* list, int width,
                                             int height, CBitmap& bitmap) {
    if (target == nullptr || !HasPictureList(list) || width <= 0 || height <= 0) {
        return FALSE;
    }
    const CIcon icon(::ImageList_GetIcon(*list, index, ILD_NORMAL));
    CDC memory;
    CBitmap rendered;
    CBrush face(::GetSysColor(COLOR_BTNFACE));
    if (icon.m_hIcon == nullptr || !memory.CreateCompatibleDC(target) ||
        !rendered.CreateCompatibleBitmap(target->m_hDC, width, height) || face.m_hObject == nullptr) {
        return FALSE;
    }
    {
        CScopedSelect selectBitmap(memory, rendered);
        if (!selectBitmap.Selected()) {
            return FALSE;
        }
        ::DrawIconEx(memory, 0, 0, icon, width, height, 0, face, DI_NORMAL);
    }
    bitmap = std::move(rendered);
    return TRUE;
}

// The picture's shape in shadow colour with a highlight edge one pixel lower right, on the
// background colour. Works through a mask that is white wherever the source shows button face or
// highlight; the source bitmap is overwritten.
void CMenuPaintRoutines::DrawDisabledEmbossed(int height, int width, CDC* target, int x, int y,
                                              CBitmap* source, COLORREF background) {
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
void CMenuPaintRoutines::DrawDisabledDib(CDC* target, int height, int x, int y, int width, CBitmap* source,
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

void CMenuPaintRoutines::DrawDisabledPicture(const MenuPaintSettings& settings, CDC* dc,
                                             const MenuPictureSource& picture, POINT at,
                                             COLORREF background) {
    CBitmap bitmap;
    if (!RenderImageToBitmap(picture.index, dc, picture.list, settings.iconWidth, settings.iconHeight,
                             bitmap)) {
        return;
    }
    if (settings.ditherDisabled) {
        DrawDisabledDib(dc, settings.iconHeight, at.x, at.y, settings.iconWidth, &bitmap, background);
    } else {
        DrawDisabledEmbossed(settings.iconHeight, settings.iconWidth, dc, at.x, at.y, &bitmap, background);
    }
}

void CMenuPaintRoutines::FillArea(CDC* dc, int left, int top, int right, int bottom, COLORREF color) {
    const RECT rect = {left, top, right, bottom};
    dc->FillSolidRect(&rect, color);
}

void CMenuPaintRoutines::FillAndFrame(CDC* dc, const RECT& rect, COLORREF fill, COLORREF frame) {
    dc->FillSolidRect(&rect, fill);
    dc->Draw3dRect(&rect, frame, frame);
}

void CMenuPaintRoutines::DrawCheckMark(COLORREF color, int x, int y, CDC* dc) {
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

void CMenuPaintRoutines::DrawRadioDot(COLORREF color, int x, int y, CDC* dc) {
    CBrush brush(color);
    CPen pen;
    if (brush.m_hObject == nullptr || !pen.CreatePen(PS_SOLID, 0, color)) {
        return;
    }
    CScopedSelect selectBrush(*dc, brush);
    CScopedSelect selectPen(*dc, pen);
    ::Ellipse(dc->m_hDC, x, y, x + kRadioDotSize, y + kRadioDotSize);
}

// A menu item whose checked-state bitmap is set counts as a radio item.
BOOL CMenuPaintRoutines::IsRadioItem(HMENU menu, UINT id) {
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_CHECKMARKS;
    return menu != nullptr && ::GetMenuItemInfoW(menu, id, FALSE, &info) && info.hbmpChecked != nullptr;
}

void CMenuPaintRoutines::SplitItemText(const CString& text, CString& label, CString& shortcut) {
    const int firstTab = text.Find(L'\t');
    if (firstTab < 0) {
        label = text;
        shortcut.Empty();
        return;
    }
    label = text.Left(firstTab);
    shortcut = text.Mid(text.ReverseFind(L'\t') + 1);
}

std::optional<MenuItemText> CMenuPaintRoutines::PrepareText(const CPictureMenuItem* record, RECT rect,
                                                            int pictureWidth) {
    if (record == nullptr || *record->GetText() == L'\0') {
        return std::nullopt;
    }
    const CString text = record->GetText();
    MenuItemText result;
    SplitItemText(text, result.label, result.shortcut);
    if (text.Find(L'\t') >= 0) {
        rect.right -= pictureWidth;
    }
    result.rect = rect;
    return result;
}

void CMenuPaintRoutines::DrawTwoPartText(CDC* dc, const RECT& rect, const CString& label,
                                         const CString& shortcut) {
    RECT labelRect = rect;
    dc->DrawText(label, label.GetLength(), &labelRect, kLabelFormat);
    if (!shortcut.IsEmpty()) {
        RECT shortcutRect = rect;
        dc->DrawText(shortcut, shortcut.GetLength(), &shortcutRect, kShortcutFormat);
    }
}
