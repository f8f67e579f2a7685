// Starting the program while it runs brings the running copy back instead of a second window.
#include "tests/common/TestPaths.h"
#include "tests/e2e/ProgramHarness.h"

#include <gtest/gtest.h>

namespace {

constexpr wchar_t kTitle[] = L"Nivvo桌面管理";

}  // namespace

TEST(SecondStartEndToEnd, HandsOverToTheHiddenRunningCopyWhichShowsItselfAndEnds) {
    e2e::Program first(test_paths::BinFile(L"Dalvorin.exe"));
    ASSERT_TRUE(first.Started());
    HWND window = e2e::WaitForWindow(kTitle, first.Id(), 60000);
    ASSERT_NE(nullptr, window) << "the main window did not appear";

    PostMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(window); }, 20000))
        << "minimising did not hide it";

    e2e::Program second(test_paths::BinFile(L"Dalvorin.exe"));
    ASSERT_TRUE(second.Started());
    EXPECT_EQ(0u, second.WaitForExit(40000)) << "the second start did not end by itself";
    EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(window) && !IsIconic(window); }, 20000))
        << "the running copy did not show itself";
    EXPECT_TRUE(e2e::TopLevelWindows(kTitle, second.Id()).empty());
    EXPECT_EQ(1u, e2e::TopLevelWindows(kTitle, 0).size()) << "one main window, one notification-area icon";

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, first.WaitForExit(30000));
}
