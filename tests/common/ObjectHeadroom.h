// Leak checks for the tests. Wine answers 0 to GetGuiResources, so a leak is measured as lost
// headroom: how many more objects the process can make before making fails, counted (and freed
// again) before and after the work. USER objects are counted with menus and GDI objects with
// brushes, the cheapest of each kind: under Wine a count takes about a third of a second with menus
// but five to twelve with icons, which make two bitmaps each. A lost icon or cursor still shows in
// both counts, since it keeps its bitmaps as GDI objects.
#pragma once

#include "bench/common/Headroom.h"

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <vector>

namespace headroom {

// Menus made until making fails, or `most` of them; the caller destroys them.
inline std::vector<HMENU> MakeMenus(size_t most) {
    std::vector<HMENU> menus;
    menus.reserve(std::min<size_t>(most, 40000));
    for (HMENU menu = nullptr; menus.size() < most && (menu = CreatePopupMenu()) != nullptr;) {
        menus.push_back(menu);
    }
    return menus;
}

inline void DestroyMenus(const std::vector<HMENU>& menus) {
    for (HMENU menu : menus) {
        DestroyMenu(menu);
    }
}

// How many more menus (USER objects) the process can make before making fails; all freed again.
inline int MenuHeadroom() {
    const std::vector<HMENU> menus = MakeMenus(bench::kHeadroomCap);
    DestroyMenus(menus);
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

// The objects lost between its making and Lost(). Every USER object but a spare few is taken up
// first and held meanwhile, so that each count makes no more than the spare ones: counting the
// whole table twice costs twice the time, nearly all of it in round trips to the Wine server,
// which are slow whenever the server runs on another processor. The work runs in the spare ones.
class CLeakCount {
public:
    static constexpr size_t kSpare = 1000;

    CLeakCount() : m_held(MakeMenus(bench::kHeadroomCap)) {
        const size_t spare = std::min(kSpare, m_held.size());
        DestroyMenus({m_held.end() - static_cast<std::ptrdiff_t>(spare), m_held.end()});
        m_held.resize(m_held.size() - spare);
        m_before = Measure();
    }
    ~CLeakCount() { DestroyMenus(m_held); }
    CLeakCount(const CLeakCount&) = delete;
    CLeakCount& operator=(const CLeakCount&) = delete;

    int Lost() const { return headroom::Lost(m_before, Measure()); }

private:
    std::vector<HMENU> m_held;
    CObjects m_before = {};
};

// The objects that `rounds` calls of `work` leave behind. One call goes first, unmeasured: the
// first use loads code and fills caches that live as long as the process.
template <typename Work>
int LostOver(int rounds, Work work) {
    work();
    const CLeakCount count;
    for (int round = 0; round < rounds; ++round) {
        work();
    }
    return count.Lost();
}

}  // namespace headroom
