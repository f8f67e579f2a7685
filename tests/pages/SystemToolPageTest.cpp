// The "文件管理" page: one preset entry, and nothing that acts on it.
#include "pages/SystemToolDlg.h"
#include "tests/pages/PageHarness.h"

#include <gtest/gtest.h>

#include <vector>

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

// The list destroys its own image list when it goes (its template does not share image lists);
// the page object, gone later, must not destroy that handle again: by then it may be a new list's.
TEST(SystemToolPage, GoingAwayLeavesAnImageListMadeAfterItsWindowAlone) {
    std::vector<HIMAGELIST> later;
    {
        HostedPage<CSystemToolDlg> page;
        ASSERT_TRUE(page.Created());
        ASSERT_EQ(page.Get().m_imageList.GetSafeHandle(), ListView_GetImageList(page.List(), LVSIL_NORMAL));
        page.Get().DestroyWindow();
        EXPECT_EQ(nullptr, page.Get().m_imageList.GetSafeHandle()) << "the page still holds the freed handle";

        // Lists of the same kind, made where the freed one's handle may come back.
        HICON icon = LoadIconW(nullptr, IDI_APPLICATION);
        for (int i = 0; i < 4; ++i) {
            later.push_back(ImageList_Create(32, 32, ILC_COLOR24 | ILC_MASK, 1, 0));
            ImageList_ReplaceIcon(later.back(), -1, icon);
        }
    }
    for (HIMAGELIST list : later) {
        int cx = 0;
        int cy = 0;
        EXPECT_TRUE(ImageList_GetIconSize(list, &cx, &cy));
        EXPECT_EQ(32, cx);
        EXPECT_EQ(1, ImageList_GetImageCount(list));
        ImageList_Destroy(list);
    }
}
