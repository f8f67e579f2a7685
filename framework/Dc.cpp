#include "framework/Dc.h"

#include "framework/BoundsFault.h"
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

// A drawing wrapper used with no DC is the caller's fault: the test build stops in the report; the
// shipped program goes on, and the call fails as it does for any DC that is not there.
HDC CDC::CheckedDc(const char* call) const {
    if (m_hDC == nullptr) {
        CBoundsFault::Report(call);
    }
    return m_hDC;
}

HGDIOBJ CDC::SelectObject(HGDIOBJ object) { return ::SelectObject(CheckedDc("CDC::SelectObject"), object); }

HGDIOBJ CDC::SelectObject(const CGdiObject* object) {
    return ::SelectObject(CheckedDc("CDC::SelectObject"), object->m_hObject);
}

int CDC::SetBkMode(int mode) { return ::SetBkMode(CheckedDc("CDC::SetBkMode"), mode); }

COLORREF CDC::SetBkColor(COLORREF color) { return ::SetBkColor(CheckedDc("CDC::SetBkColor"), color); }

COLORREF CDC::SetTextColor(COLORREF color) { return ::SetTextColor(CheckedDc("CDC::SetTextColor"), color); }

BOOL CDC::Rectangle(int left, int top, int right, int bottom) {
    return ::Rectangle(CheckedDc("CDC::Rectangle"), left, top, right, bottom);
}

void CDC::FillRect(LPCRECT rect, CBrush* brush) { ::FillRect(CheckedDc("CDC::FillRect"), rect, *brush); }

void CDC::FrameRect(LPCRECT rect, CBrush* brush) { ::FrameRect(CheckedDc("CDC::FrameRect"), rect, *brush); }

void CDC::FillSolidRect(LPCRECT rect, COLORREF color) {
    HDC dc = CheckedDc("CDC::FillSolidRect");
    const COLORREF previous = ::SetBkColor(dc, color);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, rect, nullptr, 0, nullptr);
    ::SetBkColor(dc, previous);
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

BOOL CDC::DrawEdge(LPRECT rect, UINT edge, UINT flags) {
    return ::DrawEdge(CheckedDc("CDC::DrawEdge"), rect, edge, flags);
}

void CDC::DrawFocusRect(LPCRECT rect) { ::DrawFocusRect(CheckedDc("CDC::DrawFocusRect"), rect); }

int CDC::DrawText(LPCWSTR text, int length, LPRECT rect, UINT format) {
    return ::DrawTextW(CheckedDc("CDC::DrawText"), text, length, rect, format);
}

BOOL CDC::DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(CheckedDc("CDC::DrawIcon"), x, y, icon); }

POINT CDC::MoveTo(int x, int y) {
    POINT previous = {};
    ::MoveToEx(CheckedDc("CDC::MoveTo"), x, y, &previous);
    return previous;
}

BOOL CDC::LineTo(int x, int y) { return ::LineTo(CheckedDc("CDC::LineTo"), x, y); }

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* source, int sourceX, int sourceY, DWORD rop) {
    return ::BitBlt(CheckedDc("CDC::BitBlt"), x, y, width, height,
                    source != nullptr ? source->m_hDC : nullptr, sourceX, sourceY, rop);
}

COLORREF CDC::GetPixel(int x, int y) const { return ::GetPixel(CheckedDc("CDC::GetPixel"), x, y); }

COLORREF CDC::SetPixel(int x, int y, COLORREF color) {
    return ::SetPixel(CheckedDc("CDC::SetPixel"), x, y, color);
}

int CDC::GetDeviceCaps(int index) const { return ::GetDeviceCaps(CheckedDc("CDC::GetDeviceCaps"), index); }

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
