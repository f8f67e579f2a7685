#include "controls/menu/PictureMenuItem.h"

const wchar_t* CPictureMenuItem::GetText() const { return m_text ? m_text.get() : L""; }

void CPictureMenuItem::SetText(const wchar_t*) {}
