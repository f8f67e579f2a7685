// The two kinds of failure the framework raises: out of memory and an OLE/Win32 error code, plus
// the invalid-argument failure of the array accessors.
#pragma once

#include "framework/Afx.h"

class CException {
public:
    virtual ~CException() = default;
    // Writes a user-readable description into `buffer`; returns FALSE when there is none.
    virtual BOOL GetErrorMessage(LPWSTR buffer, UINT capacity) const;
    // Writes the description, or a general one when there is none, into `buffer`.
    void DescribeError(LPWSTR buffer, UINT capacity) const;
    // Shows the description in a message box owned by the thread's active window; returns the
    // box's result. The framework itself reports failures only where the system calls in
    // (AfxCallGuarded).
    int ReportError(UINT type = MB_OK) const;
};

class CMemoryException : public CException {
public:
    BOOL GetErrorMessage(LPWSTR buffer, UINT capacity) const override;
};

class COleException : public CException {
public:
    explicit COleException(SCODE sc) : m_sc(sc) {}
    BOOL GetErrorMessage(LPWSTR buffer, UINT capacity) const override;
    SCODE m_sc;
};

class CInvalidArgException : public CException {
public:
    BOOL GetErrorMessage(LPWSTR buffer, UINT capacity) const override;
};

[[noreturn]] void AfxThrowMemoryException();
[[noreturn]] void AfxThrowOleException(SCODE sc);
[[noreturn]] void AfxThrowInvalidArgException();

// Tells the user about the exception being handled, in a box that belongs to `window`'s top-level
// owner (to nobody when there is no such window). Call only inside a catch block.
void AfxReportCurrentException(HWND window) noexcept;

// The one boundary of every way the system calls into the program: window procedures, OLE
// interfaces, hooks, enumeration callbacks. Runs `body`; an exception it lets out is reported
// for `window` and `fallback` is returned instead, so none unwinds into the system's frames.
template <typename Result, typename Body>
Result AfxCallGuarded(HWND window, Result fallback, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        AfxReportCurrentException(window);
    }
    return fallback;
}
