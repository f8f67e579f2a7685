// How the running main window ends: Enter in the search box, Esc and the close box.
#include "app/DalvorinDlg.h"
#include "tests/common/ShellCallRecorder.h"

#include <gtest/gtest.h>

namespace {

enum class Ending { kEnterInSearchBox, kEscape, kCloseBox };

Ending g_ending = Ending::kEscape;

// Runs inside the dialog's modal loop once it is up.
void CALLBACK EndRunningWindow(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = FindWindowW(nullptr, L"Nivvo桌面管理");
    if (dialog == nullptr || !IsWindowVisible(dialog)) {
        return;  // not up yet: try again on the next tick
    }
    KillTimer(nullptr, timer);
    HWND search = GetDlgItem(dialog, IDC_SEARCH_EDIT);
    SetFocus(search);
    switch (g_ending) {
        case Ending::kEnterInSearchBox:
            PostMessageW(search, WM_KEYDOWN, VK_RETURN, 0);
            break;
        case Ending::kEscape:
            PostMessageW(search, WM_KEYDOWN, VK_ESCAPE, 0);
            break;
        case Ending::kCloseBox:
            PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
    }
}

INT_PTR RunMainWindowEndingWith(Ending ending) {
    g_ending = ending;
    CDalvorinDlg dialog;
    SetTimer(nullptr, 0, 50, EndRunningWindow);
    return dialog.DoModal();
}

}  // namespace

TEST(MainWindowModal, EnterInTheSearchBoxEndsTheWindowWithOkAndDoesNotSearch) {
    ShellCallRecorder recorder;
    EXPECT_EQ(IDOK, RunMainWindowEndingWith(Ending::kEnterInSearchBox));
    EXPECT_TRUE(ShellCallRecorder::Calls().empty());
}

TEST(MainWindowModal, EscapeAndTheCloseBoxEndTheWindowWithCancel) {
    EXPECT_EQ(IDCANCEL, RunMainWindowEndingWith(Ending::kEscape));
    EXPECT_EQ(IDCANCEL, RunMainWindowEndingWith(Ending::kCloseBox));
}
