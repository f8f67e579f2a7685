#include "controls/button/GreyIcon.h"

#include "controls/button/IconBitmaps.h"
#include "framework/Dc.h"
#include "framework/GdiObject.h"

#include <span>

namespace {

// Only the colour channels change; rgbReserved holds the pixel's alpha.
void GreyPixels(std::span<RGBQUAD> pixels) {
    for (RGBQUAD& pixel : pixels) {
        const BYTE level = GreyLevel(pixel.rgbRed, pixel.rgbGreen, pixel.rgbBlue);
        pixel.rgbRed = level;
        pixel.rgbGreen = level;
        pixel.rgbBlue = level;
    }
}

}  // namespace

BYTE GreyLevel(BYTE red, BYTE green, BYTE blue) {
    const double value = 0.587 * green + 0.299 * red + 0.114 * blue;
    return static_cast<BYTE>(static_cast<int>(value) & 0xFF);
}

// The colour picture is read as 32-bit pixels whatever its own depth (a picture without alpha
// reads as alpha 0 everywhere, which leaves the mask in charge), greyed in memory and handed to
// the new icon as a 32-bit section, so no pixel's alpha is lost on the way.
HICON CreateGreyIcon(HICON icon) {
    const CIconBitmaps bitmaps(icon);
    const CBitmap& color = bitmaps.Color();
    BITMAP size = {};
    if (color.m_hObject == nullptr || ::GetObjectW(color, sizeof(size), &size) == 0 || size.bmWidth <= 0 ||
        size.bmHeight <= 0) {
        return nullptr;
    }
    BITMAPINFO format = {
        {sizeof(BITMAPINFOHEADER), size.bmWidth, -size.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    CDC dc;
    void* bits = nullptr;
    CBitmap grey;
    if (!dc.CreateCompatibleDC(nullptr) ||
        !grey.Attach(::CreateDIBSection(dc, &format, DIB_RGB_COLORS, &bits, nullptr, 0)) ||
        ::GetDIBits(dc, color, 0, static_cast<UINT>(size.bmHeight), bits, &format, DIB_RGB_COLORS) !=
            size.bmHeight) {
        return nullptr;
    }
    GreyPixels({static_cast<RGBQUAD*>(bits), static_cast<std::size_t>(size.bmWidth) * size.bmHeight});
    ICONINFO greyInfo = {TRUE, 0, 0, bitmaps.Mask(), grey};
    return ::CreateIconIndirect(&greyInfo);
}
