// A push button; owner-drawn buttons paint themselves in DrawItem.
#pragma once

#include "framework/Wnd.h"

class CButton : public CWnd {
public:
    // Called for WM_DRAWITEM of an owner-drawn button (the parent reflects it here).
    virtual void DrawItem(LPDRAWITEMSTRUCT item);

    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};
