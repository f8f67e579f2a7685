#include "bench/user_soak/SoakUser.h"

#include "app/SearchAddress.h"
#include "bench/user_soak/SoakDropRequest.h"
#include "bench/user_soak/SoakInput.h"
#include "bench/user_soak/SoakScreen.h"
#include "bench/user_soak/SoakText.h"
#include "bench/user_soak/SoakWatchdog.h"
#include "res/resource.h"
#include "support/ScreenSpots.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

constexpr wchar_t kEmptyPasswordText[] = L"密码不能为空";
constexpr wchar_t kWrongPasswordText[] = L"密码错误，请重心输入哟";
constexpr wchar_t kRightPasswordText[] = L"输入正确";
constexpr wchar_t kPrivateReadyText[] = L"你可以放入你的私密文件了";
constexpr DWORD kStartMs = 30000;
constexpr DWORD kEndMs = 1000;
// A search starts the URL recorder as a new process, which under emulation and load took up to 10 s.
constexpr DWORD kRecorderMs = 20000;
// How long the pointer rests on a button before it is pressed.
constexpr DWORD kHoverMs = 10;
// Messages sent to a thread to be sure it has taken what an action queued (see Sync).
constexpr int kSyncMessages = 6;
// Actions that end the program weigh this many times less than the weights below say, so that a
// process lives for a few hundred actions: long enough to have been through every kind of action
// (see CSoakUser::Warm) and then to have its objects counted over a stretch.
constexpr int kLifeScale = 6;
// Until a process is warm, the kinds of action it has not played yet weigh this many times more,
// so that its objects are counted over most of its life.
constexpr int kUnplayedBoost = 8;
// The first time a list needs a scroll bar the runtime makes its pictures for good; a process is
// warm only after that, or the step would be counted as growth.
constexpr wchar_t kScrolledKind[] = L"first list scrolled";
// Under Wine each window shown adds a device context and a region to a cache that keeps the most
// the process ever showed at once; the icon's menu over a box over a dialog over the main window
// is the most the soak shows, so a process is warm only after it.
constexpr wchar_t kDeepestKind[] = L"icon menu over a box over a dialog";
// The entry menu (Start button and list rows) and its commands, top to bottom.
constexpr int kEntryMenuItems = 10;
constexpr int kEntryDelete = 0;
constexpr int kEntryLocate = 1;
constexpr int kEntryOpen = 2;
constexpr int kEntryDesktopShortcut = 9;

const wchar_t* const kActionNames[] = {
    L"start",          L"tab",           L"start-menu",        L"type-search",      L"search",
    L"enter",          L"escape",        L"minimise",          L"create-password",  L"about",
    L"drop-first",     L"drop-second",   L"row-menu",          L"row-double-click", L"private-open",
    L"private-close",  L"second-start",  L"tray-double-click", L"tray-close",       L"tray-dismiss",
    L"desktop-remove", L"type-password", L"dialog-cancel",     L"dialog-escape",    L"about-close",
    L"box-ok",
};
static_assert(std::size(kActionNames) == static_cast<size_t>(CSoakAction::kCount));

// How long an input is given to show its effect before it is played again.
constexpr DWORD kTookMs = 3000;

}  // namespace

const wchar_t* ActionName(CSoakAction action) { return kActionNames[static_cast<size_t>(action)]; }

CSoakUser::CSoakUser(unsigned seed, const CSoakPaths& paths, CSoakTarget& target, CSoakChecks& checks,
                     CSoakModel& model, CSoakDesktop& desktop)
    : m_dice(seed),
      m_names(m_dice, paths.fixtures),
      m_paths(paths),
      m_target(target),
      m_checks(checks),
      m_model(model),
      m_desktop(desktop) {}

bool CSoakUser::Ends(CSoakAction action) {
    return action == CSoakAction::kEnter || action == CSoakAction::kEscape ||
           action == CSoakAction::kTrayClose;
}

// Weights per state; every action occurs many times in 10,000.
CSoakAction CSoakUser::Choose() {
    using A = CSoakAction;
    if (!m_model.running) {
        return A::kStart;
    }
    std::vector<std::pair<A, int>> weights;
    if (!m_model.box.empty()) {
        weights = {{A::kBoxOk, 36}, {A::kTrayClose, 1}, {A::kTrayDismiss, 3}, {A::kSecondStart, 3}};
    } else if (m_model.dialog == CSoakDialog::kCreate || m_model.dialog == CSoakDialog::kPrompt) {
        weights = {{A::kTypePassword, 30}, {A::kDialogCancel, 6}, {A::kDialogEscape, 6},   {A::kTrayClose, 1},
                   {A::kTrayDismiss, 3},   {A::kSecondStart, 3},  {A::kTrayDoubleClick, 3}};
    } else if (m_model.dialog == CSoakDialog::kAbout) {
        weights = {
            {A::kAboutClose, 24}, {A::kTrayDismiss, 3}, {A::kSecondStart, 3}, {A::kTrayDoubleClick, 3}};
    } else if (!m_model.shown) {
        weights = {{A::kTrayDoubleClick, 30}, {A::kTrayClose, 1}, {A::kTrayDismiss, 6}, {A::kSecondStart, 6}};
    } else {
        weights = {{A::kTab, 30},        {A::kStartMenu, 15},      {A::kTypeSearch, 18},
                   {A::kSearch, 12},     {A::kEnter, 1},           {A::kEscape, 1},
                   {A::kMinimise, 15},   {A::kCreatePassword, 9},  {A::kAbout, 9},
                   {A::kSecondStart, 6}, {A::kTrayDoubleClick, 6}, {A::kTrayClose, 1},
                   {A::kTrayDismiss, 6}, {A::kDesktopRemove, 3}};
        if (m_model.tab == 0) {
            weights.insert(weights.end(), {{A::kDropFirst, 24}, {A::kRowMenu, 30}, {A::kRowDoubleClick, 12}});
        } else if (m_model.tab == 1) {
            weights.push_back({A::kDropSecond, 9});
        } else {
            weights.insert(weights.end(), {{A::kPrivateOpen, 6}, {A::kPrivateClose, 9}});
        }
    }
    int total = 0;
    const bool warm = Warm();
    for (auto& [action, weight] : weights) {
        weight *= Ends(action) ? 1 : kLifeScale;
        const bool stillWanted =
            m_lifeKinds.count(ActionName(action)) == 0 ||
            (action == A::kDropFirst && m_lifeKinds.count(kScrolledKind) == 0) ||
            (action == A::kTrayDismiss && Deepest() && m_lifeKinds.count(kDeepestKind) == 0);
        if (!warm && !Ends(action) && stillWanted) {
            weight *= kUnplayedBoost;
        }
        total += weight;
    }
    int pick = Uniform(0, total - 1);
    for (const auto& [action, weight] : weights) {
        if (pick < weight) {
            return action;
        }
        pick -= weight;
    }
    return weights.front().first;
}

CSoakStep CSoakUser::Perform(CSoakAction action) {
    using A = CSoakAction;
    CSoakStep step;
    step.what = ActionName(action);
    // The notification area lies at the screen's corner over our window's menu bar: it goes below
    // again before any click meant for our windows (it may have come up by itself).
    if (action != A::kTrayDoubleClick && action != A::kTrayClose && action != A::kTrayDismiss) {
        LowerTray();
    }
    m_lifeKinds.insert(ActionName(action));
    if (action == A::kTrayDismiss && Deepest()) {
        m_lifeKinds.insert(kDeepestKind);
    }
    NoteScrolledList();
    Play(action, step);
    CSoakWatchdog::Stage(L"syncing after the action");
    // What the action set off in the notification area and in the program has been taken before
    // the state is read: an effect that came late would be blamed on the next action.
    if (action == A::kTrayDoubleClick || action == A::kTrayDismiss) {
        CSoakScreen::Sync(CScreenSpots::TrayWindow(), kSyncMessages);
    }
    if (m_target.Started() && m_target.WaitForEnd(0) == STILL_ACTIVE) {
        CSoakScreen::Sync(m_target.Windows().main, kSyncMessages);
    }
    if (m_model.running) {
        ++m_model.lifeActions;
    }
    return step;
}

void CSoakUser::Play(CSoakAction action, CSoakStep& step) {
    using A = CSoakAction;
    switch (action) {
        case A::kStart:
            Start(step);
            break;
        case A::kTab:
            ClickTab(step);
            break;
        case A::kStartMenu:
            StartMenu(step);
            break;
        case A::kTypeSearch:
            TypeSearch(step);
            break;
        case A::kSearch:
            Search(step);
            break;
        case A::kEnter:
            EndWithKey(step, VK_RETURN);
            break;
        case A::kEscape:
            EndWithKey(step, VK_ESCAPE);
            break;
        case A::kMinimise:
            Minimise(step);
            break;
        case A::kCreatePassword:
            CreatePassword(step);
            break;
        case A::kAbout:
            About(step);
            break;
        case A::kDropFirst:
            DropFirst(step);
            break;
        case A::kDropSecond:
            DropSecond(step);
            break;
        case A::kRowMenu:
            RowMenu(step);
            break;
        case A::kRowDoubleClick:
            RowDoubleClick(step);
            break;
        case A::kPrivateOpen:
            PrivateButton(step, true);
            break;
        case A::kPrivateClose:
            PrivateButton(step, false);
            break;
        case A::kSecondStart:
            SecondStart(step);
            break;
        case A::kTrayDoubleClick:
            TrayDoubleClick(step);
            break;
        case A::kTrayClose:
            TrayMenu(step, true);
            break;
        case A::kTrayDismiss:
            TrayMenu(step, false);
            break;
        case A::kDesktopRemove:
            DesktopRemove(step);
            break;
        case A::kTypePassword:
            TypePassword(step);
            break;
        case A::kDialogCancel:
            DialogCancel(step, false);
            break;
        case A::kDialogEscape:
            DialogCancel(step, true);
            break;
        case A::kAboutClose:
            AboutClose(step);
            break;
        case A::kBoxOk:
            BoxOk(step);
            break;
        case A::kCount:
            break;
    }
}

void CSoakUser::Start(CSoakStep& step) {
    const int changes = Uniform(0, 3);
    for (int i = 0; i < changes; ++i) {
        step.what += L"; " + m_desktop.Change(m_dice.Engine());
    }
    m_model.Started(m_desktop.ListedRows());
    m_lifeKinds.clear();
    step.rowsChanged = true;
    step.deadlineMs = kStartMs;
    if (!m_target.Start(m_paths.exe, m_paths.folder)) {
        step.broken.push_back(L"the program could not be started");
        m_model.Ended();
        return;
    }
    step.what += L"; process " + std::to_wstring(m_target.Id());
    step.await = [this] {
        const HWND main = m_target.Windows().main;
        if (main == nullptr || !IsWindowVisible(main)) {
            return std::wstring(L"no main window");
        }
        return m_target.LoadProbe(m_paths.probe) ? std::wstring() : std::wstring(L"the probe did not load");
    };
}

void CSoakUser::ClickTab(CSoakStep& step) {
    const int tab = Uniform(0, 2);
    const HWND main = m_target.Windows().main;
    const RECT rect = m_target.TabRect(GetDlgItem(main, IDC_TAB), tab);
    step.what += L" " + std::to_wstring(tab);
    PlayUntil([&] { CSoakInput::Click(CScreenSpots::Center(rect)); },
              [&] { return CSoakScreen::SelectedTab(GetDlgItem(main, IDC_TAB)) == tab; }, kTookMs);
    m_model.tab = tab;
}

void CSoakUser::StartMenu(CSoakStep& step) {
    const HWND main = m_target.Windows().main;
    const POINT button = CScreenSpots::ControlCenter(main, IDC_START_BUTTON);
    CSoakInput::MoveTo(button);  // it lights up under the pointer
    Sleep(kHoverMs);
    const HWND menu = OpenMenu([&] { CSoakInput::Click(button); });
    if (menu == nullptr) {
        step.broken.push_back(L"the Start menu did not open; " + CSoakScreen::ForegroundText(m_target.Id()));
        return;
    }
    const int choice = Uniform(0, kEntryMenuItems + 1);
    if (choice < kEntryMenuItems) {
        step.what += L", item " + std::to_wstring(choice);
        ChooseItem(menu, choice, kEntryMenuItems, step);
    } else if (choice == kEntryMenuItems) {
        step.what += L", Esc";
        CloseMenu([] { CSoakInput::Key(VK_ESCAPE); });
    } else {
        step.what += L", click away";
        CloseMenu([] { CSoakInput::Click(CSoakScreen::Away()); });
    }
}

void CSoakUser::TypeSearch(CSoakStep& step) {
    const std::wstring text = m_names.SearchText();
    const HWND edit = GetDlgItem(m_target.Windows().main, IDC_SEARCH_EDIT);
    step.what += L" (" + std::to_wstring(text.size()) + L" units)";
    ClickToFocus(m_target.Windows().main, IDC_SEARCH_EDIT);
    CSoakInput::ClearFocusedEdit();
    TypeInto(edit, text);
    m_model.searchText = CSoakText::WithoutControlCharacters(text);
    step.await = [this, edit] {
        const std::wstring seen = CSoakScreen::EditText(edit);
        return seen == m_model.searchText
                   ? std::wstring()
                   : L"the search box holds " + std::to_wstring(seen.size()) + L" units, expected " +
                         std::to_wstring(m_model.searchText.size());
    };
}

void CSoakUser::Search(CSoakStep& step) {
    wchar_t address[kSearchAddressCapacity] = {};
    ComposeSearchAddress(m_model.searchText.c_str(), address, kSearchAddressCapacity);
    const std::string expected = CSoakText::Utf8(address);
    CSoakInput::Click(CScreenSpots::ControlCenter(m_target.Windows().main, IDC_SEARCH_BUTTON));
    ++m_model.urls;
    step.deadlineMs = kRecorderMs;
    step.await = [this, expected] {
        const std::vector<std::string> lines = CSoakText::Lines(m_paths.urlLog);
        if (static_cast<int>(lines.size()) != m_model.urls) {
            return L"the URL recorder holds " + std::to_wstring(lines.size()) + L" addresses, expected " +
                   std::to_wstring(m_model.urls);
        }
        return lines.back() == expected ? std::wstring() : std::wstring(L"the recorded address differs");
    };
}

void CSoakUser::EndWithKey(CSoakStep& step, WORD key) {
    ClickToFocus(m_target.Windows().main, IDC_SEARCH_EDIT);
    CSoakInput::Key(key);
    m_model.Ended();
    step.deadlineMs = kEndMs;
}

void CSoakUser::Minimise(CSoakStep& step) {
    const POINT box = CScreenSpots::MinimiseBox(m_target.Windows().main);
    if (box.x < 0) {
        step.broken.push_back(L"no minimise box");
        return;
    }
    const HWND main = m_target.Windows().main;
    PlayUntil([&] { CSoakInput::Click(box); }, [main] { return IsIconic(main) || !IsWindowVisible(main); },
              kTookMs);
    m_model.shown = false;
}

void CSoakUser::CreatePassword(CSoakStep& step) {
    const POINT item = CScreenSpots::MenuBarItem(m_target.Windows().main);
    const HWND menu = OpenMenu([&] { CSoakInput::Click(item); });
    if (menu == nullptr) {
        step.broken.push_back(L"the menu 使用 did not open; " + CSoakScreen::ForegroundText(m_target.Id()));
        return;
    }
    CloseMenu([&] { CSoakInput::Click(CSoakScreen::MenuItem(menu, 0, 1)); });
    m_model.dialog = CSoakDialog::kCreate;
}

void CSoakUser::About(CSoakStep& step) {
    const HWND main = m_target.Windows().main;
    CSoakInput::Click(CSoakScreen::Background(main));
    CSoakScreen::AwaitForeground(main);
    if (OpenMenu([] { CSoakInput::AltKey(VK_SPACE); }) == nullptr) {
        step.broken.push_back(L"the system menu did not open; " + CSoakScreen::ForegroundText(m_target.Id()));
        return;
    }
    // The About entry is the last one: up from no selection lands on it.
    CSoakInput::Key(VK_UP);
    CSoakInput::Key(VK_RETURN);
    m_model.dialog = CSoakDialog::kAbout;
}

bool CSoakUser::Drop(HWND list, const std::vector<std::wstring>& paths) {
    std::wstring text;
    for (const std::wstring& path : paths) {
        text += path;
        text += L'\0';
    }
    std::vector<BYTE> request(offsetof(SoakDropRequest, paths) + (text.size() + 1) * sizeof(wchar_t), 0);
    auto* header = reinterpret_cast<SoakDropRequest*>(request.data());
    header->window = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(list));
    header->count = static_cast<DWORD>(paths.size());
    CopyMemory(header->paths, text.data(), text.size() * sizeof(wchar_t));
    return m_target.CallProbe("SoakPostDrop", request.data(), request.size(), 10000, 0) == 1;
}

void CSoakUser::DropFirst(CSoakStep& step) {
    const std::vector<std::wstring> paths = m_names.DropPaths();
    step.what += L" " + std::to_wstring(paths.size()) + L" file(s), posted";
    if (!Drop(m_checks.FirstList(), paths)) {
        step.broken.push_back(L"the drop could not be posted");
        return;
    }
    for (const std::wstring& path : paths) {
        m_lifeKinds.insert(CSoakNames::DropKind(path));
        const size_t slash = path.find_last_of(L'\\');
        m_model.AddRow({slash == std::wstring::npos ? path : path.substr(slash + 1), path, L""});
    }
    step.rowsChanged = true;
    const size_t expected = m_model.rows.size();
    step.await = [this, expected] {
        const int rows = m_target.RowCount(m_checks.FirstList());
        return rows >= static_cast<int>(expected) ? std::wstring()
                                                  : L"first list has " + std::to_wstring(rows) + L" rows";
    };
}

void CSoakUser::DropSecond(CSoakStep& step) {
    const std::vector<std::wstring> paths = m_names.DropPaths();
    step.what += L" " + std::to_wstring(paths.size()) + L" file(s), posted (the list takes none)";
    if (!Drop(m_checks.SecondList(), paths)) {
        step.broken.push_back(L"the drop could not be posted");
    }
    step.rowsChanged = true;
}

void CSoakUser::RowMenu(CSoakStep& step) {
    if (m_model.rows.empty()) {
        step.what += L": no rows";
        return;
    }
    const CSoakRow row =
        m_model.rows[static_cast<size_t>(Uniform(0, static_cast<int>(m_model.rows.size()) - 1))];
    const int choice = Uniform(0, 15);
    const HWND list = m_checks.FirstList();
    const std::vector<CSoakRow> rows = m_target.Rows(list);
    const auto found = std::find(rows.begin(), rows.end(), row);
    step.what += L" on \"" + row.name.substr(0, 40) + L"\"";
    if (found == rows.end()) {
        step.broken.push_back(L"the row \"" + row.name + L"\" is not in the list");
        return;
    }
    const RECT rect = m_target.RowRect(list, static_cast<int>(found - rows.begin()));
    const HWND menu = OpenMenu([&] { CSoakInput::RightClick(CScreenSpots::Center(rect)); });
    if (menu == nullptr) {
        step.broken.push_back(L"the row menu did not open; " + CSoakScreen::ForegroundText(m_target.Id()));
        return;
    }
    // Delete 3, locate 1, open 2, the six that do nothing 4, desktop shortcut 2, Esc 2, away 2.
    static constexpr int kItems[] = {kEntryDelete,
                                     kEntryDelete,
                                     kEntryDelete,
                                     kEntryLocate,
                                     kEntryOpen,
                                     kEntryOpen,
                                     3,
                                     4,
                                     6,
                                     8,
                                     kEntryDesktopShortcut,
                                     kEntryDesktopShortcut,
                                     -1,
                                     -1,
                                     -2,
                                     -2};
    const int item = kItems[choice];
    if (item == -1) {
        step.what += L", Esc";
        CloseMenu([] { CSoakInput::Key(VK_ESCAPE); });
        return;
    }
    if (item == -2) {
        step.what += L", click away";
        CloseMenu([] { CSoakInput::Click(CSoakScreen::Away()); });
        return;
    }
    step.what += L", item " + std::to_wstring(item);
    ChooseItem(menu, item, kEntryMenuItems, step);
    if (item == kEntryDelete) {
        m_model.RemoveRow(row);
        step.rowsChanged = true;
        const size_t expected = m_model.rows.size();
        step.await = [this, expected] {
            const int rows = m_target.RowCount(m_checks.FirstList());
            return rows <= static_cast<int>(expected) + 0 || rows < 0
                       ? std::wstring()
                       : L"first list has " + std::to_wstring(rows) + L" rows";
        };
    } else if (item == kEntryDesktopShortcut && !row.target.empty() && !m_desktop.Exists(row.path)) {
        step.what += L" (writes it back)";
        m_desktop.Restored(row.path, row.target);
        const std::wstring path = row.path;
        step.await = [this, path] {
            return m_desktop.Exists(path) ? std::wstring() : L"no shortcut at " + path;
        };
    } else if (item == kEntryLocate) {
        // The file manager takes a while to come up; it is closed once it is there (Wine's may not
        // come up at all for a path that does not exist).
        if (CSoakScreen::WaitFor([this] { return CloseForeignWindows() > 0; }, 3000)) {
            step.what += L" (file manager closed)";
        }
    }
}

void CSoakUser::RowDoubleClick(CSoakStep& step) {
    if (m_model.rows.empty()) {
        step.what += L": no rows";
        return;
    }
    const CSoakRow row =
        m_model.rows[static_cast<size_t>(Uniform(0, static_cast<int>(m_model.rows.size()) - 1))];
    const HWND list = m_checks.FirstList();
    const std::vector<CSoakRow> rows = m_target.Rows(list);
    const auto found = std::find(rows.begin(), rows.end(), row);
    step.what += L" on \"" + row.name.substr(0, 40) + L"\"";
    if (found == rows.end()) {
        step.broken.push_back(L"the row \"" + row.name + L"\" is not in the list");
        return;
    }
    CSoakInput::DoubleClick(
        CScreenSpots::Center(m_target.RowRect(list, static_cast<int>(found - rows.begin()))));
}

void CSoakUser::PrivateButton(CSoakStep& step, bool open) {
    CSoakInput::Click(
        CScreenSpots::ControlCenter(m_checks.Page(2), open ? IDC_OPEN_PRIVATE : IDC_CLOSE_PRIVATE));
    if (open) {
        m_model.box = kPrivateReadyText;  // after the script's head start of a second
        step.deadlineMs = 5000;
    }
}

// Shown: stays as it is, no password asked again. Hidden: shown, through the prompt when a password
// is set. A dialog of ours open: it comes to the front, nothing else changes.
void CSoakUser::ExpectRestoreRequest() {
    if (m_model.dialog != CSoakDialog::kNone || !m_model.box.empty() || m_model.shown) {
        return;
    }
    if (m_model.passwordSet) {
        m_model.dialog = CSoakDialog::kPrompt;
    } else {
        m_model.shown = true;
    }
}

void CSoakUser::SecondStart(CSoakStep& step) {
    CSoakTarget second;
    if (!second.Start(m_paths.exe, m_paths.folder)) {
        step.broken.push_back(L"a second copy could not be started");
        return;
    }
    DWORD code = second.WaitForEnd(20000);
    if (code == STILL_ACTIVE) {
        const CSoakWindows windows = second.Windows();
        std::wstring what = L"the second start did not end";
        if (!windows.boxes.empty()) {
            what += L" (its box: \"" + CSoakTarget::BoxText(windows.boxes.front()) + L"\")";
        }
        step.broken.push_back(what);
        second.Kill();
    } else if (code != 0) {
        wchar_t hex[16];
        std::swprintf(hex, 16, L"0x%08lX", static_cast<unsigned long>(code));
        step.broken.push_back(std::wstring(L"the second start ended with ") + hex);
    }
    ExpectRestoreRequest();
}

void CSoakUser::TrayDoubleClick(CSoakStep& /*step*/) {
    const bool showsSomething = m_model.shown || m_model.dialog != CSoakDialog::kNone || !m_model.box.empty();
    ExpectRestoreRequest();
    if (showsSomething) {
        CSoakInput::DoubleClick(TrayIcon());  // nothing to see change
    } else {
        PlayUntil([this] { CSoakInput::DoubleClick(TrayIcon()); },
                  [this] {
                      const CSoakWindows windows = m_target.Windows();
                      return windows.prompt != nullptr || IsWindowVisible(windows.main);
                  },
                  kTookMs);
    }
    LowerTray();
}

void CSoakUser::TrayMenu(CSoakStep& step, bool close) {
    const HWND menu = OpenMenu([this] { CSoakInput::RightClick(TrayIcon()); });
    LowerTray();
    if (menu == nullptr) {
        step.broken.push_back(L"the icon's menu did not open; " + CSoakScreen::ForegroundText(m_target.Id()));
        return;
    }
    if (close) {
        CloseMenu([&] { CSoakInput::Click(CSoakScreen::MenuItem(menu, 0, 1)); });
        m_model.Ended();
        step.deadlineMs = kEndMs;
    } else {
        CloseMenu([] { CSoakInput::Click(CSoakScreen::Away()); });
    }
}

void CSoakUser::DesktopRemove(CSoakStep& step) {
    const std::wstring path = m_desktop.RemoveListedFile(m_dice.Engine());
    step.what += path.empty() ? L": none listed" : L" " + path;
}

HWND CSoakUser::Dialog() const {
    const CSoakWindows windows = m_target.Windows();
    return m_model.dialog == CSoakDialog::kCreate   ? windows.create
           : m_model.dialog == CSoakDialog::kPrompt ? windows.prompt
                                                    : windows.about;
}

void CSoakUser::TypePassword(CSoakStep& step) {
    const HWND dialog = Dialog();
    std::wstring typed;
    if (m_model.dialog == CSoakDialog::kCreate) {
        // An empty password (its box) is more likely in a process that has not been warned yet.
        const int empty = m_lifeKinds.count(std::wstring(L"box ") + kEmptyPasswordText) == 0 ? 5 : 2;
        const int kind = Uniform(0, 9);
        typed = kind < empty                                ? L""
                : (kind < empty + 3 && m_model.passwordSet) ? m_model.password
                                                            : m_names.NewPassword();
    } else {
        const int kind = Uniform(0, 19);
        typed = kind < 9 ? m_model.password : kind < 16 ? m_model.password + m_names.NewPassword() : L"";
    }
    step.what += L" \"" + typed + L"\"";
    ClickToFocus(dialog, IDC_PASSWORD_EDIT);
    CSoakInput::ClearFocusedEdit();
    TypeInto(GetDlgItem(dialog, IDC_PASSWORD_EDIT), typed);
    // Either a box answers or the dialog closes.
    const auto answered = [this, dialog] {
        return !m_target.Windows().boxes.empty() || !IsWindowVisible(dialog);
    };
    if (Chance(60)) {
        PlayUntil([&] { CSoakInput::Click(CScreenSpots::ControlCenter(dialog, IDOK)); }, answered, kTookMs);
    } else {
        step.what += L", Enter";
        PlayUntil([] { CSoakInput::Key(VK_RETURN); }, answered, kTookMs);
    }
    if (m_model.dialog == CSoakDialog::kCreate) {
        if (typed.empty()) {
            m_model.box = kEmptyPasswordText;
        } else {
            m_model.passwordSet = true;
            m_model.password = typed;
            m_model.dialog = CSoakDialog::kNone;
            m_model.shown = false;
        }
    } else {
        m_model.box = typed == m_model.password ? kRightPasswordText : kWrongPasswordText;
    }
    // Said when the box does not come (or the dialog does not close): what the field holds, who has
    // the focus and which windows of ours are up.
    if (m_model.box.empty()) {
        const DWORD ours = m_target.Id();
        step.await = [this, ours] {
            const CSoakWindows windows = m_target.Windows();
            if (windows.create == nullptr || !IsWindowVisible(windows.create)) {
                return std::wstring();
            }
            return L"the dialog stays; " + CSoakScreen::ForegroundText(ours) + L"; shown windows of ours:" +
                   CSoakScreen::ShownClasses(windows);
        };
        return;
    }
    const HWND field = GetDlgItem(dialog, IDC_PASSWORD_EDIT);
    const size_t length = typed.size();
    const DWORD ours = m_target.Id();
    step.await = [this, field, length, ours] {
        if (!m_target.Windows().boxes.empty()) {
            return std::wstring();
        }
        return L"no box; the field holds " + std::to_wstring(CSoakScreen::EditText(field).size()) +
               L" characters, typed " + std::to_wstring(length) + L"; " + CSoakScreen::ForegroundText(ours) +
               L"; shown windows of ours:" + CSoakScreen::ShownClasses(m_target.Windows());
    };
}

void CSoakUser::DialogCancel(CSoakStep& step, bool escape) {
    const HWND dialog = Dialog();
    if (escape) {
        ClickToFocus(dialog, IDC_PASSWORD_EDIT);
        PlayUntil([] { CSoakInput::Key(VK_ESCAPE); }, [dialog] { return !IsWindow(dialog); }, kTookMs);
    } else {
        step.what += L" (取消)";
        PlayUntil([&] { CSoakInput::Click(CScreenSpots::ControlCenter(dialog, IDCANCEL)); },
                  [dialog] { return !IsWindow(dialog); }, kTookMs);
    }
    // Made or not, the window goes to the notification area; a prompt leaves it where it was.
    if (m_model.dialog == CSoakDialog::kCreate) {
        m_model.shown = false;
    }
    m_model.dialog = CSoakDialog::kNone;
}

void CSoakUser::AboutClose(CSoakStep& step) {
    const HWND about = m_target.Windows().about;
    const int how = Uniform(0, 2);
    if (how == 0) {
        PlayUntil([&] { CSoakInput::Click(CScreenSpots::ControlCenter(about, IDOK)); },
                  [about] { return !IsWindow(about); }, kTookMs);
    } else {
        RECT rect = {};
        GetWindowRect(about, &rect);
        CSoakInput::Click({rect.left + 12, rect.bottom - 12});
        CSoakScreen::AwaitForeground(about);
        CSoakInput::Key(how == 1 ? VK_ESCAPE : VK_RETURN);
        step.what += how == 1 ? L" Esc" : L" Enter";
    }
    m_model.dialog = CSoakDialog::kNone;
}

void CSoakUser::BoxOk(CSoakStep& step) {
    const CSoakWindows windows = m_target.Windows();
    if (windows.boxes.empty()) {
        step.broken.push_back(L"no message box to answer");
        return;
    }
    const HWND box = windows.boxes.front();
    const HWND ok = GetDlgItem(box, IDOK) != nullptr ? GetDlgItem(box, IDOK) : GetDlgItem(box, IDCANCEL);
    if (Chance(70) && ok != nullptr) {
        PlayUntil([&] { CSoakInput::Click(CScreenSpots::ControlCenter(box, GetDlgCtrlID(ok))); },
                  [box] { return !IsWindow(box); }, kTookMs);
    } else {
        step.what += L" Enter";
        RECT rect = {};
        GetWindowRect(box, &rect);
        CSoakInput::Click({rect.left + 8, rect.bottom - 8});
        CSoakScreen::AwaitForeground(box);
        CSoakInput::Key(VK_RETURN);
    }
    m_lifeKinds.insert(L"box " + m_model.box);
    if (m_model.box == kRightPasswordText) {
        m_model.dialog = CSoakDialog::kNone;
        m_model.shown = true;
    }
    m_model.box.clear();
}

// The item is clicked. (Picking it with the keys was tried: a menu opens at the pointer, which may
// already light an item, so the number of Down presses to an item is not known from outside.)
void CSoakUser::ChooseItem(HWND menu, int index, int count, CSoakStep& /*step*/) {
    const POINT item = CSoakScreen::MenuItem(menu, index, count);
    CloseMenu([item] { CSoakInput::Click(item); });
}

bool CSoakUser::PlayUntil(const std::function<void()>& input, const std::function<bool()>& took,
                          DWORD waitMs) {
    CSoakWatchdog::Stage(L"playing an input");
    input();
    CSoakWatchdog::Stage(L"awaiting the input's effect");
    if (CSoakScreen::WaitFor(took, waitMs)) {
        return true;
    }
    ++m_repeats;
    CSoakWatchdog::Stage(L"playing an input again");
    input();
    CSoakWatchdog::Stage(L"awaiting the repeated input's effect");
    return CSoakScreen::WaitFor(took, waitMs);
}

HWND CSoakUser::OpenMenu(const std::function<void()>& input) {
    HWND menu = nullptr;
    PlayUntil(
        input, [&] { return (menu = ReadyMenu()) != nullptr; }, kTookMs);
    return menu;
}

void CSoakUser::CloseMenu(const std::function<void()>& input) {
    PlayUntil(
        input, [this] { return m_target.Windows().menu == nullptr; }, kTookMs);
}

void CSoakUser::ClickToFocus(HWND dialog, int id) {
    const HWND control = GetDlgItem(dialog, id);
    PlayUntil([&] { CSoakInput::Click(CScreenSpots::ControlCenter(dialog, id)); },
              [control] { return CSoakScreen::HasFocus(control); }, kTookMs);
}

// A menu shows before its loop has taken the mouse: a click away that came earlier would go to the
// window under the pointer and leave the menu open. The menu's thread says when its loop runs.
HWND CSoakUser::ReadyMenu() const {
    const HWND menu = m_target.Windows().menu;
    if (menu == nullptr) {
        return nullptr;
    }
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    const bool looping = GetGUIThreadInfo(GetWindowThreadProcessId(menu, nullptr), &info) &&
                         (info.flags & GUI_INMENUMODE) != 0 && info.hwndCapture != nullptr;
    return looping ? menu : nullptr;
}

// Typed in pieces, each once the box holds it: a long burst of input can outrun the program.
void CSoakUser::TypeInto(HWND edit, const std::wstring& text) {
    constexpr size_t kPiece = 24;
    std::wstring kept;
    for (size_t at = 0; at < text.size(); at += kPiece) {
        size_t length = std::min(kPiece, text.size() - at);
        if (at + length < text.size() && IS_HIGH_SURROGATE(text[at + length - 1])) {
            ++length;  // a pair goes in one piece
        }
        const std::wstring piece = text.substr(at, length);
        CSoakInput::Type(piece);
        kept += CSoakText::WithoutControlCharacters(piece);
        CSoakScreen::WaitFor([&] { return CSoakScreen::EditText(edit).size() >= kept.size(); }, 3000);
        at += length - std::min(kPiece, text.size() - at);
    }
}

POINT CSoakUser::TrayIcon() {
    const HWND tray = CScreenSpots::TrayWindow();
    if (tray == nullptr) {
        return CSoakScreen::Away();
    }
    CSoakScreen::PlaceTray(tray, HWND_TOP);
    return CScreenSpots::FirstTrayIcon(tray);
}

void CSoakUser::LowerTray() {
    const HWND tray = CScreenSpots::TrayWindow();
    if (tray != nullptr) {
        CSoakScreen::PlaceTray(tray, HWND_BOTTOM);
    }
}

bool CSoakUser::Deepest() const {
    return m_model.shown && m_model.dialog != CSoakDialog::kNone && !m_model.box.empty();
}

void CSoakUser::NoteScrolledList() {
    if (m_model.running && m_target.Started() &&
        (GetWindowLongW(m_checks.FirstList(), GWL_STYLE) & WS_VSCROLL) != 0) {
        m_lifeKinds.insert(kScrolledKind);
    }
}

bool CSoakUser::Warm() const { return Unplayed().empty(); }

std::wstring CSoakUser::Unplayed() const {
    std::vector<std::wstring> kinds;
    for (size_t i = 0; i < static_cast<size_t>(CSoakAction::kCount); ++i) {
        const auto action = static_cast<CSoakAction>(i);
        if (action != CSoakAction::kStart && !Ends(action)) {
            kinds.emplace_back(ActionName(action));
        }
    }
    for (const wchar_t* box :
         {kEmptyPasswordText, kWrongPasswordText, kRightPasswordText, kPrivateReadyText}) {
        kinds.push_back(std::wstring(L"box ") + box);
    }
    for (const std::wstring& drop : CSoakNames::DropKinds()) {
        kinds.push_back(drop);
    }
    kinds.emplace_back(kScrolledKind);
    kinds.emplace_back(kDeepestKind);
    std::wstring unplayed;
    for (const std::wstring& kind : kinds) {
        if (m_lifeKinds.count(kind) == 0) {
            unplayed += (unplayed.empty() ? L"" : L", ") + kind;
        }
    }
    return unplayed;
}

int CSoakUser::RecordedUrls() const { return static_cast<int>(CSoakText::Lines(m_paths.urlLog).size()); }

void CSoakUser::RememberBaseline() {
    m_baseline.clear();
    for (HWND window = GetTopWindow(nullptr); window != nullptr; window = GetWindow(window, GW_HWNDNEXT)) {
        m_baseline.push_back(window);
    }
}

int CSoakUser::CloseForeignWindows() {
    const DWORD self = GetCurrentProcessId();
    const DWORD shell = CScreenSpots::ProcessOf(GetDesktopWindow());
    std::vector<HWND> closing;
    for (HWND window = GetTopWindow(nullptr); window != nullptr; window = GetWindow(window, GW_HWNDNEXT)) {
        const DWORD owner = CScreenSpots::ProcessOf(window);
        if (!IsWindowVisible(window) || owner == self || owner == shell || owner == m_target.Id() ||
            std::find(m_baseline.begin(), m_baseline.end(), window) != m_baseline.end()) {
            continue;
        }
        PostMessageW(window, WM_CLOSE, 0, 0);
        closing.push_back(window);
    }
    // Gone before the next click: a closing window may still cover the spot the click is meant for.
    CSoakScreen::WaitFor(
        [&] {
            return std::none_of(closing.begin(), closing.end(),
                                [](HWND w) { return IsWindowVisible(w) != FALSE; });
        },
        3000);
    return static_cast<int>(closing.size());
}
