// Owner of a kernel object handle (move-only; closes it): a process, a token, a mutex, a file
// mapping. INVALID_HANDLE_VALUE is never given to it: the calls that return it for a failure are
// checked by the caller, which then keeps nothing.
#pragma once

#include "framework/Afx.h"
#include "framework/HandleOwner.h"

BOOL AfxCloseKernelHandle(HANDLE handle);

class CKernelHandle : public CHandleOwner<CPlainHandleSlot<HANDLE, &AfxCloseKernelHandle>> {
public:
    CKernelHandle() = default;
    explicit CKernelHandle(HANDLE handle) { Attach(handle); }
    CKernelHandle(CKernelHandle&&) noexcept = default;
    CKernelHandle& operator=(CKernelHandle&&) noexcept = default;

    HANDLE Get() const { return m_handle; }
    BOOL Close() { return FreeHandle(); }
};
