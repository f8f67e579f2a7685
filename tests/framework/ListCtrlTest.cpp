// List-view wrapper: texts of any length come back whole, or cut to the caller's buffer.
#include "framework/AfxWin.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class ListWindow {
public:
    ListWindow() {
        m_list.Attach(CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP | LVS_REPORT, 0, 0, 200, 100, nullptr,
                                      nullptr, GetModuleHandleW(nullptr), nullptr));
        m_list.InsertColumn(0, L"ID", LVCFMT_LEFT, 40);
        m_list.InsertColumn(1, L"NAME", LVCFMT_LEFT, 50);
    }
    ~ListWindow() { m_list.DestroyWindow(); }
    CListCtrl m_list;
};

}  // namespace

TEST(ListCtrl, ItemTextOfAnyLengthComesBackWhole) {
    ListWindow window;
    CListCtrl& list = window.m_list;
    const std::wstring longPath = L"C:\\" + std::wstring(600, L'长') + L"\\file.exe";
    const int row = list.InsertItem(LVIF_TEXT, 0, L"名字", 0, 0, 0, 0);
    ASSERT_EQ(0, row);
    list.SetItemText(row, 1, longPath.c_str());

    EXPECT_EQ(CString(longPath), list.GetItemText(row, 1));
    EXPECT_EQ(CString(L"名字"), list.GetItemText(row, 0));
    EXPECT_TRUE(list.GetItemText(-1, 1).IsEmpty());
    EXPECT_TRUE(list.GetItemText(5, 1).IsEmpty());
}

TEST(ListCtrl, BufferFormCutsToTheBufferAndAlwaysTerminates) {
    ListWindow window;
    CListCtrl& list = window.m_list;
    const std::wstring longText(400, L'x');
    list.InsertItem(LVIF_TEXT, 0, L"row", 0, 0, 0, 0);
    list.SetItemText(0, 1, longText.c_str());

    wchar_t buffer[261];
    buffer[260] = L'#';
    EXPECT_EQ(259, list.GetItemText(0, 1, buffer, 260));
    EXPECT_EQ(259u, wcslen(buffer));
    EXPECT_EQ(L'#', buffer[260]);

    buffer[0] = L'z';
    EXPECT_EQ(0, list.GetItemText(-1, 1, buffer, 260));
    EXPECT_EQ(L'\0', buffer[0]);
}
