// Leak measurement for the soak benchmarks. The process's object counts cannot be read on every
// system (GetGuiResources answers 0 under Wine), so leaks are measured as lost headroom: how many
// more icons (USER objects) and brushes (GDI objects) the process can still make before making
// fails, counted and freed again before and after the work.
#pragma once

#include <windows.h>

#include <cstring>
#include <vector>

namespace bench {

inline constexpr int kHeadroomCap = 200000;

inline int IconHeadroom() {
    BYTE andMask[32 * 32 / 8];
    BYTE xorMask[32 * 32 / 8];
    std::memset(andMask, 0xFF, sizeof(andMask));
    std::memset(xorMask, 0x00, sizeof(xorMask));
    std::vector<HICON> icons;
    icons.reserve(40000);
    while (static_cast<int>(icons.size()) < kHeadroomCap) {
        HICON icon = CreateIcon(nullptr, 32, 32, 1, 1, andMask, xorMask);
        if (icon == nullptr) {
            break;
        }
        icons.push_back(icon);
    }
    for (HICON icon : icons) {
        DestroyIcon(icon);
    }
    return static_cast<int>(icons.size());
}

inline int BrushHeadroom() {
    std::vector<HBRUSH> brushes;
    brushes.reserve(40000);
    while (static_cast<int>(brushes.size()) < kHeadroomCap) {
        HBRUSH brush = CreateSolidBrush(RGB(brushes.size() & 0xFF, 0x40, 0x80));
        if (brush == nullptr) {
            break;
        }
        brushes.push_back(brush);
    }
    for (HBRUSH brush : brushes) {
        DeleteObject(brush);
    }
    return static_cast<int>(brushes.size());
}

struct CHeadroom {
    int icons;
    int brushes;
};

inline CHeadroom MeasureHeadroom() { return {IconHeadroom(), BrushHeadroom()}; }

// Objects of both kinds that the work between two measurements did not give back.
inline int LostObjects(const CHeadroom& before, const CHeadroom& after) {
    const int icons = before.icons > after.icons ? before.icons - after.icons : 0;
    const int brushes = before.brushes > after.brushes ? before.brushes - after.brushes : 0;
    return icons + brushes;
}

inline double NowMs() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

}  // namespace bench
