// Drawing contexts and GDI objects: ownership (every object made is deleted exactly by its
// owner), selection guards, and what the drawing helpers put on the pixels.
#include "framework/AfxWin.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

// A 32-bit memory surface selected into a memory DC.
class Surface {
public:
    Surface(int width, int height) {
        m_dc.CreateCompatibleDC(nullptr);
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        m_bitmap.Attach(CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        m_previous = m_dc.SelectObject(&m_bitmap);
    }
    ~Surface() { m_dc.SelectObject(m_previous); }
    CDC& Dc() { return m_dc; }

private:
    CDC m_dc;
    CBitmap m_bitmap;
    HGDIOBJ m_previous = nullptr;
};

}  // namespace

TEST(GdiOwnership, EveryOwnerDeletesItsObjectAndAMovedFromOwnerDeletesNothing) {
    HGDIOBJ brushHandle = nullptr;
    HGDIOBJ penHandle = nullptr;
    HDC dcHandle = nullptr;
    {
        CBrush brush(RGB(1, 2, 3));
        CPen pen;
        ASSERT_TRUE(pen.CreatePen(PS_SOLID, 0, RGB(4, 5, 6)));
        CDC dc;
        ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
        brushHandle = brush.m_hObject;
        penHandle = pen.m_hObject;
        dcHandle = dc.m_hDC;
        EXPECT_EQ(static_cast<DWORD>(OBJ_BRUSH), GetObjectType(brushHandle));
        EXPECT_EQ(static_cast<DWORD>(OBJ_MEMDC), GetObjectType(dcHandle));
    }
    EXPECT_EQ(0u, GetObjectType(brushHandle));
    EXPECT_EQ(0u, GetObjectType(penHandle));
    EXPECT_EQ(0u, GetObjectType(dcHandle));

    CBrush first(RGB(7, 8, 9));
    HGDIOBJ moved = first.m_hObject;
    {
        CBrush second(std::move(first));
        EXPECT_EQ(nullptr, first.m_hObject);
        EXPECT_EQ(moved, second.m_hObject);
    }
    EXPECT_EQ(0u, GetObjectType(moved));
}

TEST(GdiOwnership, TemporaryDcWrapperNeverDeletesTheDc) {
    HDC screen = GetDC(nullptr);
    CDC* temporary = CDC::FromHandle(screen);
    EXPECT_EQ(temporary, CDC::FromHandle(screen));
    CDC::DeleteTempMap();
    EXPECT_NE(0u, GetObjectType(screen));
    ReleaseDC(nullptr, screen);
}

TEST(ScopedSelect, PutsThePreviousObjectBack) {
    Surface surface(8, 8);
    CDC& dc = surface.Dc();
    HGDIOBJ original = GetCurrentObject(dc, OBJ_PEN);
    CPen pen;
    pen.CreatePen(PS_SOLID, 0, RGB(255, 0, 0));
    {
        CScopedSelect select(dc, pen);
        EXPECT_EQ(pen.m_hObject, GetCurrentObject(dc, OBJ_PEN));
        EXPECT_EQ(original, select.Previous());
    }
    EXPECT_EQ(original, GetCurrentObject(dc, OBJ_PEN));
}

TEST(Drawing, Draw3dRectPaintsTopLeftAndBottomRightEdgesOnly) {
    Surface surface(10, 6);
    CDC& dc = surface.Dc();
    const RECT all = {0, 0, 10, 6};
    dc.FillSolidRect(&all, RGB(255, 255, 255));
    dc.Draw3dRect(&all, RGB(255, 0, 0), RGB(0, 0, 255));
    EXPECT_EQ(RGB(255, 0, 0), dc.GetPixel(0, 0));
    EXPECT_EQ(RGB(255, 0, 0), dc.GetPixel(8, 0));
    EXPECT_EQ(RGB(255, 0, 0), dc.GetPixel(0, 4));
    EXPECT_EQ(RGB(0, 0, 255), dc.GetPixel(9, 0));
    EXPECT_EQ(RGB(0, 0, 255), dc.GetPixel(0, 5));
    EXPECT_EQ(RGB(0, 0, 255), dc.GetPixel(9, 5));
    EXPECT_EQ(RGB(255, 255, 255), dc.GetPixel(5, 3));
}

TEST(Drawing, PatternBrushFromTheBackgroundBitmapTilesFromTheOrigin) {
    CBitmap pattern;
    ASSERT_TRUE(pattern.LoadBitmap(IDB_BACKGROUND));
    BITMAP info = {};
    GetObjectW(pattern, sizeof(info), &info);
    ASSERT_EQ(238, info.bmWidth);
    ASSERT_EQ(246, info.bmHeight);

    Surface source(238, 246);
    {
        CDC bitmapDc;
        bitmapDc.CreateCompatibleDC(&source.Dc());
        CScopedSelect select(bitmapDc, pattern);
        source.Dc().BitBlt(0, 0, 238, 246, &bitmapDc, 0, 0, SRCCOPY);
    }

    Surface target(300, 300);
    CBrush brush;
    ASSERT_TRUE(brush.CreatePatternBrush(&pattern));
    {
        CScopedSelect select(target.Dc(), brush);
        target.Dc().Rectangle(0, 0, 800, 600);
    }
    EXPECT_EQ(RGB(0, 0, 0), target.Dc().GetPixel(0, 5));  // the default pen outlines the rectangle
    EXPECT_EQ(RGB(0, 0, 0), target.Dc().GetPixel(5, 0));
    EXPECT_EQ(source.Dc().GetPixel(10, 20), target.Dc().GetPixel(10, 20));
    EXPECT_EQ(source.Dc().GetPixel(10, 20), target.Dc().GetPixel(10 + 238, 20));
    EXPECT_EQ(source.Dc().GetPixel(7, 3), target.Dc().GetPixel(7, 3 + 246));
}

TEST(Array, AccessorsRejectIndicesOutsideTheArray) {
    CTypedPtrArray<CPtrArray, int*> items;
    int a = 1;
    int b = 2;
    EXPECT_EQ(0, items.Add(&a));
    EXPECT_EQ(1, items.Add(&b));
    EXPECT_EQ(&b, items[1]);
    {
        const CBoundsFault::Expected fallbackUnderTest;
        EXPECT_THROW(items.GetAt(2), CInvalidArgException);
        EXPECT_THROW(items.SetAt(-1, &a), CInvalidArgException);
        EXPECT_THROW(items.RemoveAt(1, 2), CInvalidArgException);
    }
    items.RemoveAt(0);
    EXPECT_EQ(1, items.GetSize());
    EXPECT_EQ(&b, items.GetAt(0));
}

namespace {

HICON MakeIcon() {
    const BYTE andMask[4 * 4] = {};
    const BYTE xorMask[4 * 4] = {};
    return CreateIcon(GetModuleHandleW(nullptr), 16, 16, 1, 1, andMask, xorMask);
}

bool IsLiveIcon(HICON icon) {
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info)) {
        return false;
    }
    DeleteObject(info.hbmMask);
    if (info.hbmColor != nullptr) {
        DeleteObject(info.hbmColor);
    }
    return true;
}

}  // namespace

TEST(IconOwnership, OwnerDestroysItsIconAndAMovedFromOwnerDestroysNothing) {
    HICON held = MakeIcon();
    ASSERT_NE(nullptr, held);
    {
        CIcon first(held);
        CIcon second(std::move(first));
        EXPECT_EQ(nullptr, first.GetSafeHandle());
        EXPECT_EQ(held, static_cast<HICON>(second));
        HICON other = MakeIcon();
        EXPECT_FALSE(second.Attach(other));  // a held icon is never replaced
        DestroyIcon(other);
        EXPECT_TRUE(IsLiveIcon(held));
    }
    EXPECT_FALSE(IsLiveIcon(held));

    CIcon loaded;
    ASSERT_TRUE(loaded.LoadIcon(IDR_MAINFRAME, 16));
    EXPECT_FALSE(loaded.LoadIcon(IDR_MAINFRAME, 16));
    HICON kept = loaded.Detach();
    EXPECT_TRUE(IsLiveIcon(kept));
    DestroyIcon(kept);
}
