// The message loop shared by the thread and the modal dialogs: the thread's loop frees the
// temporary wrappers (never their handles) once the queue has gone idle, as the modal loop does.
#include "framework/AfxWin.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT WM_TEST_BORROW = WM_APP + 30;
constexpr UINT_PTR kCheckTimer = 12;

class CBorrowingWnd : public CWnd {
public:
    HWND stranger = nullptr;
    HMENU strangerMenu = nullptr;
    size_t temporariesAfterBorrow = 0;
    size_t temporariesWhenIdle = 0;

protected:
    LRESULT OnBorrow(WPARAM, LPARAM) {
        CWnd::FromHandle(stranger);
        CMenu::FromHandle(strangerMenu);
        temporariesAfterBorrow = CWndHandleMap::TemporaryCount() + CMenuHandleMap::TemporaryCount();
        ::SetTimer(m_hWnd, kCheckTimer, 50, nullptr);  // due only after the queue has gone idle
        return 0;
    }
    LRESULT OnTimer(WPARAM, LPARAM) {
        ::KillTimer(m_hWnd, kCheckTimer);
        temporariesWhenIdle = CWndHandleMap::TemporaryCount() + CMenuHandleMap::TemporaryCount();
        PostQuitMessage(5);
        return 0;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBorrowingWnd, CWnd)
    ON_MESSAGE(WM_TEST_BORROW, &CBorrowingWnd::OnBorrow)
    ON_MESSAGE(WM_TIMER, &CBorrowingWnd::OnTimer)
END_MESSAGE_MAP()

HWND CreatePopup() {
    return CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

TEST(MessagePump, ThreadLoopFreesTemporariesWhenIdleAndEndsOnQuit) {
    CMessagePump::FreeTemporaries();
    CBorrowingWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(CreatePopup()));
    wnd.stranger = CreatePopup();
    wnd.strangerMenu = CreatePopupMenu();
    wnd.PostMessage(WM_TEST_BORROW);

    CWinThread thread;
    EXPECT_EQ(0, thread.Run());  // ExitInstance's code once WM_QUIT arrives
    EXPECT_EQ(2u, wnd.temporariesAfterBorrow);
    EXPECT_EQ(0u, wnd.temporariesWhenIdle);
    EXPECT_TRUE(IsWindow(wnd.stranger));  // freeing a temporary leaves its handle alone
    EXPECT_TRUE(IsMenu(wnd.strangerMenu));
    DestroyWindow(wnd.stranger);
    DestroyMenu(wnd.strangerMenu);
    wnd.DestroyWindow();
}
