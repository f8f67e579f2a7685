// Narrow text of a code page made from wide text, for the calls that take narrow text only
// (WinExec). Lives on the stack for one use; short texts never touch the heap.
#pragma once

#include "framework/Afx.h"

#include <cstddef>

class CAnsiText {
public:
    // Converts at once; raises CMemoryException or COleException when the conversion fails.
    CAnsiText(LPCWSTR text, UINT codePage);
    ~CAnsiText();
    CAnsiText(const CAnsiText&) = delete;
    CAnsiText& operator=(const CAnsiText&) = delete;

    // The narrow text, or nullptr when the input was nullptr.
    LPCSTR GetText() const { return m_text; }
    operator LPCSTR() const { return m_text; }  // NOLINT
    bool UsesInlineBuffer() const { return m_text == m_inline; }

    static constexpr std::size_t kInlineSize = 128;

private:
    void Convert(LPCWSTR text, UINT codePage);
    void Reserve(std::size_t bytes);
    void FreeHeapBlock();

    char* m_text = nullptr;
    std::size_t m_heapSize = 0;  // bytes of the heap block, 0 while none is held
    char m_inline[kInlineSize] = {};
};

// The HRESULT that a conversion failure carries for a last-error code.
HRESULT AnsiTextFailureCode(DWORD lastError);
