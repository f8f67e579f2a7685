// Initialises COM on the calling thread for the life of the object, and balances only an
// initialisation that succeeded (every one, S_FALSE included, needs its CoUninitialize).
#pragma once

#include "framework/Afx.h"
#include "framework/StartupScope.h"

HRESULT AfxStartCom();
void AfxEndCom();

class CComInitScope : public CStartupScope<&AfxStartCom, &AfxEndCom> {
public:
    CComInitScope() = default;

    // Whether COM can be used on this thread now: this scope initialised it (S_OK, S_FALSE), or
    // the thread already runs in the other threading model.
    bool IsUsable() const;
};
