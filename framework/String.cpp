#include "framework/String.h"

#include "framework/BoundsFault.h"
#include "framework/Exception.h"
#include "framework/Module.h"

#include <algorithm>
#include <cstdarg>
#include <cwchar>
#include <cwctype>

CString::CString(const wchar_t* text) {
    if (text != nullptr) {
        m_text = text;
    }
}

CString::CString(const wchar_t* text, int length) {
    if (text != nullptr && length > 0) {
        m_text.assign(text, static_cast<size_t>(length));
    }
}

wchar_t CString::GetAt(int index) const {
    if (index < 0 || index >= GetLength()) {
        CBoundsFault::Report("CString::GetAt index");
        AfxThrowInvalidArgException();
    }
    return m_text[static_cast<size_t>(index)];
}

CString& CString::operator=(const wchar_t* text) {
    if (text == nullptr) {
        m_text.clear();
    } else {
        m_text = text;  // std::wstring::operator= handles self-assignment from c_str()
    }
    return *this;
}

CString& CString::operator+=(const wchar_t* text) {
    if (text != nullptr) {
        m_text += text;
    }
    return *this;
}

CString& CString::operator+=(wchar_t ch) {
    m_text += ch;
    return *this;
}

CString& CString::operator+=(const CString& other) {
    m_text += other.m_text;
    return *this;
}

int CString::Find(const wchar_t* sub, int start) const {
    if (sub == nullptr || start < 0 || start > GetLength()) {
        return -1;
    }
    const size_t at = m_text.find(sub, static_cast<size_t>(start));
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CString::Find(wchar_t ch, int start) const {
    if (start < 0 || start > GetLength()) {
        return -1;
    }
    const size_t at = m_text.find(ch, static_cast<size_t>(start));
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(wchar_t ch) const {
    const size_t at = m_text.rfind(ch);
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

CString CString::Left(int count) const {
    count = std::clamp(count, 0, GetLength());
    return CString(m_text.substr(0, static_cast<size_t>(count)));
}

CString CString::Right(int count) const {
    count = std::clamp(count, 0, GetLength());
    return CString(m_text.substr(static_cast<size_t>(GetLength() - count)));
}

CString CString::Mid(int first, int count) const {
    first = std::clamp(first, 0, GetLength());
    const int available = GetLength() - first;
    if (count < 0 || count > available) {
        count = available;
    }
    return CString(m_text.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

CString& CString::MakeLower() {
    if (!m_text.empty()) {
        // Locale-aware lower-casing, as the user sees letters.
        CharLowerBuffW(m_text.data(), static_cast<DWORD>(m_text.size()));
    }
    return *this;
}

int CString::Compare(const wchar_t* other) const { return m_text.compare(other ? other : L""); }

// NOLINTNEXTLINE(cert-dcl50-cpp): printf-style by design; the arguments go straight to _vsnwprintf.
void CString::Format(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    const int length = _vscwprintf(format, measure);
    va_end(measure);
    if (length < 0) {
        m_text.clear();
    } else {
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        _vsnwprintf(text.data(), text.size(), format, args);
        text.resize(static_cast<size_t>(length));
        m_text.swap(text);
    }
    va_end(args);
}

BOOL CString::LoadString(UINT id) {
    const wchar_t* resource = nullptr;
    // With a zero buffer size LoadStringW hands out a read-only pointer into the resource itself.
    const int length = ::LoadStringW(AfxGetResourceHandle(), id, reinterpret_cast<LPWSTR>(&resource), 0);
    if (length <= 0 || resource == nullptr) {
        m_text.clear();
        return FALSE;
    }
    m_text.assign(resource, static_cast<size_t>(length));
    return TRUE;
}

wchar_t* CString::GetBuffer(int minLength) {
    const size_t wanted = static_cast<size_t>(std::max(minLength, GetLength()));
    m_text.resize(wanted);
    // std::wstring always keeps a terminator after size(), so wanted + 1 characters are writable
    // through data() as long as the last one stays NUL; callers are told wanted characters.
    return m_text.data();
}

void CString::ReleaseBuffer(int newLength) {
    if (newLength < 0) {
        newLength = static_cast<int>(wcsnlen(m_text.c_str(), m_text.size()));
    } else if (newLength > GetLength()) {
        // More characters claimed than the buffer had room for: keep only what is ours.
        CBoundsFault::Report("CString::ReleaseBuffer length");
        newLength = GetLength();
    }
    m_text.resize(static_cast<size_t>(newLength));
}
