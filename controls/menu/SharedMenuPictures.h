// The pictures every picture menu of the process may show for a command: one image list, and
// beside it the command id of each of its pictures. Three equal ids in a row mark a flat-look
// triple (normal, hot, shadow).
#pragma once

#include "framework/Afx.h"
#include "framework/Array.h"
#include "framework/ImageList.h"

#include <initializer_list>

class CSharedMenuPictures {
public:
    // How every picture list of the menus is made.
    static constexpr UINT kListFlags = ILC_COLOR32 | ILC_MASK;

    // Appends all of `icons` for `commandId` (a list of width x height pictures is made on first
    // use) or none of them; the index of the first, or -1.
    int Append(UINT commandId, std::initializer_list<HICON> icons, int width, int height);
    // Appends `commandId` to the ids alone. The ids are then out of step with the pictures, and
    // Append adds nothing until Clear.
    void AddId(int commandId);
    void Clear();

    // Index of the first picture of `commandId`, or -1.
    int IndexOf(UINT_PTR commandId) const;
    // Whether pictures `index` to `index` + 2 form one command's triple.
    BOOL HasTriple(int index) const;
    const CImageList& Images() const { return m_images; }
    INT_PTR IdCount() const { return m_ids.GetSize(); }

private:
    CImageList m_images;
    // Entry i is the command id of picture i.
    CArray<int, int&> m_ids;
};
