#include "framework/OleInitScope.h"

#include <ole2.h>

HRESULT AfxStartOle() { return OleInitialize(nullptr); }

void AfxEndOle() { OleUninitialize(); }
