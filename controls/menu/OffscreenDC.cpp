#include "controls/menu/OffscreenDC.h"

namespace {

// Printers (and plotters) get no off-screen copy: they are drawn on directly.
bool IsPrinterContext(const CDC& dc) {
    const int technology = dc.GetDeviceCaps(TECHNOLOGY);
    return technology == DT_RASPRINTER || technology == DT_PLOTTER;
}

}  // namespace

// When the bitmap or the memory context cannot be made (an empty or huge area, exhausted GDI
// memory), the object borrows the target's handle like a printer context does, so the caller's
// drawing still lands on the target instead of being lost.
COffscreenDC::COffscreenDC(CDC* target, const RECT& area) : m_pTargetDC(target), m_rect(area) {
    if (target == nullptr || target->m_hDC == nullptr) {
        return;
    }
    m_isOffscreen = !IsPrinterContext(*target) && StartOffscreen();
    if (!m_isOffscreen) {
        Attach(target->m_hDC);
    }
}

COffscreenDC::~COffscreenDC() {
    if (m_isOffscreen) {
        const int width = m_rect.right - m_rect.left;
        const int height = m_rect.bottom - m_rect.top;
        ::BitBlt(m_pTargetDC->m_hDC, m_rect.left, m_rect.top, width, height, m_hDC, m_rect.left, m_rect.top,
                 SRCCOPY);
        SelectObject(m_pOldBitmap);  // the bitmap member, no longer selected, goes after the body
        DeleteDC();
    } else {
        Detach();  // the borrowed handle stays with the target
    }
}

// Makes the memory context and the bitmap under the area; with its window origin at the area's
// corner, drawing uses the target's coordinates. FALSE, with nothing left made, on failure.
bool COffscreenDC::StartOffscreen() {
    const int width = m_rect.right - m_rect.left;
    const int height = m_rect.bottom - m_rect.top;
    if (width <= 0 || height <= 0) {
        return false;
    }
    if (!CreateCompatibleDC(m_pTargetDC)) {
        return false;
    }
    if (m_bitmap.CreateCompatibleBitmap(m_pTargetDC->m_hDC, width, height)) {
        const HGDIOBJ previous = SelectObject(m_bitmap.m_hObject);
        if (previous != nullptr && previous != HGDI_ERROR) {
            m_pOldBitmap = previous;
            ::SetWindowOrgEx(m_hDC, m_rect.left, m_rect.top, nullptr);
            return true;
        }
        m_bitmap = CBitmap();
    }
    DeleteDC();
    return false;
}
