#include "controls/menu/SharedMenuPictures.h"

#include <algorithm>
#include <cstddef>

// Entry i of the ids always names picture i, so nothing is added while the two are out of step.
int CSharedMenuPictures::Append(UINT commandId, std::initializer_list<HICON> icons, int width, int height) {
    if (commandId == 0 || std::find(icons.begin(), icons.end(), nullptr) != icons.end()) {
        return -1;  // id 0 marks separators
    }
    if (m_images.m_hImageList == nullptr &&
        !m_images.Create(width, height, kListFlags, static_cast<int>(icons.size()),
                         static_cast<int>(icons.size()))) {
        return -1;
    }
    const int first = m_images.GetImageCount();
    if (first != m_ids.GetSize()) {
        return -1;
    }
    for (HICON icon : icons) {
        if (m_images.Add(icon) < 0) {
            while (m_images.GetImageCount() > first) {
                ImageList_Remove(m_images, m_images.GetImageCount() - 1);
            }
            return -1;
        }
    }
    int id = static_cast<int>(commandId);
    for (std::size_t i = 0; i < icons.size(); ++i) {
        m_ids.Add(id);
    }
    return first;
}

void CSharedMenuPictures::AddId(int commandId) { m_ids.Add(commandId); }

void CSharedMenuPictures::Clear() {
    m_images.DeleteImageList();
    m_ids.RemoveAll();
}

int CSharedMenuPictures::IndexOf(UINT_PTR commandId) const {
    for (INT_PTR i = 0; i < m_ids.GetSize(); ++i) {
        if (m_ids[i] == static_cast<int>(commandId)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// FALSE for an index whose triple would run past the end of the list (or before its start).
BOOL CSharedMenuPictures::HasTriple(int index) const {
    const INT_PTR count = m_ids.GetSize();
    if (index < 0 || index + INT_PTR{2} >= count) {
        return FALSE;
    }
    const int id = m_ids.GetAt(index);
    return m_ids.GetAt(index + 1) == id && m_ids.GetAt(index + 2) == id;
}
