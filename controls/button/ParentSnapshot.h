// What a parent window paints under one of its children, for a child that shows its parent
// through itself. It is taken from the parent's own painting, never from the screen (where other
// windows, or the child's own earlier face, may stand), and kept while the child stays where it
// is, so that the parent need not repaint under the child at every paint.
#pragma once

#include "framework/Dc.h"
#include "framework/GdiObject.h"
#include "framework/ScopedSelect.h"
#include "framework/Wnd.h"

#include <optional>

class CParentSnapshot {
public:
    CParentSnapshot() = default;
    CParentSnapshot(const CParentSnapshot&) = delete;
    CParentSnapshot& operator=(const CParentSnapshot&) = delete;
    ~CParentSnapshot() = default;

    // Copies the parent's pixels under `child`'s client area to (0, 0) of `dc`, taking them first
    // when there are none yet or the child has moved or changed size. Draws nothing when the
    // child has no parent or no area, or the copy cannot be made.
    void PaintUnder(CWnd& child, CDC& dc);
    // Forgets the pixels: the next paint takes them anew.
    void Drop();
    bool IsTaken() const { return m_select.has_value(); }

private:
    bool Take(CWnd& parent, CDC& like);
    void PrintParent(CWnd& parent);

    // Declared in this order so that the bitmap leaves the DC before either is deleted.
    CBitmap m_bitmap;
    CDC m_dc;
    std::optional<CScopedSelect> m_select;
    POINT m_origin = {};  // the child's client origin in the parent's client area
    SIZE m_size = {};
};
