#include "controls/menu/PictureMenuItem.h"

#include <cwchar>

const wchar_t* CPictureMenuItem::GetText() const { return m_text ? m_text.get() : L""; }

void CPictureMenuItem::SetText(const wchar_t* text) {
    if (text == nullptr) {
        m_text.reset();
        return;
    }
    const size_t length = std::wcslen(text);
    auto copy = std::make_unique<wchar_t[]>(length + 1);
    std::wmemcpy(copy.get(), text, length + 1);
    m_text = std::move(copy);
}
