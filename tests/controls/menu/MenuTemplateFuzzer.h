// Mutated menu templates for the loader: cut short, flags flipped, terminators lost, levels nested
// deep or left open, items after the end. Deterministic for a seed; shared with bench/menu_fuzz.
#pragma once

#include "controls/menu/PictureMenu.h"
#include "tests/controls/menu/MenuTemplateBuilder.h"

#include <algorithm>
#include <cstdint>
#include <vector>

class MenuTemplateFuzzer {
public:
    explicit MenuTemplateFuzzer(std::uint32_t seed) : m_state(seed | 1) {
        m_seeds.push_back(MenuTemplateBuilder()
                              .Popup(L"A")
                              .Popup(L"B")
                              .Item(L"b1\tCtrl+B", 1, MF_CHECKED)
                              .Item(L"", 0, MF_END)
                              .Item(L"a1", 3, MF_GRAYED | MF_END)
                              .Item(L"Top", 4, MF_END)
                              .bytes);
        for (const WORD id : {136, 138}) {  // the program's own menus
            HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(id), RT_MENU);
            const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, resource)));
            m_seeds.emplace_back(bytes, bytes + SizeofResource(nullptr, resource));
        }
    }

    std::vector<BYTE> Next() {
        std::vector<BYTE> bytes = m_seeds[Below(m_seeds.size())];
        for (size_t i = 1 + Below(3); i > 0; --i) {
            Mutate(bytes);
        }
        return bytes;
    }

private:
    size_t Below(size_t bound) {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return bound == 0 ? 0 : m_state % bound;
    }

    void Mutate(std::vector<BYTE>& bytes) {
        static constexpr UINT kFlags[] = {MF_POPUP, MF_END, MF_OWNERDRAW, MF_BITMAP, MF_SEPARATOR, 0xFFFF};
        const size_t at = bytes.size() < 2 ? 0 : 2 * Below(bytes.size() / 2);
        MenuTemplateBuilder insert;
        insert.bytes.clear();
        switch (Below(6)) {
            case 0:  // cut short
                bytes.resize(Below(bytes.size() + 1));
                return;
            case 1:  // flags flipped
                if (bytes.size() >= 2) {
                    const UINT flags = kFlags[Below(6)];
                    bytes[at] ^= static_cast<BYTE>(flags);
                    bytes[at + 1] ^= static_cast<BYTE>(flags >> 8);
                }
                return;
            case 2:  // a terminator lost
                for (size_t i = at; i + 1 < bytes.size(); i += 2) {
                    if (bytes[i] == 0 && bytes[i + 1] == 0) {
                        bytes[i] = 'x';
                        return;
                    }
                }
                return;
            case 3:  // deep nesting, closed or not
                for (size_t depth = 1 + Below(80); depth > 0; --depth) {
                    insert.Popup(L"P", Below(4) == 0 ? MF_END : 0);
                }
                for (size_t ends = Below(90); ends > 0; --ends) {
                    insert.Item(L"i", 1, MF_END);
                }
                break;
            case 4:  // an item after the end
                insert.Item(L"extra", 9, Below(2) == 0 ? MF_END : 0);
                bytes.insert(bytes.end(), insert.bytes.begin(), insert.bytes.end());
                return;
            default:  // the header's offset of the first item
                if (bytes.size() >= 4) {
                    bytes[2] = static_cast<BYTE>(Below(2) == 0 ? Below(6) : Below(256));
                }
                return;
        }
        const size_t where = std::min(bytes.size(), std::max<size_t>(at, 4));
        bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(where), insert.bytes.begin(),
                     insert.bytes.end());
    }

    std::uint32_t m_state;
    std::vector<std::vector<BYTE>> m_seeds;
};

// Loads `count` mutated templates, each ending at a guarded page, into a menu and tears it down.
// Returns how many loads succeeded, or -1 when a teardown left a sub-menu registered.
inline int LoadMutatedTemplates(int count, std::uint32_t seed) {
    MenuTemplateFuzzer fuzzer(seed);
    GuardedBytes guarded;
    int loaded = 0;
    for (int i = 0; i < count; ++i) {
        size_t size = 0;
        const BYTE* start = guarded.Place(fuzzer.Next(), size);
        CPictureMenu menu;
        loaded += menu.LoadMenuTemplate(start, size) ? 1 : 0;
        menu.DestroyMenu();
        if (CPictureMenuShared::Instance().RegisteredSubMenuCount() != 0) {
            return -1;
        }
    }
    return loaded;
}
