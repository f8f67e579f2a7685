// Starts the real program on a desktop of fixtures and reads the first tab's list from outside.
#include "res/resource.h"
#include "support/RemoteListRows.h"
#include "tests/common/TestPaths.h"
#include "support/E2EProgram.h"
#include "tests/pages/DesktopFixture.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using fixture::DesktopFixture;

namespace {

// The entry lists of both list pages: the shown one (the first tab's) and the hidden one.
struct EntryLists {
    HWND shown = nullptr;
    HWND hidden = nullptr;
};

BOOL CALLBACK FindEntryLists(HWND child, LPARAM param) {
    wchar_t className[32] = {};
    GetClassNameW(child, className, 32);
    if (lstrcmpW(className, WC_LISTVIEWW) == 0 && GetDlgCtrlID(child) == IDC_ENTRY_LIST) {
        auto* lists = reinterpret_cast<EntryLists*>(param);
        (IsWindowVisible(child) ? lists->shown : lists->hidden) = child;
    }
    return TRUE;
}

}  // namespace

TEST(DesktopPageEndToEnd, TheListPagesShowTheDesktopsProgramShortcutsAndThePresetEntry) {
    DesktopFixture desk;
    ASSERT_TRUE(DesktopFixture::DesktopContents().empty()) << "the shared desktop folder holds leftovers";
    const std::wstring tool = desk.TargetFile(L"bin\\tool.exe");
    const std::wstring hangul = desk.TargetFile(L"bin\\한글.exe");
    desk.Shortcut(L"Tool.lnk", tool);
    desk.Shortcut(L"한글 도구.lnk", hangul);
    desk.Shortcut(L"Notes.lnk", desk.TargetFile(L"docs\\notes.txt", "text"));
    desk.DesktopFile(L"plain.exe", "MZ");

    e2e::Program program(test_paths::BinFile(L"Dalvorin.exe"));
    ASSERT_TRUE(program.Started());
    HWND window = e2e::WaitForVisibleWindow(L"Nivvo桌面管理", program.Id(), 60000);
    ASSERT_NE(nullptr, window) << "the main window did not appear";

    EntryLists lists;
    EnumChildWindows(window, FindEntryLists, reinterpret_cast<LPARAM>(&lists));
    HWND list = lists.shown;
    ASSERT_NE(nullptr, list) << "no entry list is shown";
    EXPECT_NE(0, GetWindowLongW(list, GWL_STYLE) & LVS_SORTASCENDING)
        << "the shown list is not the first tab's";

    const std::vector<remote::ListRow> rows = remote::ReadRows(program.Process(), list);
    ASSERT_EQ(3u, rows.size());
    for (size_t i = 1; i < rows.size(); ++i) {
        EXPECT_LE(lstrcmpiW(rows[i - 1].name.c_str(), rows[i].name.c_str()), 0) << "rows are not in order";
    }
    int matched = 0;
    for (const remote::ListRow& row : rows) {
        if (row.name == L"Tool.lnk") {
            EXPECT_EQ(desk.OnDesktop(L"Tool.lnk"), row.path);
            EXPECT_EQ(tool, row.target);
            ++matched;
        } else if (row.name == L"한글 도구.lnk") {
            EXPECT_EQ(desk.OnDesktop(L"한글 도구.lnk"), row.path);
            EXPECT_EQ(hangul, row.target);
            ++matched;
        } else if (row.name == L"可拖拽显示") {
            EXPECT_EQ(L"", row.path);
            ++matched;
        }
    }
    EXPECT_EQ(3, matched);

    // The second tab's list, not shown yet, holds the preset entry alone.
    ASSERT_NE(nullptr, lists.hidden);
    const std::vector<remote::ListRow> preset = remote::ReadRows(program.Process(), lists.hidden);
    ASSERT_EQ(1u, preset.size());
    EXPECT_EQ(L"d://BigFoot.exe", preset[0].name);
    EXPECT_EQ(L"d://BigFoot.exe", preset[0].path);

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program.WaitForExit(30000)) << "the program did not end";
}
