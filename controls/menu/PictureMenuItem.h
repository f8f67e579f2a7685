// The record of one owner-drawn item of a CPictureMenu. Its address is the item data of the
// platform menu item, so WM_MEASUREITEM and WM_DRAWITEM hand it back as itemData.
#pragma once

#include "framework/Afx.h"
#include "framework/ImageList.h"
#include "framework/String.h"

#include <oleacc.h>

#include <memory>

class CPictureMenuItem {
    // Screen readers read this header at the item data's address, the record's own: it must stay
    // the first member.
    MSAAMENUINFO m_accessible = {};

public:
    CPictureMenuItem();
    CPictureMenuItem(const CPictureMenuItem&) = delete;
    CPictureMenuItem& operator=(const CPictureMenuItem&) = delete;
    ~CPictureMenuItem() = default;

    // The text; an item without text reads as "".
    const wchar_t* GetText() const;
    // Stores a copy of `text` (nullptr leaves the item without text).
    void SetText(const wchar_t* text);

    int m_imageIndex = -1;
    int m_sharedImageIndex = -1;
    int m_syncMark = 0;
    int m_imageId = -1;
    UINT m_flags = 0;
    UINT_PTR m_commandId = 0;
    std::unique_ptr<CImageList> m_imageList;

private:
    std::unique_ptr<wchar_t[]> m_text;
};
