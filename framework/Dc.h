// Device contexts. A CDC that made or was given a DC deletes it; CPaintDC and CClientDC give
// theirs back to the window; FromHandle gives a temporary, non-owning wrapper.
#pragma once

#include "framework/Afx.h"
#include "framework/HandleMap.h"

class CWnd;
class CBrush;
class CGdiObject;

class CDC {
public:
    CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    virtual ~CDC();

    HDC m_hDC = nullptr;

    operator HDC() const { return m_hDC; }  // NOLINT
    HDC GetSafeHdc() const { return m_hDC; }

    static CDC* FromHandle(HDC dc);
    static void DeleteTempMap();

    BOOL Attach(HDC dc);
    HDC Detach();
    BOOL DeleteDC();
    BOOL CreateCompatibleDC(CDC* dc);

    // Selects the object and returns the one it replaced.
    HGDIOBJ SelectObject(HGDIOBJ object);
    HGDIOBJ SelectObject(const CGdiObject* object);

    int SetBkMode(int mode);
    COLORREF SetBkColor(COLORREF color);
    COLORREF SetTextColor(COLORREF color);

    BOOL Rectangle(int left, int top, int right, int bottom);
    void FillRect(LPCRECT rect, CBrush* brush);
    void FrameRect(LPCRECT rect, CBrush* brush);
    void FillSolidRect(LPCRECT rect, COLORREF color);
    void Draw3dRect(LPCRECT rect, COLORREF topLeft, COLORREF bottomRight);
    BOOL DrawEdge(LPRECT rect, UINT edge, UINT flags);
    void DrawFocusRect(LPCRECT rect);
    int DrawText(LPCWSTR text, int length, LPRECT rect, UINT format);
    BOOL DrawIcon(int x, int y, HICON icon);
    POINT MoveTo(int x, int y);
    BOOL LineTo(int x, int y);
    BOOL BitBlt(int x, int y, int width, int height, CDC* source, int sourceX, int sourceY, DWORD rop);
    COLORREF GetPixel(int x, int y) const;
    COLORREF SetPixel(int x, int y, COLORREF color);
    int GetDeviceCaps(int index) const;

private:
    // The DC for the drawing wrapper `call`; reports a fault when there is none.
    HDC CheckedDc(const char* call) const;
};

// The temporaries FromHandle gives out (DCs are never bound permanently).
using CDcHandleMap = CHandleMap<CDC, HDC, &CDC::m_hDC>;

// Painting context of a window for one WM_PAINT.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps = {};

private:
    HWND m_hWnd;
};

// Context of a window's client area, given back when the object goes.
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* wnd);
    ~CClientDC() override;

private:
    HWND m_hWnd;
};
