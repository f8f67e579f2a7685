// Base of the move-only owners of GDI objects, image lists and icons. `Slot` holds the handle
// under the name its wrapper has always shown (m_hObject, m_hImageList, m_hIcon) and says how the
// handle is freed:
//     struct Slot { using Handle = ...; Handle m_hName = nullptr;
//                   static constexpr Handle Slot::*HeldMember(); static BOOL Free(Handle); };
// This class adds the ownership once: Attach, Detach, moving, and freeing when the owner goes.
#pragma once

#include "framework/Afx.h"

#include <utility>

template <typename Slot>
class CHandleOwner : public Slot {
public:
    using Handle = typename Slot::Handle;

    CHandleOwner(const CHandleOwner&) = delete;
    CHandleOwner& operator=(const CHandleOwner&) = delete;

    Handle GetSafeHandle() const { return Held(); }

    // Takes over `handle`; FALSE (and nothing taken) for a null handle or while holding one.
    BOOL Attach(Handle handle) {
        if (handle == nullptr || Held() != nullptr) {
            return FALSE;
        }
        Held() = handle;
        return TRUE;
    }
    // Lets go of the handle without freeing it and returns it.
    Handle Detach() { return std::exchange(Held(), nullptr); }

protected:
    CHandleOwner() = default;
    CHandleOwner(CHandleOwner&& other) noexcept { Held() = other.Detach(); }
    // cppcheck-suppress operatorEqVarError ; the handle member is assigned through Held()
    CHandleOwner& operator=(CHandleOwner&& other) noexcept {
        if (this != &other) {
            FreeHandle();
            Held() = other.Detach();
        }
        return *this;
    }
    ~CHandleOwner() { FreeHandle(); }

    // Frees the handle held; FALSE when there is none or freeing fails.
    BOOL FreeHandle() {
        Handle handle = Detach();
        return handle != nullptr && Slot::Free(handle);
    }

private:
    Handle& Held() { return this->*Slot::HeldMember(); }
    Handle Held() const { return this->*Slot::HeldMember(); }
};

// The slot of an owner whose handle has no name of its own to keep: `free` says how it goes.
template <typename HandleType, BOOL (*free)(HandleType)>
struct CPlainHandleSlot {
    using Handle = HandleType;
    HandleType m_handle = nullptr;

protected:
    static constexpr auto HeldMember() { return &CPlainHandleSlot::m_handle; }
    static constexpr auto Free = free;
};
