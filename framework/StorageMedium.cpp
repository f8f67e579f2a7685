#include "framework/StorageMedium.h"

#include <ole2.h>

#include <utility>

CStorageMedium& CStorageMedium::operator=(CStorageMedium&& other) noexcept {
    if (this != &other) {
        Reset();
        m_medium = other.Detach();
    }
    return *this;
}

BOOL CStorageMedium::Attach(const STGMEDIUM& medium) {
    if (IsEmpty(medium) || !IsEmpty()) {
        return FALSE;
    }
    m_medium = medium;
    return TRUE;
}

STGMEDIUM CStorageMedium::Detach() { return std::exchange(m_medium, STGMEDIUM{}); }

void CStorageMedium::Reset() {
    STGMEDIUM medium = Detach();
    if (!IsEmpty(medium)) {
        ReleaseStgMedium(&medium);
    }
}
