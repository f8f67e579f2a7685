// The string class: searching, slicing, formatting, resources and buffer access.
#include "framework/AfxWin.h"
#include "res/resource.h"

#include <gtest/gtest.h>

TEST(String, SearchingAndSlicingStayInsideTheText) {
    const CString path(L"C:\\文件夹\\程序.exe");
    EXPECT_EQ(6, path.ReverseFind(L'\\'));
    EXPECT_EQ(CString(L"程序.exe"), path.Right(path.GetLength() - path.ReverseFind(L'\\') - 1));
    EXPECT_EQ(-1, CString(L"no separator").ReverseFind(L'\\'));
    EXPECT_EQ(9, path.Find(L".exe"));
    EXPECT_EQ(-1, path.Find(L".EXE"));
    EXPECT_EQ(-1, path.Find(L"x", 100));
    EXPECT_EQ(CString(L"C:"), path.Left(2));
    EXPECT_EQ(path, path.Right(1000));
    EXPECT_EQ(CString(L""), path.Right(-3));
    EXPECT_EQ(CString(L"文件夹"), path.Mid(3, 3));
    EXPECT_EQ(CString(L".exe"), path.Mid(9));
    EXPECT_EQ(CString(L""), path.Mid(50, 2));
}

TEST(String, FormatTakesWideStringsAndGrowsAsNeeded) {
    CString text;
    text.Format(L"%s\\%s #%d", L"桌面", L"程序.lnk", 7);
    EXPECT_EQ(CString(L"桌面\\程序.lnk #7"), text);

    const std::wstring longPart(3000, L'长');
    text.Format(L"[%s]", longPart.c_str());
    EXPECT_EQ(3002, text.GetLength());
}

TEST(String, LoadStringReadsTheResourceAndReportsMissingOnes) {
    CString text;
    EXPECT_TRUE(text.LoadString(IDS_ABOUTBOX));
    EXPECT_EQ(CString(L"关于 Dalvorin(&A)..."), text);
    EXPECT_FALSE(text.LoadString(9999));
    EXPECT_TRUE(text.IsEmpty());
}

TEST(String, OutOfRangeIndexRaisesInvalidArgument) {
    const CString text(L"ab");
    EXPECT_EQ(L'b', text.GetAt(1));
    const CBoundsFault::Expected fallbackUnderTest;
    EXPECT_THROW(text.GetAt(2), CInvalidArgException);
    EXPECT_THROW(text.GetAt(-1), CInvalidArgException);
}

TEST(String, BufferAccessKeepsWhatTheCallerWrote) {
    CString text;
    wchar_t* buffer = text.GetBuffer(10);
    lstrcpynW(buffer, L"窗口标题", 11);
    text.ReleaseBuffer();
    EXPECT_EQ(CString(L"窗口标题"), text);

    buffer = text.GetBuffer(10);
    text.ReleaseBuffer(2);
    EXPECT_EQ(CString(L"窗口"), text);

    // A length past the buffer keeps only the buffer.
    const CBoundsFault::Expected fallbackUnderTest;
    text.GetBuffer(3);
    text.ReleaseBuffer(50);
    EXPECT_EQ(3, text.GetLength());
}

// The test build stops at a stray index instead of letting a caught exception hide it.
TEST(BoundsFaultDeathTest, AnUnexpectedIndexStopsTheTestBuild) {
    ASSERT_TRUE(CBoundsFault::Asserts());
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const CString text(L"ab");
    CTypedPtrArray<CPtrArray, int*> items;
    EXPECT_DEATH(text.GetAt(2), "CString::GetAt index");
    EXPECT_DEATH(items.GetAt(0), "CArray index");
    EXPECT_DEATH(CString(L"ab").ReleaseBuffer(3), "ReleaseBuffer length");
}

// So does a window, menu or DC wrapper used with no handle. The shipped fallback never hands the
// null handle to a call that reads it as "every window" or "this thread": nothing is posted.
TEST(BoundsFaultDeathTest, AWrapperWithNoHandleStopsTheTestBuildAndItsFallbackPostsNothing) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    CWnd noWindow;
    CMenu noMenu;
    CDC noDc;
    EXPECT_DEATH(noWindow.InvalidateRect(nullptr), "CWnd::InvalidateRect");
    EXPECT_DEATH(noMenu.GetMenuItemCount(), "CMenu::GetMenuItemCount");
    EXPECT_DEATH(noDc.SetPixel(0, 0, 0), "CDC::SetPixel");

    const CBoundsFault::Expected fallbackUnderTest;
    EXPECT_FALSE(noWindow.PostMessage(WM_APP));
    MSG threadMessage = {};
    EXPECT_FALSE(PeekMessageW(&threadMessage, reinterpret_cast<HWND>(-1), WM_APP, WM_APP, PM_REMOVE));
}

TEST(String, LowerCasingFollowsTheLetters) {
    CString text(L"&File ÄÖ 文件");
    EXPECT_EQ(CString(L"&file äö 文件"), text.MakeLower());
}
