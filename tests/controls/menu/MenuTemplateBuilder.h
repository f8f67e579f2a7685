// Standard menu templates written in memory, item by item, for the loader's tests and the fuzzer.
#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>
#include <vector>

class MenuTemplateBuilder {
public:
    MenuTemplateBuilder() {
        Word(0);  // version
        Word(0);  // items start right after the header
    }
    // Goes on writing after the bytes of another template.
    explicit MenuTemplateBuilder(std::vector<BYTE> start) : bytes(std::move(start)) {}
    MenuTemplateBuilder& Popup(const wchar_t* text, UINT flags = 0) {
        Word(flags | MF_POPUP);
        return Text(text);
    }
    MenuTemplateBuilder& Item(const wchar_t* text, UINT id, UINT flags = 0) {
        Word(flags);
        Word(id);
        return Text(text);
    }
    MenuTemplateBuilder& Separator(UINT flags = 0) { return Item(L"", 0, flags); }
    MenuTemplateBuilder& Word(UINT value) {
        bytes.push_back(static_cast<BYTE>(value & 0xFF));
        bytes.push_back(static_cast<BYTE>((value >> 8) & 0xFF));
        return *this;
    }
    MenuTemplateBuilder& Text(const wchar_t* text) {
        for (const wchar_t* ch = text; *ch != 0; ++ch) {
            Word(*ch);
        }
        return Word(0);
    }

    std::vector<BYTE> bytes;
};

// Bytes placed so that they end exactly where an inaccessible page begins: a read past the end
// faults at once instead of passing unnoticed.
class GuardedBytes {
public:
    static constexpr size_t kPage = 4096;

    GuardedBytes() {
        m_block =
            static_cast<BYTE*>(VirtualAlloc(nullptr, 2 * kPage, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD previous = 0;
        VirtualProtect(m_block + kPage, kPage, PAGE_NOACCESS, &previous);
    }
    GuardedBytes(const GuardedBytes&) = delete;
    GuardedBytes& operator=(const GuardedBytes&) = delete;
    ~GuardedBytes() { VirtualFree(m_block, 0, MEM_RELEASE); }

    bool Ready() const { return m_block != nullptr; }

    // Copies at most one page of `bytes` to the page's end; returns where they start.
    const BYTE* Place(const std::vector<BYTE>& bytes, size_t& size) {
        size = bytes.size() < kPage ? bytes.size() : kPage;
        BYTE* start = m_block + kPage - size;
        for (size_t i = 0; i < size; ++i) {
            start[i] = bytes[i];
        }
        return start;
    }

private:
    BYTE* m_block = nullptr;
};
