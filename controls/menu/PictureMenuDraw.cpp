#include "controls/menu/PictureMenu.h"

void CPictureMenu::DrawItem(LPDRAWITEMSTRUCT) {}
