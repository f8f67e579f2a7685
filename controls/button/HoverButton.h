// The program's owner-drawn push button.
#pragma once

#include "framework/AfxWin.h"

class CHoverButton : public CButton {
public:
    CHoverButton();
    ~CHoverButton() override;

    // Takes over both icons (normal, idle; the idle one may be NULL); 0 on success, 1 when an
    // icon cannot be inspected.
    int AssignIcons(HICON iconIn, HICON iconOut);
    void SetFlatLook(BOOL flat);
};
