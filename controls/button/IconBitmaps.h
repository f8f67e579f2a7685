// The bitmaps of an icon, as GetIconInfo copies them out for its caller: owned, so they are
// deleted whichever way the caller leaves.
#pragma once

#include "framework/GdiObject.h"

class CIconBitmaps {
public:
    explicit CIconBitmaps(HICON icon);

    // FALSE when the icon could not be read (a null or destroyed handle): then both are empty.
    BOOL IsRead() const { return m_read; }
    // The colour picture; empty for a monochrome icon, whose mask holds both halves.
    const CBitmap& Color() const { return m_color; }
    const CBitmap& Mask() const { return m_mask; }

private:
    BOOL m_read = FALSE;
    CBitmap m_color;
    CBitmap m_mask;
};
