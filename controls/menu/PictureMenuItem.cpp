#include "controls/menu/PictureMenuItem.h"

#include <cwchar>

// An owner-drawn item is silent to screen readers unless its data starts with this header; the
// signature tells them the text pointer beside it is theirs to read. (The record has no virtual
// functions and no bases, so its first member sits at its address.)
CPictureMenuItem::CPictureMenuItem() { m_accessible.dwMSAASignature = static_cast<DWORD>(MSAA_MENU_SIG); }

const wchar_t* CPictureMenuItem::GetText() const { return m_text ? m_text.get() : L""; }

// The header is pointed at every new copy, so a reader never meets a freed text.
void CPictureMenuItem::SetText(const wchar_t* text) {
    if (text == nullptr) {
        m_text.reset();
        m_accessible.cchWText = 0;
        m_accessible.pszWText = nullptr;
        return;
    }
    const size_t length = std::wcslen(text);
    auto copy = std::make_unique<wchar_t[]>(length + 1);
    std::wmemcpy(copy.get(), text, length + 1);
    m_text = std::move(copy);
    m_accessible.cchWText = static_cast<DWORD>(length);
    m_accessible.pszWText = m_text.get();
}
