// What the soak sees of the launcher after an action, and the invariants it checks against the
// model: alive (or gone, with no window left), single, gated, reachable, no hidden window of ours
// in the foreground, the rows of both lists, the expected boxes and no others.
#pragma once

#include "bench/user_soak/SoakDesktop.h"
#include "bench/user_soak/SoakModel.h"
#include "bench/user_soak/SoakTarget.h"

#include <string>
#include <vector>

struct CSoakObserved {
    bool alive = false;
    CSoakWindows windows;
    bool mainVisible = false;
    bool mainIconic = false;
    int page = -1;                  // the visible page
    bool hiddenForeground = false;  // a hidden window of ours is the foreground window
    bool trayShown = false;         // the notification area shows an icon
    int processes = 0;              // running copies of the program
};

class CSoakChecks {
public:
    CSoakChecks(CSoakTarget& target, const CSoakDesktop& desktop, std::wstring exeName);

    CSoakObserved Observe();
    // The first way in which what is seen differs from what the model expects; empty when none.
    std::wstring Difference(const CSoakModel& model, const CSoakObserved& seen) const;
    // Every broken invariant, one line each. Rows are compared in full when `allRows`, else counted.
    std::vector<std::wstring> Broken(const CSoakModel& model, const CSoakObserved& seen, bool allRows);

    // The page dialogs inside the tab control (0 to 2), found once per main window.
    HWND Page(int index);
    HWND FirstList() { return ListOf(Page(0)); }
    HWND SecondList() { return ListOf(Page(1)); }
    // The soak's rows of the first list (rows of other entries on the desktop left out).
    std::vector<CSoakRow> FirstRows();
    static HWND ListOf(HWND page);

private:
    void FindPages(HWND main);

    CSoakTarget& m_target;
    const CSoakDesktop& m_desktop;
    std::wstring m_exeName;
    HWND m_pagesOf = nullptr;
    HWND m_pages[3] = {};
};
