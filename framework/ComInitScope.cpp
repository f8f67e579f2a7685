#include "framework/ComInitScope.h"

#include <objbase.h>

HRESULT AfxStartCom() { return CoInitialize(nullptr); }

void AfxEndCom() { CoUninitialize(); }

bool CComInitScope::IsUsable() const { return Succeeded() || Result() == RPC_E_CHANGED_MODE; }
