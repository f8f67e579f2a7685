#include "framework/Dc.h"

#include "framework/GdiObject.h"
#include "framework/Wnd.h"

#include <utility>

CDC::~CDC() { DeleteDC(); }

CDC* CDC::FromHandle(HDC dc) { return CDcHandleMap::FromHandle(dc); }

void CDC::DeleteTempMap() { CDcHandleMap::DeleteTemporaries(); }

BOOL CDC::Attach(HDC dc) {
    if (dc == nullptr || m_hDC != nullptr) {
        return FALSE;
    }
    m_hDC = dc;
    return TRUE;
}

HDC CDC::Detach() { return std::exchange(m_hDC, nullptr); }

BOOL CDC::DeleteDC() {
    if (m_hDC == nullptr) {
        return FALSE;
    }
    return ::DeleteDC(Detach());
}

BOOL CDC::CreateCompatibleDC(CDC* dc) {
    return m_hDC == nullptr && Attach(::CreateCompatibleDC(dc != nullptr ? dc->m_hDC : nullptr));
}

HGDIOBJ CDC::SelectObject(HGDIOBJ object) { return ::SelectObject(m_hDC, object); }

HGDIOBJ CDC::SelectObject(const CGdiObject* object) { return ::SelectObject(m_hDC, object->m_hObject); }

int CDC::SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }

COLORREF CDC::SetBkColor(COLORREF color) { return ::SetBkColor(m_hDC, color); }

COLORREF CDC::SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }

BOOL CDC::Rectangle(int left, int top, int right, int bottom) {
    return ::Rectangle(m_hDC, left, top, right, bottom);
}

void CDC::FillRect(LPCRECT rect, CBrush* brush) { ::FillRect(m_hDC, rect, *brush); }

void CDC::FrameRect(LPCRECT rect, CBrush* brush) { ::FrameRect(m_hDC, rect, *brush); }

void CDC::FillSolidRect(LPCRECT rect, COLORREF color) {
    const COLORREF previous = ::SetBkColor(m_hDC, color);
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, rect, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, previous);
}

void CDC::Draw3dRect(LPCRECT rect, COLORREF topLeft, COLORREF bottomRight) {
    const int x = rect->left;
    const int y = rect->top;
    const int cx = rect->right - rect->left;
    const int cy = rect->bottom - rect->top;
    RECT edge = {x, y, x + cx - 1, y + 1};
    FillSolidRect(&edge, topLeft);
    edge = {x, y, x + 1, y + cy - 1};
    FillSolidRect(&edge, topLeft);
    edge = {x + cx - 1, y, x + cx, y + cy};
    FillSolidRect(&edge, bottomRight);
    edge = {x, y + cy - 1, x + cx, y + cy};
    FillSolidRect(&edge, bottomRight);
}

BOOL CDC::DrawEdge(LPRECT rect, UINT edge, UINT flags) { return ::DrawEdge(m_hDC, rect, edge, flags); }

void CDC::DrawFocusRect(LPCRECT rect) { ::DrawFocusRect(m_hDC, rect); }

int CDC::DrawText(LPCWSTR text, int length, LPRECT rect, UINT format) {
    return ::DrawTextW(m_hDC, text, length, rect, format);
}

BOOL CDC::DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }

POINT CDC::MoveTo(int x, int y) {
    POINT previous = {};
    ::MoveToEx(m_hDC, x, y, &previous);
    return previous;
}

BOOL CDC::LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* source, int sourceX, int sourceY, DWORD rop) {
    return ::BitBlt(m_hDC, x, y, width, height, source != nullptr ? source->m_hDC : nullptr, sourceX, sourceY,
                    rop);
}

COLORREF CDC::GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }

COLORREF CDC::SetPixel(int x, int y, COLORREF color) { return ::SetPixel(m_hDC, x, y, color); }

int CDC::GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hDC, index); }

CPaintDC::CPaintDC(CWnd* wnd) : m_hWnd(wnd->m_hWnd) { Attach(::BeginPaint(m_hWnd, &m_ps)); }

CPaintDC::~CPaintDC() {
    Detach();
    ::EndPaint(m_hWnd, &m_ps);
}

CClientDC::CClientDC(CWnd* wnd) : m_hWnd(wnd != nullptr ? wnd->m_hWnd : nullptr) { Attach(::GetDC(m_hWnd)); }

CClientDC::~CClientDC() {
    HDC dc = Detach();
    if (dc != nullptr) {
        ::ReleaseDC(m_hWnd, dc);
    }
}

CDC* AfxDcFromHandle(HDC dc) { return CDC::FromHandle(dc); }
