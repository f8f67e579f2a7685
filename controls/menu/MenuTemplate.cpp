#include "controls/menu/MenuTemplate.h"

#include <cstdint>
#include <cstring>
#include <utility>

namespace {

// Cursor over the template's bytes; every read checks that it stays inside them. The bytes may
// lie at any address, so words are copied out rather than read in place.
class TemplateCursor {
public:
    TemplateCursor(const BYTE* bytes, std::size_t size) : m_bytes(bytes), m_size(size) {}

    bool ReadWord(UINT& value) {
        if (m_size - m_position < sizeof(std::uint16_t)) {
            return false;
        }
        std::uint16_t word = 0;
        std::memcpy(&word, m_bytes + m_position, sizeof(word));
        m_position += sizeof(word);
        value = word;
        return true;
    }

    bool ReadText(std::wstring& text) {
        text.clear();
        for (UINT ch = 0; ReadWord(ch);) {
            if (ch == 0) {
                return true;
            }
            text.push_back(static_cast<wchar_t>(ch));
        }
        return false;
    }

    bool Skip(std::size_t count) {
        if (count > m_size - m_position) {
            return false;
        }
        m_position += count;
        return true;
    }

    bool RestIsPadding() const {
        for (std::size_t i = m_position; i < m_size; ++i) {
            if (m_bytes[i] != 0) {
                return false;
            }
        }
        return true;
    }

private:
    const BYTE* m_bytes;
    std::size_t m_size;
    std::size_t m_position = 0;
};

bool ReadItem(TemplateCursor& cursor, CMenuTemplateItem& item) {
    if (!cursor.ReadWord(item.flags)) {
        return false;
    }
    item.id = 0;
    if ((item.flags & MF_POPUP) == 0 && !cursor.ReadWord(item.id)) {
        return false;
    }
    return cursor.ReadText(item.text);
}

// Walks the levels as the loader builds them: a pop-up opens a level, MF_END marks the item that
// closes its level (on a pop-up, once the pop-up's own level is closed).
bool ParseItems(TemplateCursor& cursor, std::vector<CMenuTemplateItem>& items) {
    std::vector<bool> levelEnds = {false};
    while (!levelEnds.empty()) {
        CMenuTemplateItem item;
        if (!ReadItem(cursor, item)) {
            return false;
        }
        const bool ends = (item.flags & MF_END) != 0;
        if ((item.flags & MF_POPUP) != 0) {
            if (static_cast<int>(levelEnds.size()) >= kMaxMenuTemplateDepth) {
                return false;
            }
            levelEnds.back() = levelEnds.back() || ends;
            levelEnds.push_back(false);
        } else {
            levelEnds.back() = levelEnds.back() || ends;
            while (!levelEnds.empty() && levelEnds.back()) {
                levelEnds.pop_back();
            }
        }
        items.push_back(std::move(item));
    }
    return cursor.RestIsPadding();
}

}  // namespace

bool ParseMenuTemplate(const void* bytes, std::size_t size, std::vector<CMenuTemplateItem>& items) {
    items.clear();
    if (bytes == nullptr) {
        return false;
    }
    TemplateCursor cursor(static_cast<const BYTE*>(bytes), size);
    // Header: version number (not examined), then the offset of the first item from byte 4.
    UINT version = 0;
    UINT firstItemOffset = 0;
    const bool parsed = cursor.ReadWord(version) && cursor.ReadWord(firstItemOffset) &&
                        cursor.Skip(firstItemOffset) && ParseItems(cursor, items);
    if (!parsed) {
        items.clear();
    }
    return parsed;
}
