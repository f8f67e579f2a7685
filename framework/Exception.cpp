#include "framework/Exception.h"

#include "framework/Module.h"

#include <cwchar>

namespace {

BOOL CopyMessage(LPCWSTR text, LPWSTR buffer, UINT capacity) {
    if (buffer == nullptr || capacity == 0) {
        return FALSE;
    }
    // cppcheck-suppress lstrcpynWCalled ; the source is always a valid string: no fault for SEH to hide
    lstrcpynW(buffer, text, static_cast<int>(capacity));
    return TRUE;
}

}  // namespace

BOOL CException::GetErrorMessage(LPWSTR buffer, UINT capacity) const {
    if (buffer != nullptr && capacity > 0) {
        buffer[0] = L'\0';
    }
    return FALSE;
}

void CException::DescribeError(LPWSTR buffer, UINT capacity) const {
    if (buffer == nullptr || capacity == 0) {
        return;
    }
    if (!GetErrorMessage(buffer, capacity) || buffer[0] == L'\0') {
        // cppcheck-suppress lstrcpynWCalled ; the source is always a valid string: no fault for SEH to hide
        lstrcpynW(buffer, L"发生了未知错误。", static_cast<int>(capacity));
    }
}

int CException::ReportError(UINT type) const {
    wchar_t text[512] = {};
    DescribeError(text, 512);
    return AfxShowMessageBox(GetActiveWindow(), text, type);
}

BOOL CMemoryException::GetErrorMessage(LPWSTR buffer, UINT capacity) const {
    return CopyMessage(L"内存不足。", buffer, capacity);
}

BOOL COleException::GetErrorMessage(LPWSTR buffer, UINT capacity) const {
    if (buffer == nullptr || capacity == 0) {
        return FALSE;
    }
    LPWSTR system = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(m_sc), 0, reinterpret_cast<LPWSTR>(&system), 0, nullptr);
    if (length != 0 && system != nullptr) {
        // cppcheck-suppress lstrcpynWCalled ; the source is always a valid string: no fault for SEH to hide
        lstrcpynW(buffer, system, static_cast<int>(capacity));
        LocalFree(system);
        return TRUE;
    }
    _snwprintf(buffer, capacity, L"错误 0x%08lX。", static_cast<unsigned long>(m_sc));
    buffer[capacity - 1] = L'\0';
    return TRUE;
}

BOOL CInvalidArgException::GetErrorMessage(LPWSTR buffer, UINT capacity) const {
    return CopyMessage(L"参数无效。", buffer, capacity);
}

void AfxThrowMemoryException() { throw CMemoryException(); }

void AfxThrowOleException(SCODE sc) { throw COleException(sc); }

void AfxThrowInvalidArgException() { throw CInvalidArgException(); }
