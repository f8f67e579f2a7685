// Owner of a block of COM task memory (move-only; frees it with CoTaskMemFree): what the shell
// hands out as item id lists and strings (ParseDisplayName, IEnumIDList::Next, StrRetToStr).
#pragma once

#include "framework/Afx.h"
#include "framework/HandleOwner.h"

BOOL AfxFreeTaskMemory(void* memory);

template <typename T>
BOOL AfxFreeTaskMemoryOf(T* memory) {
    return AfxFreeTaskMemory(memory);
}

template <typename T>
class CTaskMemory : public CHandleOwner<CPlainHandleSlot<T*, &AfxFreeTaskMemoryOf<T>>> {
public:
    CTaskMemory() = default;
    explicit CTaskMemory(T* memory) { this->Attach(memory); }
    CTaskMemory(CTaskMemory&&) noexcept = default;
    CTaskMemory& operator=(CTaskMemory&&) noexcept = default;

    T* Get() const { return this->m_handle; }
    // Where a call that hands out a block stores it; frees the one held before.
    T** Receive() {
        this->FreeHandle();
        return &this->m_handle;
    }
    BOOL Reset() { return this->FreeHandle(); }
};
