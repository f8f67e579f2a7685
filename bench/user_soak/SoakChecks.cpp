#include "bench/user_soak/SoakChecks.h"

#include "res/resource.h"
#include "support/ScreenSpots.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>

namespace {

struct PageSearch {
    HWND pages[3];
};

BOOL CALLBACK SortPage(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<PageSearch*>(param);
    wchar_t className[16] = {};
    GetClassNameW(child, className, 16);
    if (lstrcmpW(className, L"#32770") != 0) {
        return TRUE;
    }
    if (GetDlgItem(child, IDC_OPEN_PRIVATE) != nullptr) {
        search->pages[2] = child;
    } else if (const HWND list = GetDlgItem(child, IDC_ENTRY_LIST); list != nullptr) {
        // The first page's list takes dropped files; the second's does not.
        const bool first = (GetWindowLongW(list, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0;
        search->pages[first ? 0 : 1] = child;
    }
    return TRUE;
}

std::wstring RowText(const CSoakRow& row) {
    return L"(" + row.name + L" | " + row.path + L" | " + row.target + L")";
}

// The rows only one side has, at most a few of them.
std::wstring RowDifference(const std::vector<CSoakRow>& expected, const std::vector<CSoakRow>& seen) {
    std::vector<CSoakRow> missing;
    std::vector<CSoakRow> extra;
    std::set_difference(expected.begin(), expected.end(), seen.begin(), seen.end(),
                        std::back_inserter(missing));
    std::set_difference(seen.begin(), seen.end(), expected.begin(), expected.end(),
                        std::back_inserter(extra));
    std::wstring text;
    for (size_t i = 0; i < missing.size() && i < 3; ++i) {
        text += L" missing " + RowText(missing[i]);
    }
    for (size_t i = 0; i < extra.size() && i < 3; ++i) {
        text += L" unexpected " + RowText(extra[i]);
    }
    return text;
}

}  // namespace

CSoakChecks::CSoakChecks(CSoakTarget& target, const CSoakDesktop& desktop, std::wstring exeName)
    : m_target(target), m_desktop(desktop), m_exeName(std::move(exeName)) {}

HWND CSoakChecks::ListOf(HWND page) { return page != nullptr ? GetDlgItem(page, IDC_ENTRY_LIST) : nullptr; }

void CSoakChecks::FindPages(HWND main) {
    // Found only once all three exist: the window is there before its pages are.
    if (main == m_pagesOf && m_pages[0] != nullptr && m_pages[1] != nullptr && m_pages[2] != nullptr &&
        IsWindow(m_pages[0])) {
        return;
    }
    PageSearch search = {};
    const HWND tab = main != nullptr ? GetDlgItem(main, IDC_TAB) : nullptr;
    if (tab != nullptr) {
        EnumChildWindows(tab, SortPage, reinterpret_cast<LPARAM>(&search));
    }
    std::copy(std::begin(search.pages), std::end(search.pages), std::begin(m_pages));
    m_pagesOf = main;
}

HWND CSoakChecks::Page(int index) {
    FindPages(m_target.Windows().main);
    return m_pages[index];
}

std::vector<CSoakRow> CSoakChecks::FirstRows() {
    std::vector<CSoakRow> rows = m_target.Rows(FirstList());
    rows.erase(std::remove_if(rows.begin(), rows.end(),
                              [&](const CSoakRow& row) { return m_desktop.IsForeign(row); }),
               rows.end());
    std::sort(rows.begin(), rows.end());
    return rows;
}

CSoakObserved CSoakChecks::Observe() {
    CSoakObserved seen;
    seen.alive = m_target.Started() && m_target.WaitForEnd(0) == STILL_ACTIVE;
    seen.windows = m_target.Windows();
    const HWND main = seen.windows.main;
    if (main != nullptr) {
        seen.mainVisible = IsWindowVisible(main) != FALSE;
        seen.mainIconic = IsIconic(main) != FALSE;
        FindPages(main);
        for (int i = 0; i < 3; ++i) {
            // The page's own flag: a page of a hidden window is not visible either.
            if (m_pages[i] != nullptr && (GetWindowLongW(m_pages[i], GWL_STYLE) & WS_VISIBLE) != 0) {
                seen.page = i;
            }
        }
    }
    const HWND foreground = GetForegroundWindow();
    // A minimised window counts as hidden: keys typed next would go to a window the user cannot see.
    seen.hiddenForeground = foreground != nullptr && CScreenSpots::ProcessOf(foreground) == m_target.Id() &&
                            (!IsWindowVisible(foreground) || IsIconic(foreground));
    const HWND tray = CScreenSpots::TrayWindow();
    seen.trayShown = tray != nullptr && IsWindowVisible(tray);
    seen.processes = static_cast<int>(CSoakTarget::ProcessesNamed(m_exeName.c_str()).size());
    return seen;
}

std::wstring CSoakChecks::Difference(const CSoakModel& model, const CSoakObserved& seen) const {
    const CSoakWindows& windows = seen.windows;
    if (!model.running) {
        if (seen.alive) {
            return L"the program still runs";
        }
        return windows.all.empty() ? L"" : L"windows of the ended program are left";
    }
    if (!seen.alive) {
        return L"the program ended";
    }
    if (windows.mains != 1) {
        return std::to_wstring(windows.mains) + L" main windows";
    }
    const bool shown = seen.mainVisible && !seen.mainIconic;
    if (model.shown && !shown) {
        return seen.mainVisible ? L"the main window is minimised" : L"the main window is hidden";
    }
    if (!model.shown && seen.mainVisible) {
        return model.passwordSet ? L"the main window shows past the password gate" : L"the main window shows";
    }
    const bool create = windows.create != nullptr && IsWindowVisible(windows.create);
    const bool prompt = windows.prompt != nullptr && IsWindowVisible(windows.prompt);
    const bool about = windows.about != nullptr && IsWindowVisible(windows.about);
    if (create != (model.dialog == CSoakDialog::kCreate) ||
        prompt != (model.dialog == CSoakDialog::kPrompt) || about != (model.dialog == CSoakDialog::kAbout)) {
        std::wstring open = create ? L"create-password " : L"";
        open += prompt ? L"prompt " : L"";
        open += about ? L"about " : L"";
        return std::wstring(L"expected dialog ") + DialogName(model.dialog) + L", open: " +
               (open.empty() ? L"none" : open);
    }
    if (model.box.empty() && !windows.boxes.empty()) {
        return L"unexpected message box \"" + CSoakTarget::BoxText(windows.boxes.front()) + L"\"";
    }
    if (!model.box.empty() &&
        (windows.boxes.size() != 1 || CSoakTarget::BoxText(windows.boxes.front()) != model.box)) {
        return L"expected the message box \"" + model.box + L"\", saw " +
               std::to_wstring(windows.boxes.size()) +
               (windows.boxes.empty() ? L"" : L" (\"" + CSoakTarget::BoxText(windows.boxes.front()) + L"\")");
    }
    if (windows.menu != nullptr) {
        return L"a menu is still open";
    }
    if (seen.page != model.tab) {
        return L"page " + std::to_wstring(seen.page) + L" shows, expected " + std::to_wstring(model.tab);
    }
    if (seen.hiddenForeground) {
        return L"a hidden window of ours is the foreground window";
    }
    return L"";
}

std::vector<std::wstring> CSoakChecks::Broken(const CSoakModel& model, const CSoakObserved& seen,
                                              bool allRows) {
    std::vector<std::wstring> broken;
    const std::wstring difference = Difference(model, seen);
    if (!difference.empty()) {
        broken.push_back(difference);
    }
    if (seen.processes > 1) {
        broken.push_back(std::to_wstring(seen.processes) + L" copies of the program run");
    }
    if (seen.windows.prompts > 1) {
        broken.push_back(std::to_wstring(seen.windows.prompts) + L" password prompts");
    }
    if (!model.running || !seen.alive) {
        return broken;
    }
    const bool reachable =
        (seen.mainVisible && !seen.mainIconic) || (seen.mainVisible && seen.mainIconic) || seen.trayShown;
    if (!reachable) {
        broken.push_back(L"the program cannot be reached: no window, no taskbar button, no icon");
    }
    const HWND first = FirstList();
    const HWND second = SecondList();
    if (first == nullptr || second == nullptr) {
        wchar_t pages[96];
        std::swprintf(pages, 96, L" (pages %p %p %p)", static_cast<void*>(m_pages[0]),
                      static_cast<void*>(m_pages[1]), static_cast<void*>(m_pages[2]));
        broken.push_back(std::wstring(L"a page's list is missing") + pages);
        return broken;
    }
    if (allRows) {
        const std::vector<CSoakRow> rows = FirstRows();
        if (rows != model.rows) {
            broken.push_back(L"first list: " + std::to_wstring(rows.size()) + L" rows, expected " +
                             std::to_wstring(model.rows.size()) + L":" + RowDifference(model.rows, rows));
        }
        const std::vector<CSoakRow> secondRows = m_target.Rows(second);
        if (secondRows != CSoakModel::SecondPageRows()) {
            broken.push_back(L"second list:" + RowDifference(CSoakModel::SecondPageRows(), secondRows));
        }
    } else if (m_target.RowCount(first) < static_cast<int>(model.rows.size())) {
        broken.push_back(L"first list: " + std::to_wstring(m_target.RowCount(first)) + L" rows, expected " +
                         std::to_wstring(model.rows.size()));
    }
    return broken;
}
