#include "pages/AnsiText.h"

#include "framework/Exception.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {

// First guess: no code page needs more than four bytes for one wide character of ordinary text.
constexpr std::size_t kBytesPerCharacterGuess = 4;

[[noreturn]] void RaiseConversionFailure() {
    const HRESULT code = AnsiTextFailureCode(GetLastError());
    if (code == E_OUTOFMEMORY) {
        AfxThrowMemoryException();
    }
    AfxThrowOleException(code);
}

}  // namespace

// A failure with no error code left behind still has to read as a failure.
HRESULT AnsiTextFailureCode(DWORD lastError) {
    const auto code = static_cast<HRESULT>(lastError);
    if (code > 0) {
        return static_cast<HRESULT>(0x80070000u | (lastError & 0xFFFFu));
    }
    return code == 0 ? E_FAIL : code;
}

CAnsiText::CAnsiText(LPCWSTR text, UINT codePage) {
    try {
        Convert(text, codePage);
    } catch (...) {
        FreeHeapBlock();  // the destructor does not run for a constructor that raised
        throw;
    }
}

CAnsiText::~CAnsiText() { FreeHeapBlock(); }

void CAnsiText::Convert(LPCWSTR text, UINT codePage) {
    if (text == nullptr) {
        return;
    }
    const std::size_t characters = std::wcslen(text) + 1;  // with the terminator
    if (characters > static_cast<std::size_t>(INT_MAX) / kBytesPerCharacterGuess) {
        AfxThrowOleException(HRESULT_FROM_WIN32(ERROR_ARITHMETIC_OVERFLOW));
    }
    const int length = static_cast<int>(characters);
    const int guess = static_cast<int>(characters * kBytesPerCharacterGuess);
    Reserve(static_cast<std::size_t>(guess));
    if (WideCharToMultiByte(codePage, 0, text, length, m_text, guess, nullptr, nullptr) != 0) {
        return;
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        RaiseConversionFailure();
    }
    const int needed = WideCharToMultiByte(codePage, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) {
        RaiseConversionFailure();
    }
    Reserve(static_cast<std::size_t>(needed));
    if (WideCharToMultiByte(codePage, 0, text, length, m_text, needed, nullptr, nullptr) == 0) {
        RaiseConversionFailure();
    }
}

// Up to the inline size the text lives in the object itself; beyond it in one zero-filled heap
// block that grows or shrinks with the request.
void CAnsiText::Reserve(std::size_t bytes) {
    if (bytes <= kInlineSize) {
        FreeHeapBlock();
        m_text = m_inline;
        return;
    }
    if (m_heapSize == 0) {
        void* block = std::calloc(bytes, 1);
        if (block == nullptr) {
            AfxThrowMemoryException();
        }
        m_text = static_cast<char*>(block);
        m_heapSize = bytes;
        return;
    }
    void* block = std::realloc(m_text, bytes);
    if (block == nullptr) {
        AfxThrowMemoryException();  // the old block is still ours and is freed with the object
    }
    m_text = static_cast<char*>(block);
    if (bytes > m_heapSize) {
        std::memset(m_text + m_heapSize, 0, bytes - m_heapSize);
    }
    m_heapSize = bytes;
}

void CAnsiText::FreeHeapBlock() {
    if (m_heapSize != 0) {
        std::free(m_text);
        m_heapSize = 0;
        m_text = nullptr;
    }
}
