#include "controls/menu/TextLookGuard.h"

CTextLookGuard::CTextLookGuard(CDC* dc)
    : m_dc(dc), m_mode(dc->SetBkMode(TRANSPARENT)), m_color(::GetTextColor(dc->m_hDC)) {}

CTextLookGuard::~CTextLookGuard() {
    m_dc->SetTextColor(m_color);
    m_dc->SetBkMode(m_mode);
}
