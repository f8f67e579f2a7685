#include "framework/ComInitScope.h"

#include <objbase.h>

CComInitScope::CComInitScope() : m_result(CoInitialize(nullptr)) {}

// Every successful CoInitialize, S_FALSE included, counts once and needs its CoUninitialize.
CComInitScope::~CComInitScope() {
    if (SUCCEEDED(m_result)) {
        CoUninitialize();
    }
}

bool CComInitScope::IsUsable() const { return SUCCEEDED(m_result) || m_result == RPC_E_CHANGED_MODE; }
