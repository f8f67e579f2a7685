// Starts OLE on the calling thread (single-threaded apartment) for the life of the object, and
// ends only a start that succeeded. Drag and drop (RegisterDragDrop, DoDragDrop) needs OLE, not
// just COM. RPC_E_CHANGED_MODE, a thread already in the free-threaded model, is a failure here:
// drag and drop cannot run there.
#pragma once

#include "framework/Afx.h"
#include "framework/StartupScope.h"

HRESULT AfxStartOle();
void AfxEndOle();

class COleInitScope : public CStartupScope<&AfxStartOle, &AfxEndOle> {
public:
    COleInitScope() = default;
};
