#include "framework/OleInitScope.h"

#include <ole2.h>

COleInitScope::COleInitScope() : m_result(OleInitialize(nullptr)) {}

COleInitScope::~COleInitScope() {
    if (Succeeded()) {
        OleUninitialize();
    }
}

bool COleInitScope::Succeeded() const { return SUCCEEDED(m_result); }
