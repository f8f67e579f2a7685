// The seeded random user: picks the next action from what the model says is on screen (so that
// a seed and a step replay the same sequence), plays it with real input and tells the model what
// must follow.
#pragma once

#include "bench/user_soak/SoakChecks.h"
#include "bench/user_soak/SoakDesktop.h"
#include "bench/user_soak/SoakDice.h"
#include "bench/user_soak/SoakModel.h"
#include "bench/user_soak/SoakNames.h"
#include "bench/user_soak/SoakTarget.h"

#include <functional>
#include <set>
#include <string>
#include <vector>

enum class CSoakAction {
    kStart,
    kTab,
    kStartMenu,
    kTypeSearch,
    kSearch,
    kEnter,
    kEscape,
    kMinimise,
    kCreatePassword,
    kAbout,
    kDropFirst,
    kDropSecond,
    kRowMenu,
    kRowDoubleClick,
    kPrivateOpen,
    kPrivateClose,
    kSecondStart,
    kTrayDoubleClick,
    kTrayClose,
    kTrayDismiss,
    kDesktopRemove,
    kTypePassword,
    kDialogCancel,
    kDialogEscape,
    kAboutClose,
    kBoxOk,
    kCount
};

const wchar_t* ActionName(CSoakAction action);

// What an action left to wait for, beyond the model's state: empty once met, else what is missing.
struct CSoakStep {
    std::wstring what;
    std::function<std::wstring()> await;
    DWORD deadlineMs = 5000;
    bool rowsChanged = false;
    std::vector<std::wstring> broken;  // found while playing the action
};

struct CSoakPaths {
    std::wstring exe;
    std::wstring folder;
    std::wstring probe;
    std::wstring fixtures;
    std::wstring urlLog;
};

class CSoakUser {
public:
    CSoakUser(unsigned seed, const CSoakPaths& paths, CSoakTarget& target, CSoakChecks& checks,
              CSoakModel& model, CSoakDesktop& desktop);

    CSoakAction Choose();
    CSoakStep Perform(CSoakAction action);
    // Whether the action ends the program when it works.
    static bool Ends(CSoakAction action);
    // Closes windows that other programs opened for us (a file manager, a console) so that they
    // do not pile up; how many it closed.
    int CloseForeignWindows();
    void RememberBaseline();
    // Whether this process has played every kind of action, answered every kind of box and taken
    // a drop of every kind of name: the first of each fills a cache (a menu's pictures, a box's
    // icon, a type's icon) that then stays, so objects are counted only from then on.
    bool Warm() const;
    // What this process has yet to play before it is warm, for the log; empty once it is.
    std::wstring Unplayed() const;
    // Addresses the URL recorder holds.
    int RecordedUrls() const;
    // Inputs played a second time because the program never saw the first (see PlayUntil).
    int Repeats() const { return m_repeats; }

private:
    void Play(CSoakAction action, CSoakStep& step);
    // Marks the process once its first list has shown a scroll bar (a warm-up kind).
    void NoteScrolledList();
    // Whether a box is up over a dialog over the shown main window.
    bool Deepest() const;

    // Actions, each filling in the step and the model's expectation.
    void Start(CSoakStep& step);
    void ClickTab(CSoakStep& step);
    void StartMenu(CSoakStep& step);
    void TypeSearch(CSoakStep& step);
    void Search(CSoakStep& step);
    void EndWithKey(CSoakStep& step, WORD key);
    void Minimise(CSoakStep& step);
    void CreatePassword(CSoakStep& step);
    void About(CSoakStep& step);
    void DropFirst(CSoakStep& step);
    void DropSecond(CSoakStep& step);
    void RowMenu(CSoakStep& step);
    void RowDoubleClick(CSoakStep& step);
    void PrivateButton(CSoakStep& step, bool open);
    void SecondStart(CSoakStep& step);
    void TrayDoubleClick(CSoakStep& step);
    void TrayMenu(CSoakStep& step, bool close);
    void DesktopRemove(CSoakStep& step);
    void TypePassword(CSoakStep& step);
    void DialogCancel(CSoakStep& step, bool escape);
    void AboutClose(CSoakStep& step);
    void BoxOk(CSoakStep& step);

    // Plays `input` and waits up to `waitMs` for `took`; when the program shows no sign of it, the
    // input is played once more, as a user clicks again on a click that did not take. Whether it
    // took in the end.
    bool PlayUntil(const std::function<void()>& input, const std::function<bool()>& took, DWORD waitMs);
    // Opens a menu of the program with `input` (a click, a key): the menu, or null.
    HWND OpenMenu(const std::function<void()>& input);
    // Clicks an item or away (or presses Esc) until the menu is gone.
    void CloseMenu(const std::function<void()>& input);
    // What a restore request (icon double click, second start) must do.
    void ExpectRestoreRequest();
    bool Drop(HWND list, const std::vector<std::wstring>& paths);
    void TypeInto(HWND edit, const std::wstring& text);
    HWND Dialog() const;
    // The program's shown menu once its loop has the mouse, else null. (On a loaded machine running
    // Wine under emulation a menu took over 2 s to come.)
    HWND ReadyMenu() const;
    void ClickToFocus(HWND dialog, int id);
    void ChooseItem(HWND menu, int index, int count, CSoakStep& step);
    POINT TrayIcon();
    void LowerTray();
    int Uniform(int low, int high) { return m_dice.Uniform(low, high); }
    bool Chance(int percent) { return m_dice.Chance(percent); }

    CSoakDice m_dice;
    CSoakNames m_names;
    CSoakPaths m_paths;
    CSoakTarget& m_target;
    CSoakChecks& m_checks;
    CSoakModel& m_model;
    CSoakDesktop& m_desktop;
    std::vector<HWND> m_baseline;
    int m_repeats = 0;
    std::set<std::wstring> m_lifeKinds;  // what this process has been through, for Warm
};
