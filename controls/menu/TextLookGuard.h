// Transparent text on a drawing context for the life of the guard; the previous background mode
// and text colour come back after.
#pragma once

#include "framework/Dc.h"

class CTextLookGuard {
public:
    explicit CTextLookGuard(CDC* dc);
    ~CTextLookGuard();
    CTextLookGuard(const CTextLookGuard&) = delete;
    CTextLookGuard& operator=(const CTextLookGuard&) = delete;

private:
    CDC* m_dc;
    int m_mode;
    COLORREF m_color;
};
