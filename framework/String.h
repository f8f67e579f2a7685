// Wide-character string with the operations the program's windows use.
#pragma once

#include "framework/Afx.h"

#include <string>

class CString {
public:
    CString() = default;
    // cppcheck-suppress noExplicitConstructor ; converts implicitly, as a string literal does
    CString(const wchar_t* text);  // NOLINT: implicit like a string literal
    CString(const wchar_t* text, int length);
    // cppcheck-suppress noExplicitConstructor ; converts implicitly, as a string literal does
    CString(const std::wstring& text) : m_text(text) {}  // NOLINT

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }

    operator const wchar_t*() const { return m_text.c_str(); }  // NOLINT
    const wchar_t* GetString() const { return m_text.c_str(); }
    const std::wstring& Str() const { return m_text; }

    // An index outside the text is a bounds fault and raises CInvalidArgException.
    wchar_t GetAt(int index) const;

    CString& operator=(const wchar_t* text);
    CString& operator+=(const wchar_t* text);
    CString& operator+=(wchar_t ch);
    CString& operator+=(const CString& other);

    // Positions are character indices; -1 when not found.
    int Find(const wchar_t* sub, int start = 0) const;
    int Find(wchar_t ch, int start = 0) const;
    int ReverseFind(wchar_t ch) const;

    CString Left(int count) const;
    CString Right(int count) const;
    CString Mid(int first, int count = -1) const;

    CString& MakeLower();

    int Compare(const wchar_t* other) const;

    // printf-style formatting with the Windows conventions (%s is a wide string).
    void Format(const wchar_t* format, ...);
    // Loads a string resource from the program's resource module; FALSE if it is missing or empty.
    BOOL LoadString(UINT id);

    // Direct access for calls that fill a buffer: GetBuffer gives room for at least minLength
    // characters plus a terminator; ReleaseBuffer takes the length (or measures it up to the NUL); a
    // length past the buffer is a bounds fault and is cut to the buffer.
    wchar_t* GetBuffer(int minLength);
    void ReleaseBuffer(int newLength = -1);

    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator==(const CString& a, const wchar_t* b) { return a.m_text == (b ? b : L""); }
    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_text + b.m_text); }

private:
    std::wstring m_text;
};
