#include "framework/GdiObject.h"

#include "framework/Module.h"

// Every Create/Load below fails without making anything when the owner already holds an object,
// so a second call never leaks the object it would have made.

BOOL CPen::CreatePen(int style, int width, COLORREF color) {
    return m_hObject == nullptr && Attach(::CreatePen(style, width, color));
}

BOOL CBitmap::LoadBitmap(UINT id) {
    return m_hObject == nullptr &&
           Attach(
               ::LoadBitmapW(AfxFindResourceHandle(MAKEINTRESOURCEW(id), RT_BITMAP), MAKEINTRESOURCEW(id)));
}

BOOL CBitmap::CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
    return m_hObject == nullptr && Attach(::CreateBitmap(width, height, planes, bitsPerPixel, bits));
}

BOOL CBitmap::CreateCompatibleBitmap(HDC dc, int width, int height) {
    return m_hObject == nullptr && Attach(::CreateCompatibleBitmap(dc, width, height));
}

BOOL CBrush::CreateSolidBrush(COLORREF color) {
    return m_hObject == nullptr && Attach(::CreateSolidBrush(color));
}

BOOL CBrush::CreatePatternBrush(CBitmap* bitmap) {
    return m_hObject == nullptr && Attach(::CreatePatternBrush(static_cast<HBITMAP>(bitmap->m_hObject)));
}

BOOL CFont::CreateFontIndirect(const LOGFONTW* font) {
    return m_hObject == nullptr && Attach(::CreateFontIndirectW(font));
}
