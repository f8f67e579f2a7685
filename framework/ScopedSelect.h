// Selects a GDI object into a DC for the life of the guard and puts the previous one back.
#pragma once

#include "framework/Dc.h"
#include "framework/GdiObject.h"

class CScopedSelect {
public:
    CScopedSelect(CDC& dc, HGDIOBJ object) : m_dc(dc), m_previous(dc.SelectObject(object)) {}
    CScopedSelect(CDC& dc, const CGdiObject& object) : CScopedSelect(dc, object.m_hObject) {}
    ~CScopedSelect() {
        if (Selected()) {
            m_dc.SelectObject(m_previous);
        }
    }
    CScopedSelect(const CScopedSelect&) = delete;
    CScopedSelect& operator=(const CScopedSelect&) = delete;

    HGDIOBJ Previous() const { return m_previous; }
    // Whether the object went in (SelectObject answers NULL or HGDI_ERROR when it did not).
    bool Selected() const { return m_previous != nullptr && m_previous != HGDI_ERROR; }

private:
    CDC& m_dc;
    HGDIOBJ m_previous;
};
