// The reference count of a COM object of ours that implements one interface. The object starts
// with one reference, owned by whoever made it with new, and deletes itself with the last one.
#pragma once

#include "framework/Afx.h"

#include <unknwn.h>

template <typename Interface>
class CComObject : public Interface {
public:
    CComObject(const CComObject&) = delete;
    CComObject& operator=(const CComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, __uuidof(Interface))) {
            *object = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&m_references));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&m_references);
        if (left == 0) {
            delete this;
        }
        return static_cast<ULONG>(left);
    }

protected:
    CComObject() = default;
    // Only Release ends the object; the interface's own slots come first in the table, so COM
    // never sees this one.
    virtual ~CComObject() = default;

private:
    LONG m_references = 1;
};
