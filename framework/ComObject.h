// The reference count of a COM object of ours that implements one interface. The object starts
// with one reference, which AfxMakeComObject hands to an owner at once, and deletes itself with
// the last one.
#pragma once

#include "framework/Afx.h"
#include "framework/Exception.h"
#include "framework/InterfacePtr.h"

#include <unknwn.h>

#include <utility>

template <typename Interface>
class CComObject : public Interface {
public:
    using InterfaceType = Interface;

    CComObject(const CComObject&) = delete;
    CComObject& operator=(const CComObject&) = delete;

    // Called by the system directly, so behind the same boundary as every other way in; the
    // counting below cannot throw (a destructor that did would end the program on the spot).
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        return AfxCallGuarded(nullptr, E_UNEXPECTED, [&] {
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
        });
    }
    ULONG STDMETHODCALLTYPE AddRef() noexcept override {
        return static_cast<ULONG>(InterlockedIncrement(&m_references));
    }
    ULONG STDMETHODCALLTYPE Release() noexcept override {
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

// Makes a COM object of ours; its first reference goes straight to the owner returned.
template <typename Object, typename... Args>
CInterfacePtr<typename Object::InterfaceType> AfxMakeComObject(Args&&... args) {
    CInterfacePtr<typename Object::InterfaceType> object;
    object.Attach(new Object(std::forward<Args>(args)...));
    return object;
}
