// Owner of an image list handle (move-only; destroys the list).
#pragma once

#include "framework/Afx.h"
#include "framework/HandleOwner.h"

// Where an image list owner keeps its list, and how the list is destroyed.
struct CImageListSlot {
    using Handle = HIMAGELIST;
    HIMAGELIST m_hImageList = nullptr;

protected:
    static constexpr HIMAGELIST CImageListSlot::*HeldMember() { return &CImageListSlot::m_hImageList; }
    static BOOL Free(HIMAGELIST list) { return ImageList_Destroy(list); }
};

class CImageList : public CHandleOwner<CImageListSlot> {
public:
    CImageList() = default;
    CImageList(CImageList&&) noexcept = default;
    CImageList& operator=(CImageList&&) noexcept = default;
    ~CImageList() = default;

    operator HIMAGELIST() const { return m_hImageList; }  // NOLINT

    BOOL Create(int cx, int cy, UINT flags, int initial, int grow);
    BOOL DeleteImageList() { return FreeHandle(); }

    // Appends a copy of the icon; returns its index or -1. The caller still owns `icon`.
    int Add(HICON icon);
    int GetImageCount() const;
};
