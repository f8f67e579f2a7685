// Leak checks for the tests. Wine answers 0 to GetGuiResources, so a leak is measured as lost
// headroom: how many more objects the process can make before making fails, counted (and freed
// again) before and after the work. USER objects are counted with menus and GDI objects with
// brushes, the cheapest of each kind: under Wine a count takes about half a second with menus but
// five to twelve with icons, which make two bitmaps each. A lost icon or cursor still shows in both
// counts, since it keeps its bitmaps as GDI objects.
#pragma once

#include "bench/common/Headroom.h"

#include <windows.h>

#include <vector>

namespace headroom {

// How many more menus (USER objects) the process can make before making fails; all freed again.
inline int MenuHeadroom() {
    std::vector<HMENU> menus;
    menus.reserve(40000);
    for (HMENU menu = CreatePopupMenu();
         menu != nullptr && static_cast<int>(menus.size()) < bench::kHeadroomCap; menu = CreatePopupMenu()) {
        menus.push_back(menu);
    }
    for (HMENU menu : menus) {
        DestroyMenu(menu);
    }
    return static_cast<int>(menus.size());
}

struct CObjects {
    int user;
    int gdi;
};

inline CObjects Measure() { return {MenuHeadroom(), bench::BrushHeadroom()}; }

// Objects of both kinds that the work between two measurements did not give back.
inline int Lost(const CObjects& before, const CObjects& after) {
    const int user = before.user > after.user ? before.user - after.user : 0;
    const int gdi = before.gdi > after.gdi ? before.gdi - after.gdi : 0;
    return user + gdi;
}

// The objects that `rounds` calls of `work` leave behind. One call goes first, unmeasured: the
// first use loads code and fills caches that live as long as the process.
template <typename Work>
int LostOver(int rounds, Work work) {
    work();
    const CObjects before = Measure();
    for (int round = 0; round < rounds; ++round) {
        work();
    }
    return Lost(before, Measure());
}

}  // namespace headroom
