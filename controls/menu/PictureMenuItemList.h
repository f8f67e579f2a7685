// The item records of one picture menu level, owned by the list. A record keeps its address for
// as long as it is in the list: that address is the platform item's data.
#pragma once

#include "controls/menu/PictureMenuItem.h"
#include "framework/Afx.h"

#include <memory>
#include <vector>

class CPictureMenuItemList {
public:
    INT_PTR GetSize() const { return static_cast<INT_PTR>(m_records.size()); }
    bool IsEmpty() const { return m_records.empty(); }

    // The record at `index`; an index outside is reported as a bounds fault, as CArray does.
    CPictureMenuItem* operator[](INT_PTR index) const;

    // Takes `record` over and returns its index.
    INT_PTR Add(std::unique_ptr<CPictureMenuItem> record);
    // Hands the record at `index` back to the caller.
    std::unique_ptr<CPictureMenuItem> RemoveAt(INT_PTR index);
    void RemoveAll() { m_records.clear(); }
    // Keeps the records of `order`, in that order, and frees the others; an entry that is not one
    // of the list's records is passed over.
    void KeepInOrder(const std::vector<CPictureMenuItem*>& order);

private:
    std::vector<std::unique_ptr<CPictureMenuItem>>::size_type Checked(INT_PTR index) const;

    std::vector<std::unique_ptr<CPictureMenuItem>> m_records;
};
