// Starts OLE on the calling thread (single-threaded apartment) for the life of the object, and
// ends only a start that succeeded. Scopes nest: an inner one sees S_FALSE, which counts too.
// Drag and drop (RegisterDragDrop, DoDragDrop) needs OLE, not just COM.
#pragma once

#include "framework/Afx.h"

class COleInitScope {
public:
    COleInitScope();
    ~COleInitScope();
    COleInitScope(const COleInitScope&) = delete;
    COleInitScope& operator=(const COleInitScope&) = delete;

    // Whether this scope started OLE (S_OK, S_FALSE); RPC_E_CHANGED_MODE, a thread already in
    // the free-threaded model, is a failure here, since drag and drop cannot run there.
    bool Succeeded() const;
    HRESULT Result() const { return m_result; }

private:
    HRESULT m_result;
};
