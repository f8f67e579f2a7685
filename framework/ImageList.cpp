#include "framework/ImageList.h"

#include <utility>

CImageList& CImageList::operator=(CImageList&& other) noexcept {
    if (this != &other) {
        DeleteImageList();
        m_hImageList = other.Detach();
    }
    return *this;
}

CImageList::~CImageList() { DeleteImageList(); }

// Fails without making a list when this object already holds one.
BOOL CImageList::Create(int cx, int cy, UINT flags, int initial, int grow) {
    return m_hImageList == nullptr && Attach(ImageList_Create(cx, cy, flags, initial, grow));
}

BOOL CImageList::Attach(HIMAGELIST list) {
    if (list == nullptr || m_hImageList != nullptr) {
        return FALSE;
    }
    m_hImageList = list;
    return TRUE;
}

HIMAGELIST CImageList::Detach() { return std::exchange(m_hImageList, nullptr); }

BOOL CImageList::DeleteImageList() {
    if (m_hImageList == nullptr) {
        return FALSE;
    }
    return ImageList_Destroy(Detach());
}

int CImageList::Add(HICON icon) { return ImageList_ReplaceIcon(m_hImageList, -1, icon); }

int CImageList::GetImageCount() const { return ImageList_GetImageCount(m_hImageList); }
