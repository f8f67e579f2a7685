// Menu templates written in memory, bytes that end where an inaccessible page begins (a read past
// their end faults at once), and what the platform holds for one menu item.
#pragma once

#include <windows.h>

#include <algorithm>
#include <utility>
#include <vector>

struct MenuTemplateBuilder {
    MenuTemplateBuilder() = default;
    // Goes on after the items of another template.
    explicit MenuTemplateBuilder(std::vector<BYTE> start) : bytes(std::move(start)) {}

    std::vector<BYTE> bytes = {0, 0, 0, 0};  // version 0; items right after the header

    MenuTemplateBuilder& Word(UINT value) {
        bytes.insert(bytes.end(), {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8)});
        return *this;
    }
    MenuTemplateBuilder& Text(const wchar_t* text) {
        for (; *text != 0; ++text) {
            Word(*text);
        }
        return Word(0);
    }
    MenuTemplateBuilder& Popup(const wchar_t* text, UINT flags = 0) {
        return Word(flags | MF_POPUP).Text(text);
    }
    MenuTemplateBuilder& Item(const wchar_t* text, UINT id, UINT flags = 0) {
        return Word(flags).Word(id).Text(text);
    }
};

class GuardedBytes {
public:
    static constexpr size_t kPage = 4096;

    GuardedBytes()
        : m_block(static_cast<BYTE*>(VirtualAlloc(nullptr, 2 * kPage, MEM_COMMIT, PAGE_READWRITE))) {
        DWORD previous = 0;
        VirtualProtect(m_block + kPage, kPage, PAGE_NOACCESS, &previous);
    }
    GuardedBytes(const GuardedBytes&) = delete;
    GuardedBytes& operator=(const GuardedBytes&) = delete;
    ~GuardedBytes() { VirtualFree(m_block, 0, MEM_RELEASE); }

    // Copies at most one page of `bytes` so that they end at the guard; returns where they start.
    const BYTE* Place(const std::vector<BYTE>& bytes, size_t& size) {
        size = bytes.size() < kPage ? bytes.size() : kPage;
        BYTE* start = m_block + kPage - size;
        std::copy_n(bytes.begin(), size, start);
        return start;
    }

private:
    BYTE* m_block;
};

inline MENUITEMINFOW MenuItemAt(HMENU menu, int position) {
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_ID | MIIM_SUBMENU;
    GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info);
    return info;
}
