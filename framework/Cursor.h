// Owner of a cursor handle (move-only; destroys the cursor). For cursors the caller must destroy:
// CopyCursor, CreateCursor, LoadImage without LR_SHARED. Shared cursors (LoadCursor) must never be
// given to it.
#pragma once

#include "framework/Afx.h"
#include "framework/HandleOwner.h"

BOOL AfxDestroyCursor(HCURSOR cursor);

class CCursor : public CHandleOwner<CPlainHandleSlot<HCURSOR, &AfxDestroyCursor>> {
public:
    CCursor() = default;
    explicit CCursor(HCURSOR cursor) { Attach(cursor); }

    operator HCURSOR() const { return m_handle; }  // NOLINT
};
