// The "文件管理" page: one preset entry, and nothing that acts on it.
#include "pages/SystemToolDlg.h"
#include "tests/pages/PageHarness.h"

#include <gtest/gtest.h>

using harness::HostedPage;
using harness::StartRecorder;

TEST(SystemToolPage, ShowsOnlyThePresetProgramWhetherOrNotItExists) {
    HostedPage<CSystemToolDlg> page;
    ASSERT_TRUE(page.Created());
    const std::vector<harness::Row> rows = harness::ReadRows(page.List());

    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ(L"d://BigFoot.exe", rows[0].name);
    EXPECT_EQ(L"d://BigFoot.exe", rows[0].path);
    EXPECT_EQ(L"", rows[0].target);
    EXPECT_EQ(0, rows[0].image);
    EXPECT_EQ(1, harness::ImageCount(page.List()));
    const DWORD style = GetWindowLongW(page.List(), GWL_STYLE);
    EXPECT_EQ(0u, style & LVS_SORTASCENDING);
    EXPECT_EQ(static_cast<DWORD>(LVS_ICON), style & LVS_TYPEMASK);
}

TEST(SystemToolPage, ClicksAndMenuCommandsDoNothing) {
    StartRecorder started;
    HostedPage<CSystemToolDlg> page;
    ASSERT_TRUE(page.Created());
    harness::SetSelectionMark(page.List(), 0);

    harness::NotifyFromList(page.Window(), page.List(), NM_DBLCLK);
    harness::NotifyFromList(page.Window(), page.List(), NM_RCLICK);  // would block here if it showed a menu
    for (UINT id : {ID_ENTRY_OPEN, ID_ENTRY_LOCATE, ID_ENTRY_DELETE, ID_DESKTOP_SHORTCUT}) {
        harness::ChooseCommand(page.Window(), id);
    }

    EXPECT_EQ(0u, StartRecorder::Total());
    EXPECT_EQ(1, harness::RowCount(page.List()));
    EXPECT_EQ(L"d://BigFoot.exe", harness::ItemText(page.List(), 0, 0));
}
