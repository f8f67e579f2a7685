// Owner of a cursor handle (move-only; destroys the cursor). For cursors the caller must destroy:
// CopyCursor, CreateCursor, LoadImage without LR_SHARED. Shared cursors (LoadCursor) must never be
// given to it.
#pragma once

#include "framework/Afx.h"
#include "framework/HandleOwner.h"

// Where a cursor owner keeps its cursor, and how the cursor is destroyed.
struct CCursorSlot {
    using Handle = HCURSOR;
    HCURSOR m_hCursor = nullptr;

protected:
    // Windows refuses to destroy the cursor on screen: the shared arrow takes its place first.
    static BOOL Free(HCURSOR cursor);
    static constexpr HCURSOR CCursorSlot::*HeldMember() { return &CCursorSlot::m_hCursor; }
};

class CCursor : public CHandleOwner<CCursorSlot> {
public:
    CCursor() = default;
    explicit CCursor(HCURSOR cursor) { Attach(cursor); }

    operator HCURSOR() const { return m_hCursor; }  // NOLINT
};
