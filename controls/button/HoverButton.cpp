#include "controls/button/HoverButton.h"

CHoverButton::CHoverButton() = default;

CHoverButton::~CHoverButton() = default;

int CHoverButton::AssignIcons(HICON iconIn, HICON) {
    if (iconIn != nullptr) {
        DestroyIcon(iconIn);
    }
    return 0;
}

void CHoverButton::SetFlatLook(BOOL) {}
