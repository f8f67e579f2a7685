// Base of the scopes that start a system library on the calling thread for their life (COM, OLE)
// and end only a start that succeeded. Starts nest: an inner one sees S_FALSE, which counts too
// and is ended as well. `start` and `end` say how. Neither copied nor moved: a scope ends on the
// thread and at the place where it began.
#pragma once

#include "framework/Afx.h"

template <HRESULT (*start)(), void (*end)()>
class CStartupScope {
public:
    CStartupScope(const CStartupScope&) = delete;
    CStartupScope& operator=(const CStartupScope&) = delete;

    HRESULT Result() const { return m_result; }
    // Whether this scope started the library (S_OK, S_FALSE), and so ends it.
    bool Succeeded() const { return SUCCEEDED(m_result); }

protected:
    CStartupScope() : m_result(start()) {}
    ~CStartupScope() {
        if (Succeeded()) {
            end();
        }
    }

private:
    HRESULT m_result;
};
