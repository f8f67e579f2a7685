#include "controls/menu/PictureMenuItemList.h"

#include "framework/BoundsFault.h"
#include "framework/Exception.h"

#include <algorithm>
#include <cstddef>
#include <utility>

CPictureMenuItem* CPictureMenuItemList::operator[](INT_PTR index) const {
    return m_records[Checked(index)].get();
}

INT_PTR CPictureMenuItemList::Add(std::unique_ptr<CPictureMenuItem> record) {
    m_records.push_back(std::move(record));
    return GetSize() - 1;
}

std::unique_ptr<CPictureMenuItem> CPictureMenuItemList::RemoveAt(INT_PTR index) {
    const auto at = m_records.begin() + static_cast<std::ptrdiff_t>(Checked(index));
    std::unique_ptr<CPictureMenuItem> record = std::move(*at);
    m_records.erase(at);
    return record;
}

// Room for the kept records is made before any moves, so none can be lost halfway.
void CPictureMenuItemList::KeepInOrder(const std::vector<CPictureMenuItem*>& order) {
    std::vector<std::unique_ptr<CPictureMenuItem>> kept;
    kept.reserve(order.size());
    for (CPictureMenuItem* wanted : order) {
        const auto found = std::find_if(m_records.begin(), m_records.end(),
                                        [wanted](const auto& record) { return record.get() == wanted; });
        if (wanted != nullptr && found != m_records.end()) {
            kept.push_back(std::move(*found));
        }
    }
    m_records.swap(kept);
}

std::vector<std::unique_ptr<CPictureMenuItem>>::size_type CPictureMenuItemList::Checked(INT_PTR index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= m_records.size()) {
        CBoundsFault::Report("CPictureMenuItemList index");
        AfxThrowInvalidArgException();
    }
    return static_cast<std::size_t>(index);
}
