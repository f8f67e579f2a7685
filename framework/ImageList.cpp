#include "framework/ImageList.h"

// Fails without making a list when this object already holds one.
BOOL CImageList::Create(int cx, int cy, UINT flags, int initial, int grow) {
    return m_hImageList == nullptr && Attach(ImageList_Create(cx, cy, flags, initial, grow));
}

int CImageList::Add(HICON icon) { return ImageList_ReplaceIcon(m_hImageList, -1, icon); }

int CImageList::GetImageCount() const { return ImageList_GetImageCount(m_hImageList); }
