#include "framework/Exception.h"

#include "framework/Module.h"

#include <cwchar>
#include <new>

namespace {

// Longer than any message the system has for an error code; a longer one falls back to the code.
constexpr DWORD kSystemMessageCapacity = 1024;
// Room for the text of a report box.
constexpr UINT kReportCapacity = 512;

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
    wchar_t text[kReportCapacity] = {};
    DescribeError(text, kReportCapacity);
    return AfxShowMessageBox(GetActiveWindow(), text, type);
}

BOOL CMemoryException::GetErrorMessage(LPWSTR buffer, UINT capacity) const {
    return CopyMessage(L"内存不足。", buffer, capacity);
}

BOOL COleException::GetErrorMessage(LPWSTR buffer, UINT capacity) const {
    if (buffer == nullptr || capacity == 0) {
        return FALSE;
    }
    wchar_t system[kSystemMessageCapacity] = {};
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        static_cast<DWORD>(m_sc), 0, system, kSystemMessageCapacity, nullptr);
    if (length != 0) {
        // cppcheck-suppress lstrcpynWCalled ; the source is always a valid string: no fault for SEH to hide
        lstrcpynW(buffer, system, static_cast<int>(capacity));
        return TRUE;
    }
    _snwprintf(buffer, capacity, L"错误 0x%08lX。", static_cast<unsigned long>(m_sc));
    buffer[capacity - 1] = L'\0';
    return TRUE;
}

BOOL CInvalidArgException::GetErrorMessage(LPWSTR buffer, UINT capacity) const {
    return CopyMessage(L"参数无效。", buffer, capacity);
}

namespace {

// Tells the user about a failure that ended a call from the system, in a box that belongs to the
// window's top-level owner (or to nobody when the window is gone by now).
void ReportFailure(HWND window, const CException& failure) {
    wchar_t text[kReportCapacity] = {};
    failure.DescribeError(text, kReportCapacity);
    AfxShowMessageBox(IsWindow(window) ? GetAncestor(window, GA_ROOTOWNER) : nullptr, text, MB_OK);
}

}  // namespace

// Rethrown only to learn its kind: ours describe themselves, the library's lack of memory is
// worded as ours, anything else gets the general text.
void AfxReportCurrentException(HWND window) noexcept {
    try {
        throw;
    } catch (const CException& failure) {
        ReportFailure(window, failure);
    } catch (const std::bad_alloc&) {
        ReportFailure(window, CMemoryException());
    } catch (...) {
        ReportFailure(window, CException());
    }
}

void AfxThrowMemoryException() { throw CMemoryException(); }

void AfxThrowOleException(SCODE sc) { throw COleException(sc); }

void AfxThrowInvalidArgException() { throw CInvalidArgException(); }
