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
    // box's result. The framework itself reports failures only from its window procedure.
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
