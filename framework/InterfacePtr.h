// Owner of one reference to a COM interface: releases it when it goes.
#pragma once

#include "framework/Afx.h"

#include <unknwn.h>

#include <utility>

template <typename T>
class CInterfacePtr {
public:
    CInterfacePtr() = default;
    CInterfacePtr(const CInterfacePtr&) = delete;
    CInterfacePtr& operator=(const CInterfacePtr&) = delete;
    CInterfacePtr(CInterfacePtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    CInterfacePtr& operator=(CInterfacePtr&& other) noexcept {
        if (this != &other) {
            Reset();
            m_p = std::exchange(other.m_p, nullptr);
        }
        return *this;
    }
    ~CInterfacePtr() { Reset(); }

    T* operator->() const { return m_p; }
    T* Get() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

    // Where a call that hands out a new reference stores it; drops the one held before.
    T** Receive() {
        Reset();
        return &m_p;
    }
    void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }

    // Takes over a reference the caller holds (a new object's first); FALSE (and nothing taken)
    // for nullptr or while holding one.
    BOOL Attach(T* p) {
        if (p == nullptr || m_p != nullptr) {
            return FALSE;
        }
        m_p = p;
        return TRUE;
    }
    // Lets go of the reference without releasing it and returns it.
    T* Detach() { return std::exchange(m_p, nullptr); }
    // Drops the reference held, before the owner ends.
    void Reset() {
        if (m_p != nullptr) {
            std::exchange(m_p, nullptr)->Release();
        }
    }

private:
    T* m_p = nullptr;
};
