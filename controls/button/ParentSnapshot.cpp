#include "controls/button/ParentSnapshot.h"

namespace {

// A class brush may be a system colour index plus one instead of a brush.
HBRUSH ClassBackground(HWND window) {
    const auto value = static_cast<ULONG_PTR>(::GetClassLongPtrW(window, GCLP_HBRBACKGROUND));
    if (value == 0) {
        return ::GetSysColorBrush(COLOR_BTNFACE);  // what a dialog shows where nothing is painted
    }
    if (value <= COLOR_MENUBAR + 1) {
        return ::GetSysColorBrush(static_cast<int>(value - 1));
    }
    return reinterpret_cast<HBRUSH>(value);
}

}  // namespace

void CParentSnapshot::PaintUnder(CWnd& child, CDC& dc) {
    CWnd* parent = child.GetParent();
    if (parent == nullptr) {
        return;
    }
    RECT client = {};
    child.GetClientRect(&client);
    POINT origin = {0, 0};
    ::MapWindowPoints(child.m_hWnd, parent->m_hWnd, &origin, 1);
    const SIZE size = {client.right - client.left, client.bottom - client.top};
    if (size.cx <= 0 || size.cy <= 0) {
        return;
    }
    if (IsTaken() &&
        (origin.x != m_origin.x || origin.y != m_origin.y || size.cx != m_size.cx || size.cy != m_size.cy)) {
        Drop();
    }
    m_origin = origin;
    m_size = size;
    if (!IsTaken() && !Take(*parent, dc)) {
        return;
    }
    dc.BitBlt(0, 0, m_size.cx, m_size.cy, &m_dc, 0, 0, SRCCOPY);
}

void CParentSnapshot::Drop() {
    m_select.reset();
    m_dc.DeleteDC();
    m_bitmap = CBitmap();
}

// The copy is made like the DC it is painted into, so painting it is a plain copy.
bool CParentSnapshot::Take(CWnd& parent, CDC& like) {
    if (!m_dc.CreateCompatibleDC(&like) || !m_bitmap.CreateCompatibleBitmap(like, m_size.cx, m_size.cy)) {
        Drop();
        return false;
    }
    m_select.emplace(m_dc, m_bitmap);
    if (!m_select->Selected()) {
        Drop();
        return false;
    }
    PrintParent(parent);
    return true;
}

// The parent paints into the copy as into its own client area, shifted so that the child's
// place lands at (0, 0): first its class background (all a parent that answers neither message
// below leaves), then its erasing (a dialog's colour) and its printing. Both messages behave
// alike on Windows and Wine, unlike WM_PRINT, which places the client area differently.
void CParentSnapshot::PrintParent(CWnd& parent) {
    const int saved = ::SaveDC(m_dc);  // whatever the parent's painting leaves set goes with it
    ::SetViewportOrgEx(m_dc, -m_origin.x, -m_origin.y, nullptr);
    ::SetBrushOrgEx(m_dc, -m_origin.x, -m_origin.y, nullptr);  // patterns line up with the parent's
    const RECT under = {m_origin.x, m_origin.y, m_origin.x + m_size.cx, m_origin.y + m_size.cy};
    ::FillRect(m_dc, &under, ClassBackground(parent.m_hWnd));
    const auto dc = reinterpret_cast<WPARAM>(m_dc.m_hDC);
    parent.SendMessage(WM_ERASEBKGND, dc, 0);
    parent.SendMessage(WM_PRINTCLIENT, dc, PRF_CLIENT);
    ::RestoreDC(m_dc, saved);
}
