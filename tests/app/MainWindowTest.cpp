// The main window made from its template: initialisation, tab pages, minimise-to-hide, search.
#include "app/DalvorinDlg.h"
#include "tests/common/ShellCallRecorder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring WindowText(HWND hwnd) {
    wchar_t text[256] = {};
    GetWindowTextW(hwnd, text, 256);
    return text;
}

// A page's rectangle in the client coordinates of the tab control that holds it.
RECT RectInParent(const CWnd& page) {
    RECT rect;
    ::GetWindowRect(page, &rect);
    MapWindowPoints(nullptr, ::GetParent(page), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dialog.Create(CDalvorinDlg::IDD)); }
    void TearDown() override { m_dialog.DestroyWindow(); }

    LRESULT SelectTab(int index) {
        m_dialog.m_tab.SetCurSel(index);
        NMHDR header = {m_dialog.m_tab.m_hWnd, IDC_TAB, static_cast<UINT>(TCN_SELCHANGE)};
        return m_dialog.SendMessage(WM_NOTIFY, IDC_TAB, reinterpret_cast<LPARAM>(&header));
    }
    CDialog* Page(int index) {
        CDialog* pages[] = {&m_dialog.m_fileToolPage, &m_dialog.m_systemToolPage, &m_dialog.m_hideToolPage};
        return pages[index];
    }
    RECT ExpectedPageRectAfterSwitch() {
        RECT tab;
        m_dialog.m_tab.GetClientRect(&tab);
        return RECT{10, 30, 10 + tab.right - 20, 30 + tab.bottom - 40};
    }
    std::wstring SearchText() { return WindowText(::GetDlgItem(m_dialog, IDC_SEARCH_EDIT)); }

    CDalvorinDlg m_dialog;
};

}  // namespace

TEST_F(MainWindowTest, StartsWithItsTitleIconsSearchTextAndControlsBound) {
    EXPECT_EQ(L"Nivvo桌面管理", WindowText(m_dialog));
    EXPECT_EQ(L"百度我是你大爷", SearchText());
    ASSERT_NE(nullptr, m_dialog.m_hIcon);
    EXPECT_EQ(m_dialog.m_hIcon, reinterpret_cast<HICON>(m_dialog.SendMessage(WM_GETICON, ICON_BIG)));
    EXPECT_EQ(m_dialog.m_hIcon, reinterpret_cast<HICON>(m_dialog.SendMessage(WM_GETICON, ICON_SMALL)));
    EXPECT_EQ(::GetDlgItem(m_dialog, IDC_TAB), m_dialog.m_tab.m_hWnd);
    EXPECT_EQ(::GetDlgItem(m_dialog, IDC_START_BUTTON), m_dialog.m_startButton.m_hWnd);
    EXPECT_NE(nullptr, ::GetMenu(m_dialog));
}

TEST_F(MainWindowTest, SystemMenuEndsWithASeparatorAndTheAboutEntry) {
    HMENU systemMenu = ::GetSystemMenu(m_dialog, FALSE);
    ASSERT_NE(nullptr, systemMenu);
    const int count = GetMenuItemCount(systemMenu);
    ASSERT_GE(count, 2);
    EXPECT_EQ(static_cast<UINT>(MF_SEPARATOR),
              GetMenuState(systemMenu, count - 2, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(static_cast<UINT>(IDM_ABOUTBOX), GetMenuItemID(systemMenu, count - 1));
    wchar_t text[64] = {};
    GetMenuStringW(systemMenu, count - 1, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(L"关于 Dalvorin(&A)...", text);
}

TEST_F(MainWindowTest, NotificationAreaRecordIsFilledForTheWindow) {
    const NOTIFYICONDATAW& record = m_dialog.m_trayIcon.Record();
    EXPECT_EQ(956u, record.cbSize);
    EXPECT_EQ(m_dialog.m_hWnd, record.hWnd);
    EXPECT_EQ(128u, record.uID);
    EXPECT_EQ(7u, record.uFlags);
    EXPECT_EQ(0x40Au, record.uCallbackMessage);
    EXPECT_NE(nullptr, record.hIcon);
    EXPECT_STREQ(L"Nivvo桌面管理", record.szTip);
    EXPECT_EQ(0u, record.dwState);
    EXPECT_EQ(0u, record.dwInfoFlags);
}

TEST_F(MainWindowTest, ThreeTabsWithTheirIconsOverThreePagesInsideTheTabControl) {
    const wchar_t* texts[] = {L"常用软件", L"文件管理", L"私人空间"};
    ASSERT_EQ(3, m_dialog.m_tab.GetItemCount());
    for (int i = 0; i < 3; ++i) {
        wchar_t text[32] = {};
        TCITEMW item = {};
        item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_PARAM;
        item.pszText = text;
        item.cchTextMax = 32;
        ASSERT_TRUE(m_dialog.m_tab.SendMessage(TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item)));
        EXPECT_STREQ(texts[i], text);
        EXPECT_EQ(i, item.iImage);
        EXPECT_EQ(0, item.lParam);
        EXPECT_EQ(m_dialog.m_tab.m_hWnd, ::GetParent(*Page(i)))
            << "page " << i << " belongs to the tab control";
    }
    EXPECT_EQ(3, m_dialog.m_tabImages.GetImageCount());
    EXPECT_EQ(m_dialog.m_tabImages.GetSafeHandle(),
              reinterpret_cast<HIMAGELIST>(m_dialog.m_tab.SendMessage(TCM_GETIMAGELIST)));
    int cx = 0;
    int cy = 0;
    ImageList_GetIconSize(m_dialog.m_tabImages, &cx, &cy);
    EXPECT_EQ(16, cx);
    EXPECT_EQ(16, cy);
}

TEST_F(MainWindowTest, FirstPageIsShownAndSizedFromTheDialogsClientAreaOthersHidden) {
    EXPECT_EQ(0, m_dialog.m_tab.GetCurSel());
    EXPECT_TRUE(Page(0)->IsWindowVisible());
    EXPECT_FALSE(Page(1)->IsWindowVisible());
    EXPECT_FALSE(Page(2)->IsWindowVisible());
    RECT client;
    m_dialog.GetClientRect(&client);
    EXPECT_TRUE(
        SameRect(RECT{10, 30, 10 + client.right - 21, 30 + client.bottom - 42}, RectInParent(*Page(0))));
}

TEST_F(MainWindowTest, SwitchingTabsShowsOnePageAndGivesAllPagesTheTabsRectangle) {
    EXPECT_EQ(0, SelectTab(2));
    EXPECT_FALSE(Page(0)->IsWindowVisible());
    EXPECT_FALSE(Page(1)->IsWindowVisible());
    EXPECT_TRUE(Page(2)->IsWindowVisible());

    EXPECT_EQ(0, SelectTab(0));
    EXPECT_TRUE(Page(0)->IsWindowVisible());
    EXPECT_FALSE(Page(1)->IsWindowVisible());
    EXPECT_FALSE(Page(2)->IsWindowVisible());
    const RECT expected = ExpectedPageRectAfterSwitch();
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(SameRect(expected, RectInParent(*Page(i)))) << "page " << i;
    }

    SelectTab(1);
    EXPECT_TRUE(Page(1)->IsWindowVisible());
    EXPECT_FALSE(Page(0)->IsWindowVisible());
}

TEST_F(MainWindowTest, NoSelectionLeavesThePagesAlone) {
    const RECT before = RectInParent(*Page(0));
    EXPECT_EQ(0, SelectTab(-1));
    EXPECT_TRUE(Page(0)->IsWindowVisible());
    EXPECT_TRUE(SameRect(before, RectInParent(*Page(0))));
}

TEST_F(MainWindowTest, MinimisingHidesTheWindowOtherSizeChangesDoNothing) {
    const RECT before = RectInParent(*Page(0));
    m_dialog.SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 400));
    EXPECT_TRUE(m_dialog.IsWindowVisible());
    EXPECT_TRUE(SameRect(before, RectInParent(*Page(0))));

    m_dialog.ShowWindow(SW_MINIMIZE);
    EXPECT_FALSE(m_dialog.IsWindowVisible());
    EXPECT_EQ(WS_EX_APPWINDOW, m_dialog.GetExStyle() & WS_EX_APPWINDOW);
}

TEST_F(MainWindowTest, SearchButtonOpensTheResultsPageForTheTypedText) {
    ShellCallRecorder recorder;
    HWND button = ::GetDlgItem(m_dialog, IDC_SEARCH_BUTTON);
    ::SendMessageW(button, BM_CLICK, 0, 0);
    ASSERT_EQ(1u, ShellCallRecorder::Calls().size());
    const RecordedShellCall& call = ShellCallRecorder::Calls()[0];
    EXPECT_EQ(m_dialog.m_hWnd, call.owner);
    EXPECT_EQ(L"open", call.verb);
    EXPECT_EQ(
        L"http://www.baidu.com/s?wd=%E7%99%BE%E5%BA%A6%E6%88%91%E6%98%AF%E4%BD%A0%E5%A4%A7%E7%88%B7"
        L"&rsv_spt=1&issp=1&rsv_bp=0&ie=utf-8&tn=baiduhome_pg&rsv_sug3=3&rsv_sug=0&rsv_sug1=3"
        L"&rsv_sug4=266&inputT=5488",
        call.file);
    EXPECT_EQ(L"", call.parameters);
    EXPECT_EQ(L"", call.directory);
    EXPECT_EQ(SW_SHOWNORMAL, call.show);

    // Typing alone searches nothing; the next click takes the new text, unescaped characters too.
    m_dialog.SetDlgItemText(IDC_SEARCH_EDIT, L"a&b c");
    EXPECT_EQ(1u, ShellCallRecorder::Calls().size());
    ::SendMessageW(button, BM_CLICK, 0, 0);
    ASSERT_EQ(2u, ShellCallRecorder::Calls().size());
    EXPECT_NE(std::wstring::npos, ShellCallRecorder::Calls()[1].file.find(L"wd=a%26b%20c&rsv_spt=1"));

    m_dialog.SetDlgItemText(IDC_SEARCH_EDIT, L"");
    ::SendMessageW(button, BM_CLICK, 0, 0);
    ASSERT_EQ(3u, ShellCallRecorder::Calls().size());
    EXPECT_NE(std::wstring::npos, ShellCallRecorder::Calls()[2].file.find(L"/s?wd=&rsv_spt=1"));
}

TEST(MainWindowStart, WithoutATabImageListTheWindowStillShowsButGetsNoPagesTabsOrSearchText) {
    CDalvorinDlg dialog;
    // An image list that is already held makes creating the tab image list fail.
    CImageList held;
    ASSERT_TRUE(held.Create(16, 16, ILC_COLOR32, 1, 1));
    dialog.m_tabImages.Attach(held.Detach());

    ASSERT_TRUE(dialog.Create(CDalvorinDlg::IDD));
    EXPECT_TRUE(dialog.IsWindowVisible());
    EXPECT_EQ(L"Nivvo桌面管理", WindowText(dialog));
    EXPECT_EQ(dialog.m_hWnd, dialog.m_trayIcon.Record().hWnd);  // the tray icon comes before the image list
    EXPECT_EQ(0, dialog.m_tab.GetItemCount());
    EXPECT_EQ(0, dialog.m_tabImages.GetImageCount());
    EXPECT_EQ(nullptr, dialog.m_fileToolPage.m_hWnd);
    EXPECT_EQ(nullptr, dialog.m_systemToolPage.m_hWnd);
    EXPECT_EQ(nullptr, dialog.m_hideToolPage.m_hWnd);
    EXPECT_EQ(L"", WindowText(::GetDlgItem(dialog, IDC_SEARCH_EDIT)));
    dialog.DestroyWindow();
}
