// Keeps a window from redrawing for the life of the guard, then lets it redraw and repaints it
// once. Adding many rows to a list this way costs far less than updating it after every row.
#pragma once

#include "framework/Wnd.h"

class CScopedRedrawPause {
public:
    explicit CScopedRedrawPause(const CWnd& wnd) : m_hWnd(wnd.m_hWnd) {
        if (m_hWnd != nullptr) {
            ::SendMessageW(m_hWnd, WM_SETREDRAW, FALSE, 0);
        }
    }
    ~CScopedRedrawPause() {
        if (m_hWnd != nullptr) {
            ::SendMessageW(m_hWnd, WM_SETREDRAW, TRUE, 0);
            ::InvalidateRect(m_hWnd, nullptr, TRUE);
        }
    }
    CScopedRedrawPause(const CScopedRedrawPause&) = delete;
    CScopedRedrawPause& operator=(const CScopedRedrawPause&) = delete;

private:
    HWND m_hWnd;
};
