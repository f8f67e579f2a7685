// Mutated menu templates for the loader: cut short, flags flipped, terminators lost, levels nested
// deep or left open, items after the end. Deterministic for a seed; shared by the loader's test and
// bench/menu_fuzz.
#pragma once

#include "controls/menu/PictureMenu.h"
#include "tests/controls/menu/MenuTemplateBuilder.h"

#include <cstdint>
#include <vector>

class MenuTemplateFuzzer {
public:
    explicit MenuTemplateFuzzer(std::uint32_t seed) : m_state(seed != 0 ? seed : 1) {
        m_seeds.push_back(MenuTemplateBuilder()
                              .Popup(L"&File", MF_END)
                              .Item(L"&Open\tCtrl+O", 100)
                              .Separator()
                              .Item(L"E&xit", 101, MF_END)
                              .bytes);
        m_seeds.push_back(MenuTemplateBuilder()
                              .Popup(L"A")
                              .Popup(L"B")
                              .Item(L"b1", 1, MF_CHECKED)
                              .Popup(L"C", MF_END)
                              .Item(L"c1\tF1", 2, MF_END)
                              .Item(L"a1", 3, MF_GRAYED | MF_END)
                              .Item(L"Top", 4)
                              .Separator(MF_END)
                              .bytes);
        for (const int id : {136, 138}) {
            m_seeds.push_back(ResourceBytes(id));
        }
    }

    std::vector<BYTE> Next() {
        std::vector<BYTE> bytes = m_seeds[Below(static_cast<std::uint32_t>(m_seeds.size()))];
        const std::uint32_t mutations = 1 + Below(3);
        for (std::uint32_t i = 0; i < mutations; ++i) {
            Mutate(bytes);
        }
        if (bytes.size() > GuardedBytes::kPage) {
            bytes.resize(GuardedBytes::kPage);
        }
        return bytes;
    }

private:
    static std::vector<BYTE> ResourceBytes(int id) {
        HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(id), RT_MENU);
        HGLOBAL loaded = resource != nullptr ? LoadResource(nullptr, resource) : nullptr;
        const BYTE* bytes = loaded != nullptr ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
        if (bytes == nullptr) {
            return MenuTemplateBuilder().Item(L"x", 1, MF_END).bytes;
        }
        return std::vector<BYTE>(bytes, bytes + SizeofResource(nullptr, resource));
    }

    std::uint32_t Random() {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    std::uint32_t Below(std::uint32_t bound) { return bound == 0 ? 0 : Random() % bound; }

    size_t WordOffset(const std::vector<BYTE>& bytes) {
        return bytes.size() < 2 ? 0 : 2 * Below(static_cast<std::uint32_t>(bytes.size() / 2));
    }

    void SetWord(std::vector<BYTE>& bytes, size_t offset, UINT value) {
        if (offset + 1 < bytes.size()) {
            bytes[offset] = static_cast<BYTE>(value & 0xFF);
            bytes[offset + 1] = static_cast<BYTE>(value >> 8);
        }
    }

    void Mutate(std::vector<BYTE>& bytes) {
        static constexpr UINT kFlags[] = {MF_POPUP,     MF_END,    MF_POPUP | MF_END, MF_GRAYED,
                                          MF_OWNERDRAW, MF_BITMAP, MF_SEPARATOR,      0xFFFF};
        switch (Below(8)) {
            case 0:  // cut short
                bytes.resize(Below(static_cast<std::uint32_t>(bytes.size() + 1)));
                break;
            case 1:  // a bit flipped anywhere
                if (!bytes.empty()) {
                    bytes[Below(static_cast<std::uint32_t>(bytes.size()))] ^=
                        static_cast<BYTE>(1u << Below(8));
                }
                break;
            case 2:  // flags toggled in some word
                if (bytes.size() >= 2) {
                    const size_t offset = WordOffset(bytes);
                    SetWord(bytes, offset, (bytes[offset] | (bytes[offset + 1] << 8)) ^ kFlags[Below(8)]);
                }
                break;
            case 3:  // a terminator lost
                for (size_t offset = 4 + WordOffset(bytes); offset + 1 < bytes.size(); offset += 2) {
                    if (bytes[offset] == 0 && bytes[offset + 1] == 0) {
                        SetWord(bytes, offset, 'a' + Below(26));
                        break;
                    }
                }
                break;
            case 4: {  // deep nesting, closed or not
                MenuTemplateBuilder levels;
                levels.bytes.clear();
                const std::uint32_t depth = 1 + Below(90);
                for (std::uint32_t i = 0; i < depth; ++i) {
                    levels.Popup(L"P", Below(4) == 0 ? MF_END : 0);
                }
                for (std::uint32_t i = Below(depth + 2); i > 0; --i) {
                    levels.Item(L"i", 1 + i, MF_END);
                }
                const size_t at =
                    bytes.size() < 4 ? bytes.size() : 4 + WordOffset(bytes) % (bytes.size() - 3);
                bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at & ~size_t{1}),
                             levels.bytes.begin(), levels.bytes.end());
                break;
            }
            case 5: {  // more items after the end
                MenuTemplateBuilder extra;
                extra.bytes.clear();
                extra.Item(L"extra", 9, Below(2) == 0 ? MF_END : 0);
                bytes.insert(bytes.end(), extra.bytes.begin(), extra.bytes.end());
                break;
            }
            case 6:  // the header's offset of the first item
                SetWord(bytes, 2, Below(2) == 0 ? Below(8) : Random());
                break;
            default:  // a word replaced
                SetWord(bytes, WordOffset(bytes), Random());
                break;
        }
    }

    std::uint32_t m_state;
    std::vector<std::vector<BYTE>> m_seeds;
};

// How many more menus (USER objects) the process can make before making fails; all freed again.
inline int MenuHeadroom() {
    constexpr size_t kCap = 200000;
    std::vector<HMENU> menus;
    for (HMENU menu = CreatePopupMenu(); menu != nullptr; menu = CreatePopupMenu()) {
        menus.push_back(menu);
        if (menus.size() >= kCap) {
            break;
        }
    }
    for (HMENU menu : menus) {
        DestroyMenu(menu);
    }
    return static_cast<int>(menus.size());
}

// Loads `count` mutated templates, each from the end of a guarded page, into one menu and tears
// it down again. Returns how many loads succeeded, or -1 when a teardown left a sub-menu registered.
inline int LoadMutatedTemplates(int count, std::uint32_t seed) {
    MenuTemplateFuzzer fuzzer(seed);
    GuardedBytes guarded;
    if (!guarded.Ready()) {
        return -1;
    }
    int loaded = 0;
    for (int i = 0; i < count; ++i) {
        const std::vector<BYTE> bytes = fuzzer.Next();
        size_t size = 0;
        const BYTE* start = guarded.Place(bytes, size);
        CPictureMenu menu;
        if (menu.LoadMenuTemplate(start, size)) {
            ++loaded;
        }
        menu.DestroyMenu();
        if (!CPictureMenu::s_allSubMenus.IsEmpty()) {
            return -1;
        }
    }
    return loaded;
}
