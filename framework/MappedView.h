// Owner of a view of a file mapping (move-only; unmaps it).
#pragma once

#include "framework/Afx.h"
#include "framework/HandleOwner.h"

BOOL AfxUnmapView(void* view);

class CMappedView : public CHandleOwner<CPlainHandleSlot<void*, &AfxUnmapView>> {
public:
    CMappedView() = default;
    CMappedView(CMappedView&&) noexcept = default;
    CMappedView& operator=(CMappedView&&) noexcept = default;

    // Maps `size` bytes of `mapping` from its start with `access`; FALSE, with nothing held, when
    // the system refuses or a view is held already.
    BOOL Map(HANDLE mapping, DWORD access, SIZE_T size);
    void* Get() const { return m_handle; }
    BOOL Close() { return FreeHandle(); }
};
