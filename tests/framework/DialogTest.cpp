// Dialogs made from templates: control binding, the modal loop and how it ends, ownership.
#include "framework/AfxWin.h"
#include "res/resource.h"
#include "tests/common/MessagePump.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT WM_TEST_END = WM_APP + 10;
constexpr UINT_PTR kCheckTimer = 7;

// A dialog over the password template (OK, Cancel, edit 1009) that records what happens to it.
class CProbeDlg : public CDialog {
public:
    CProbeDlg() : CDialog(IDD_PASSWD, nullptr) {}
    explicit CProbeDlg(CWnd* parent) : CDialog(IDD_PASSWD, parent) {}

    CWnd m_edit;
    int initCalls = 0;
    int exchangeCalls = 0;
    HWND ownerToWatch = nullptr;
    BOOL ownerEnabledDuringModal = TRUE;
    BOOL visibleAtTimer = FALSE;
    int endWith = 0;            // when non-zero, the dialog ends itself with this value
    bool endFromTimer = false;  // end only once the loop has gone idle
    UINT swallowedKey = 0;
    int swallowedCount = 0;
    WPARAM keyToPost = 0;

    BOOL PreTranslateMessage(MSG* msg) override {
        if (swallowedKey != 0 && msg->message == WM_KEYDOWN && msg->wParam == swallowedKey) {
            ++swallowedCount;
            return TRUE;
        }
        return CDialog::PreTranslateMessage(msg);
    }

protected:
    void DoDataExchange(CDataExchange* dx) override {
        CDialog::DoDataExchange(dx);
        ++exchangeCalls;
        DDX_Control(dx, IDC_PASSWORD_EDIT, m_edit);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        ++initCalls;
        if (ownerToWatch != nullptr) {
            ownerEnabledDuringModal = ::IsWindowEnabled(ownerToWatch);
        }
        if (keyToPost != 0) {
            ::PostMessageW(m_edit, WM_KEYDOWN, keyToPost, 0);
        }
        if (endFromTimer) {
            ::SetTimer(m_hWnd, kCheckTimer, 50, nullptr);
        } else if (endWith != 0) {
            PostMessage(WM_TEST_END);
        }
        return TRUE;
    }
    LRESULT OnTestEnd(WPARAM, LPARAM) {
        EndDialog(endWith);
        return 0;
    }
    LRESULT OnTimer(WPARAM, LPARAM) {
        ::KillTimer(m_hWnd, kCheckTimer);
        visibleAtTimer = IsWindowVisible();
        EndDialog(endWith);
        return 0;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbeDlg, CDialog)
    ON_MESSAGE(WM_TEST_END, &CProbeDlg::OnTestEnd)
    ON_MESSAGE(WM_TIMER, &CProbeDlg::OnTimer)
END_MESSAGE_MAP()

}  // namespace

TEST(Dialog, CreateRunsInitialisationOnceAndBindsTheControlOnlyOnce) {
    CProbeDlg dialog;
    ASSERT_TRUE(dialog.Create(IDD_PASSWD));
    EXPECT_EQ(1, dialog.initCalls);
    EXPECT_EQ(::GetDlgItem(dialog, IDC_PASSWORD_EDIT), dialog.m_edit.m_hWnd);
    EXPECT_EQ(&dialog.m_edit, CWnd::FromHandlePermanent(dialog.m_edit.m_hWnd));

    HWND bound = dialog.m_edit.m_hWnd;
    dialog.UpdateData(TRUE);
    EXPECT_EQ(2, dialog.exchangeCalls);
    EXPECT_EQ(bound, dialog.m_edit.m_hWnd);

    dialog.DestroyWindow();
    EXPECT_EQ(nullptr, dialog.m_hWnd);
    EXPECT_EQ(nullptr, dialog.m_edit.m_hWnd);  // children are unbound when they go
}

TEST(Dialog, DoModalReturnsTheValueGivenToEndDialogAndDestroysTheWindow) {
    CProbeDlg dialog;
    dialog.endWith = 77;
    EXPECT_EQ(77, dialog.DoModal());
    EXPECT_EQ(nullptr, dialog.m_hWnd);
    EXPECT_FALSE(dialog.IsInModalLoop());

    dialog.initCalls = 0;
    dialog.endWith = 78;
    EXPECT_EQ(78, dialog.DoModal());  // the same object runs again
    EXPECT_EQ(1, dialog.initCalls);
}

TEST(Dialog, ModalDialogDisablesItsOwnerOnlyWhileItRuns) {
    CWnd owner;
    ASSERT_TRUE(owner.Attach(CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                             GetModuleHandleW(nullptr), nullptr)));
    CProbeDlg dialog(&owner);
    dialog.ownerToWatch = owner;
    dialog.endWith = IDOK;
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_FALSE(dialog.ownerEnabledDuringModal);
    EXPECT_TRUE(::IsWindowEnabled(owner));
    owner.DestroyWindow();
}

TEST(Dialog, HiddenTemplateIsShownWhenTheModalLoopStarts) {
    CProbeDlg dialog;
    dialog.endFromTimer = true;
    dialog.endWith = IDCANCEL;
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_TRUE(dialog.visibleAtTimer);
}

TEST(Dialog, ModalLoopLetsTheDialogTranslateMessagesFirst) {
    CProbeDlg dialog;
    dialog.swallowedKey = VK_F5;
    dialog.keyToPost = VK_F5;
    dialog.endWith = IDOK;
    dialog.endFromTimer = true;
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(1, dialog.swallowedCount);
}

TEST(Dialog, EscapeAndEnterEndTheModalDialogThroughCancelAndOk) {
    CProbeDlg escape;
    escape.keyToPost = VK_ESCAPE;
    EXPECT_EQ(IDCANCEL, escape.DoModal());

    CProbeDlg enter;
    enter.keyToPost = VK_RETURN;
    EXPECT_EQ(IDOK, enter.DoModal());
}

TEST(Dialog, EndDialogOnAModelessDialogHidesItAndKeepsTheResult) {
    CProbeDlg dialog;
    ASSERT_TRUE(dialog.Create(IDD_PASSWD));
    dialog.ShowWindow(SW_SHOW);
    dialog.EndDialog(IDCANCEL);
    PumpPendingMessages();
    EXPECT_FALSE(dialog.IsWindowVisible());
    EXPECT_EQ(IDCANCEL, dialog.GetModalResult());
    dialog.DestroyWindow();
}

TEST(Dialog, MissingTemplateFailsWithoutAWindow) {
    CDialog dialog(4242, nullptr);
    EXPECT_FALSE(dialog.Create(4242));
    EXPECT_EQ(-1, dialog.DoModal());
    EXPECT_EQ(nullptr, dialog.m_hWnd);
}
