// Initialises COM on the calling thread for the life of the object, and balances only an
// initialisation that succeeded. Scopes nest: an inner one sees S_FALSE, which is success too.
#pragma once

#include "framework/Afx.h"

class CComInitScope {
public:
    CComInitScope();
    ~CComInitScope();
    CComInitScope(const CComInitScope&) = delete;
    CComInitScope& operator=(const CComInitScope&) = delete;

    // Whether COM can be used on this thread now: this scope initialised it (S_OK, S_FALSE), or
    // the thread already runs in the other threading model.
    bool IsUsable() const;
    HRESULT Result() const { return m_result; }

private:
    HRESULT m_result;
};
