// Owner of a storage medium handed out by IDataObject::GetData (move-only). The data object
// decides how its medium is freed (pUnkForRelease), so it always goes back through
// ReleaseStgMedium, never DragFinish or GlobalFree.
#pragma once

#include "framework/Afx.h"

#include <objidl.h>

class CStorageMedium {
public:
    CStorageMedium() = default;
    explicit CStorageMedium(const STGMEDIUM& medium) { Attach(medium); }
    ~CStorageMedium() { Reset(); }
    CStorageMedium(const CStorageMedium&) = delete;
    CStorageMedium& operator=(const CStorageMedium&) = delete;
    CStorageMedium(CStorageMedium&& other) noexcept : m_medium(other.Detach()) {}
    CStorageMedium& operator=(CStorageMedium&& other) noexcept;

    // Takes `medium` over; FALSE (and nothing taken) for an empty one or while holding one.
    BOOL Attach(const STGMEDIUM& medium);
    // Lets go of the medium without releasing it and returns it.
    STGMEDIUM Detach();
    // Releases the medium held, if any.
    void Reset();

    bool IsEmpty() const { return IsEmpty(m_medium); }
    // The memory block of a TYMED_HGLOBAL medium; nullptr for any other kind.
    HGLOBAL Global() const { return m_medium.tymed == TYMED_HGLOBAL ? m_medium.hGlobal : nullptr; }

private:
    // A medium with nothing to release: no storage, and no object that answers for it.
    static bool IsEmpty(const STGMEDIUM& medium) {
        return medium.tymed == TYMED_NULL && medium.pUnkForRelease == nullptr;
    }

    STGMEDIUM m_medium = {};
};
