#include "controls/menu/PictureMenu.h"

int CPictureMenu::s_osVersion = 1;
int CPictureMenu::s_drawMode = 0;
BOOL CPictureMenu::s_selectDisabled = FALSE;
CImageList CPictureMenu::s_sharedImages;
CArray<int, int&> CPictureMenu::s_sharedImageIds;
CTypedPtrArray<CPtrArray, HMENU> CPictureMenu::s_allSubMenus;
BOOL CPictureMenu::s_themeTested = FALSE;
BOOL CPictureMenu::s_classicTheme = FALSE;

CPictureMenu::CPictureMenu() = default;

CPictureMenu::~CPictureMenu() { DestroyMenu(); }

BOOL CPictureMenu::DestroyMenu() { return CMenu::DestroyMenu(); }

BOOL CPictureMenu::LoadMenu(UINT id) { return LoadMenu(MAKEINTRESOURCEW(id)); }

BOOL CPictureMenu::LoadMenu(LPCWSTR) { return FALSE; }

void CPictureMenu::MeasureItem(LPMEASUREITEMSTRUCT) {}
