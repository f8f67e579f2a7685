// Starts the real program, reads its window from outside and ends it with Esc.
#include "res/resource.h"
#include "support/RemoteSharedMemory.h"
#include "tests/common/TestPaths.h"
#include "support/E2EProgram.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// Text of a tab item of a tab control in another process: the item record and its text buffer
// live in memory that both processes see.
std::wstring RemoteTabText(HANDLE process, HWND tab, int index) {
    struct Shared {
        TCITEMW item;
        wchar_t text[64];
    };
    RemoteSharedMemory memory(process, sizeof(Shared));
    if (!memory.Valid()) {
        return L"<no shared memory>";
    }
    Shared* local = memory.Local<Shared>();
    local->item.mask = TCIF_TEXT;
    local->item.pszText = memory.Remote<Shared>()->text;
    local->item.cchTextMax = 64;
    SendMessageW(tab, TCM_GETITEMW, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&memory.Remote<Shared>()->item));
    local->text[63] = L'\0';
    return local->text;
}

}  // namespace

TEST(MainWindowEndToEnd, ShowsItsTabsAndSearchTextAndEndsOnEscape) {
    e2e::Program program(test_paths::BinFile(L"Dalvorin.exe"));
    ASSERT_TRUE(program.Started());
    HWND window = e2e::WaitForVisibleWindow(L"Nivvo桌面管理", program.Id(), 60000);
    ASSERT_NE(nullptr, window);

    HWND tab = GetDlgItem(window, IDC_TAB);
    ASSERT_NE(nullptr, tab);
    ASSERT_EQ(3, SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ(L"常用软件", RemoteTabText(program.Process(), tab, 0));
    EXPECT_EQ(L"文件管理", RemoteTabText(program.Process(), tab, 1));
    EXPECT_EQ(L"私人空间", RemoteTabText(program.Process(), tab, 2));
    EXPECT_EQ(0, SendMessageW(tab, TCM_GETCURSEL, 0, 0));

    HWND search = GetDlgItem(window, IDC_SEARCH_EDIT);
    wchar_t text[64] = {};
    SendMessageW(search, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(L"百度我是你大爷", text);

    PostMessageW(search, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(0u, program.WaitForExit(30000)) << "the program did not end on Esc";
}
