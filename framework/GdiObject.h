// Owners of GDI objects (move-only; each deletes its object): pens, brushes, bitmaps, fonts.
#pragma once

#include "framework/Afx.h"
#include "framework/HandleOwner.h"

// Where a GDI object owner keeps its object, and how the object is deleted.
struct CGdiObjectSlot {
    using Handle = HGDIOBJ;
    HGDIOBJ m_hObject = nullptr;

protected:
    static constexpr HGDIOBJ CGdiObjectSlot::*HeldMember() { return &CGdiObjectSlot::m_hObject; }
    static BOOL Free(HGDIOBJ object) { return ::DeleteObject(object); }
};

class CGdiObject : public CHandleOwner<CGdiObjectSlot> {
public:
    CGdiObject() = default;
    CGdiObject(CGdiObject&&) noexcept = default;
    CGdiObject& operator=(CGdiObject&&) noexcept = default;
    virtual ~CGdiObject() = default;

    BOOL DeleteObject() { return FreeHandle(); }
};

class CPen : public CGdiObject {
public:
    BOOL CreatePen(int style, int width, COLORREF color);
    operator HPEN() const { return static_cast<HPEN>(m_hObject); }  // NOLINT
};

class CBitmap : public CGdiObject {
public:
    BOOL LoadBitmap(UINT id);
    BOOL CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
    BOOL CreateCompatibleBitmap(HDC dc, int width, int height);
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }  // NOLINT
};

class CBrush : public CGdiObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
    BOOL CreateSolidBrush(COLORREF color);
    BOOL CreatePatternBrush(CBitmap* bitmap);
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }  // NOLINT
};

class CFont : public CGdiObject {
public:
    BOOL CreateFontIndirect(const LOGFONTW* font);
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }  // NOLINT
};
