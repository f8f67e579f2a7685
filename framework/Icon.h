// Owner of an icon handle (move-only; destroys the icon). For icons the caller must destroy:
// the shell's file icons, CreateIconIndirect, LoadImage without LR_SHARED. Shared icons
// (LoadIcon) must never be given to it.
#pragma once

#include "framework/Afx.h"
#include "framework/HandleOwner.h"

// Where an icon owner keeps its icon, and how the icon is destroyed.
struct CIconSlot {
    using Handle = HICON;
    HICON m_hIcon = nullptr;

protected:
    static constexpr HICON CIconSlot::*HeldMember() { return &CIconSlot::m_hIcon; }
    static BOOL Free(HICON icon) { return ::DestroyIcon(icon); }
};

class CIcon : public CHandleOwner<CIconSlot> {
public:
    CIcon() = default;
    explicit CIcon(HICON icon) { Attach(icon); }
    CIcon(CIcon&&) noexcept = default;
    CIcon& operator=(CIcon&&) noexcept = default;
    ~CIcon() = default;

    operator HICON() const { return m_hIcon; }  // NOLINT

    // Loads an icon resource of the program at the given size (0: the system's default size).
    BOOL LoadIcon(UINT id, int size = 0);
    BOOL DestroyIcon() { return FreeHandle(); }
};

// A private copy of an icon resource of the program at the resource's own size, as an
// owner-drawn button takes it over; nullptr when there is none.
HICON LoadButtonIcon(UINT id);
