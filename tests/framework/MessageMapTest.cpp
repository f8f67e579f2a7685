// Message dispatch through the message maps: argument unpacking, base/derived lookup, command
// routing with the enabled-state query, reflection to controls, and failures in handlers.
#include "framework/AfxWin.h"
#include "tests/common/DialogAutoResponder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr UINT WM_TEST_SUM = WM_APP + 1;
constexpr UINT WM_TEST_THROW = WM_APP + 2;
constexpr UINT kUpdateOnlyId = 100;
constexpr UINT kCommandOnlyId = 200;
constexpr UINT kDisabledId = 300;
constexpr int kButtonId = 400;

HWND CreatePlainWindow(HWND parent = nullptr, const wchar_t* className = L"STATIC", DWORD style = 0) {
    const DWORD kind = parent != nullptr ? WS_CHILD : WS_POPUP;
    return CreateWindowExW(
        0, className, L"plain", kind | style, 0, 0, 100, 40, parent,
        parent != nullptr ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButtonId)) : nullptr,
        GetModuleHandleW(nullptr), nullptr);
}

class CRecordingWnd : public CWnd {
public:
    std::vector<std::wstring> events;
    UINT sizeType = 0;
    int sizeCx = 0;
    int sizeCy = 0;
    int preSubclassCalls = 0;

    void PreSubclassWindow() override { ++preSubclassCalls; }

protected:
    void OnSize(UINT type, int cx, int cy) {
        sizeType = type;
        sizeCx = cx;
        sizeCy = cy;
        events.push_back(L"size");
    }
    LRESULT OnSum(WPARAM a, LPARAM b) {
        events.push_back(L"base sum");
        return static_cast<LRESULT>(a) + b;
    }
    LRESULT OnThrow(WPARAM, LPARAM) { AfxThrowOleException(E_FAIL); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRecordingWnd, CWnd)
    ON_WM_SIZE()
    ON_MESSAGE(WM_TEST_SUM, &CRecordingWnd::OnSum)
    ON_MESSAGE(WM_TEST_THROW, &CRecordingWnd::OnThrow)
END_MESSAGE_MAP()

class CDerivedRecordingWnd : public CRecordingWnd {
protected:
    LRESULT OnProduct(WPARAM a, LPARAM b) {
        events.push_back(L"derived product");
        return static_cast<LRESULT>(a) * b;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedRecordingWnd, CRecordingWnd)
    ON_MESSAGE(WM_TEST_SUM, &CDerivedRecordingWnd::OnProduct)
END_MESSAGE_MAP()

class CCommandWnd : public CWnd {
public:
    int updateOnlyRuns = 0;
    int commandOnlyRuns = 0;
    int disabledUpdateRuns = 0;
    int disabledCommandRuns = 0;
    std::vector<std::wstring> clicks;

protected:
    void OnUpdateOnly(CCmdUI*) { ++updateOnlyRuns; }
    void OnCommandOnly() { ++commandOnlyRuns; }
    void OnUpdateDisabled(CCmdUI* ui) {
        ++disabledUpdateRuns;
        ui->Enable(FALSE);
    }
    void OnDisabledCommand() { ++disabledCommandRuns; }
    void OnButtonClicked() { clicks.push_back(L"parent"); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCommandWnd, CWnd)
    ON_UPDATE_COMMAND_UI(kUpdateOnlyId, &CCommandWnd::OnUpdateOnly)
    ON_COMMAND(kCommandOnlyId, &CCommandWnd::OnCommandOnly)
    ON_UPDATE_COMMAND_UI(kDisabledId, &CCommandWnd::OnUpdateDisabled)
    ON_COMMAND(kDisabledId, &CCommandWnd::OnDisabledCommand)
    ON_BN_CLICKED(kButtonId, &CCommandWnd::OnButtonClicked)
END_MESSAGE_MAP()

class CReflectingButton : public CButton {
public:
    BOOL stopNotification = FALSE;
    std::vector<std::wstring>* log = nullptr;
    int drawCalls = 0;

    void DrawItem(LPDRAWITEMSTRUCT) override { ++drawCalls; }

protected:
    BOOL OnReflectedClick() {
        log->push_back(L"button");
        return stopNotification;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReflectingButton, CButton)
    ON_CONTROL_REFLECT_EX(BN_CLICKED, &CReflectingButton::OnReflectedClick)
END_MESSAGE_MAP()

const UINT g_probeMessage = RegisterWindowMessageW(L"Dalvorin.MessageMapTest.Probe");

// Records what the typed entries hand to their handlers.
class CEntryProbeWnd : public CWnd {
public:
    UINT moveFlags = 0;
    POINT movePoint = {};
    CWnd* focusTakenBy = nullptr;
    UINT menuChar = 0;
    UINT menuFlags = 0;
    HMENU charMenu = nullptr;

protected:
    void OnMouseMove(UINT flags, POINT point) {
        moveFlags = flags;
        movePoint = point;
    }
    void OnKillFocus(CWnd* newWnd) { focusTakenBy = newWnd; }
    LRESULT OnMenuChar(UINT ch, UINT flags, CMenu* menu) {
        menuChar = ch;
        menuFlags = flags;
        charMenu = menu->m_hMenu;
        return MAKELRESULT(2, MNC_EXECUTE);
    }
    LRESULT OnProbe(WPARAM wParam, LPARAM lParam) { return static_cast<LRESULT>(wParam) * 10 + lParam; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CEntryProbeWnd, CWnd)
    ON_WM_MOUSEMOVE()
    ON_WM_KILLFOCUS()
    ON_WM_MENUCHAR()
    ON_REGISTERED_MESSAGE(g_probeMessage, &CEntryProbeWnd::OnProbe)
END_MESSAGE_MAP()

LRESULT SendCommand(HWND target, UINT id, UINT code = 0, HWND control = nullptr) {
    return SendMessageW(target, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}

}  // namespace

TEST(MessageMap, UnpacksArgumentsAndReturnsTheHandlersResult) {
    CRecordingWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(CreatePlainWindow()));
    EXPECT_EQ(1, wnd.preSubclassCalls);

    SendMessageW(wnd, WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(30, 40));
    EXPECT_EQ(static_cast<UINT>(SIZE_MINIMIZED), wnd.sizeType);
    EXPECT_EQ(30, wnd.sizeCx);
    EXPECT_EQ(40, wnd.sizeCy);
    EXPECT_EQ(5, SendMessageW(wnd, WM_TEST_SUM, 2, 3));
    wnd.DestroyWindow();
}

TEST(MessageMap, TypedEntriesUnpackSignedPointsWindowsMenusAndRegisteredMessages) {
    CEntryProbeWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(CreatePlainWindow()));
    CRecordingWnd other;
    ASSERT_TRUE(other.SubclassWindow(CreatePlainWindow()));

    SendMessageW(wnd, WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, MAKELPARAM(-5, -7));
    EXPECT_EQ(static_cast<UINT>(MK_LBUTTON | MK_SHIFT), wnd.moveFlags);
    EXPECT_EQ(-5, wnd.movePoint.x);
    EXPECT_EQ(-7, wnd.movePoint.y);

    SendMessageW(wnd, WM_KILLFOCUS, reinterpret_cast<WPARAM>(other.m_hWnd), 0);
    EXPECT_EQ(&other, wnd.focusTakenBy);  // the bound object, not a temporary

    HMENU menu = CreatePopupMenu();
    EXPECT_EQ(MAKELRESULT(2, MNC_EXECUTE),
              SendMessageW(wnd, WM_MENUCHAR, MAKEWPARAM(L'x', MF_POPUP), reinterpret_cast<LPARAM>(menu)));
    EXPECT_EQ(static_cast<UINT>(L'x'), wnd.menuChar);
    EXPECT_EQ(static_cast<UINT>(MF_POPUP), wnd.menuFlags);
    EXPECT_EQ(menu, wnd.charMenu);
    DestroyMenu(menu);

    ASSERT_NE(0u, g_probeMessage);
    EXPECT_EQ(34, SendMessageW(wnd, g_probeMessage, 3, 4));
    other.DestroyWindow();
    wnd.DestroyWindow();
}

TEST(MessageMap, DerivedEntryWinsOverTheBaseClassEntryAndBaseEntriesStillApply) {
    CDerivedRecordingWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(CreatePlainWindow()));
    EXPECT_EQ(6, SendMessageW(wnd, WM_TEST_SUM, 2, 3));
    SendMessageW(wnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(1, 2));
    EXPECT_EQ((std::vector<std::wstring>{L"derived product", L"size"}), wnd.events);
    wnd.DestroyWindow();
}

TEST(MessageMap, UnhandledMessagesReachTheWindowsOwnProcedure) {
    CRecordingWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(CreatePlainWindow()));
    SetWindowTextW(wnd, L"原来的文字");
    wchar_t text[32] = {};
    EXPECT_EQ(5, SendMessageW(wnd, WM_GETTEXT, 32, reinterpret_cast<LPARAM>(text)));
    EXPECT_STREQ(L"原来的文字", text);
    wnd.DestroyWindow();
}

TEST(CommandRouting, MenuCommandRunsTheUpdateHandlerExactlyOnceAndOpeningAMenuRunsNothing) {
    CCommandWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(CreatePlainWindow()));

    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, kUpdateOnlyId, L"item");
    SendMessageW(wnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
    SendMessageW(wnd, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
    EXPECT_EQ(0, wnd.updateOnlyRuns);
    DestroyMenu(menu);

    SendCommand(wnd, kUpdateOnlyId);
    EXPECT_EQ(1, wnd.updateOnlyRuns);
    SendCommand(wnd, kCommandOnlyId);
    EXPECT_EQ(1, wnd.commandOnlyRuns);
    wnd.DestroyWindow();
}

TEST(CommandRouting, CommandDisabledByItsUpdateHandlerDoesNotRun) {
    CCommandWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(CreatePlainWindow()));
    SendCommand(wnd, kDisabledId);
    EXPECT_EQ(1, wnd.disabledUpdateRuns);
    EXPECT_EQ(0, wnd.disabledCommandRuns);
    wnd.DestroyWindow();
}

TEST(CommandRouting, ControlNotificationsSkipTheEnabledStateQuery) {
    CCommandWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(CreatePlainWindow()));
    HWND fakeControl = CreatePlainWindow(wnd);
    SendCommand(wnd, kUpdateOnlyId, BN_CLICKED, fakeControl);
    EXPECT_EQ(0, wnd.updateOnlyRuns);
    wnd.DestroyWindow();
}

TEST(Reflection, ControlSeesItsClickFirstAndDecidesWhetherTheParentSeesIt) {
    CCommandWnd parent;
    ASSERT_TRUE(parent.SubclassWindow(CreatePlainWindow()));
    CReflectingButton button;
    ASSERT_TRUE(button.SubclassWindow(CreatePlainWindow(parent, L"BUTTON", BS_PUSHBUTTON)));
    button.log = &parent.clicks;

    SendMessageW(button, BM_CLICK, 0, 0);
    EXPECT_EQ((std::vector<std::wstring>{L"button", L"parent"}), parent.clicks);

    parent.clicks.clear();
    button.stopNotification = TRUE;
    SendCommand(parent, kButtonId, BN_CLICKED, button);
    EXPECT_EQ((std::vector<std::wstring>{L"button"}), parent.clicks);
    parent.DestroyWindow();
}

TEST(Reflection, OwnerDrawRequestsReachTheButtonsDrawItem) {
    CCommandWnd parent;
    ASSERT_TRUE(parent.SubclassWindow(CreatePlainWindow()));
    CReflectingButton button;
    ASSERT_TRUE(button.SubclassWindow(CreatePlainWindow(parent, L"BUTTON", BS_OWNERDRAW)));
    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_BUTTON;
    item.CtlID = kButtonId;
    item.hwndItem = button;
    EXPECT_EQ(TRUE, SendMessageW(parent, WM_DRAWITEM, kButtonId, reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(1, button.drawCalls);
    parent.DestroyWindow();
}

TEST(WindowProcedure, FailureInAHandlerIsReportedAndDoesNotUnwindIntoTheSystem) {
    CRecordingWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(CreatePlainWindow()));
    DialogAutoResponder responder([](HWND box) { DialogAutoResponder::PressButton(box, IDOK); });

    EXPECT_EQ(0, SendMessageW(wnd, WM_TEST_THROW, 0, 0));
    EXPECT_EQ(1u, responder.Captions().size());
    // The window keeps working after the failure.
    EXPECT_EQ(7, SendMessageW(wnd, WM_TEST_SUM, 3, 4));
    wnd.DestroyWindow();
}

TEST(HandleMap, TemporaryWrappersAreSharedUntilFreedAndNeverOwnTheirWindow) {
    HWND hwnd = CreatePlainWindow();
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hwnd));
    CWnd* first = CWnd::FromHandle(hwnd);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(hwnd, first->m_hWnd);
    EXPECT_EQ(first, CWnd::FromHandle(hwnd));
    EXPECT_EQ(nullptr, CWnd::FromHandle(nullptr));

    CWnd::DeleteTempMap();
    EXPECT_TRUE(IsWindow(hwnd));  // freeing a temporary leaves the window alone
    DestroyWindow(hwnd);
}

TEST(HandleMap, DestroyedWindowLeavesItsObjectUnboundAndADyingObjectTakesItsWindow) {
    CRecordingWnd wnd;
    HWND hwnd = CreatePlainWindow();
    ASSERT_TRUE(wnd.SubclassWindow(hwnd));
    EXPECT_EQ(&wnd, CWnd::FromHandlePermanent(hwnd));
    EXPECT_FALSE(CRecordingWnd().SubclassWindow(hwnd));  // one object per window

    wnd.DestroyWindow();
    EXPECT_EQ(nullptr, wnd.m_hWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hwnd));

    HWND second = CreatePlainWindow();
    {
        CRecordingWnd scoped;
        ASSERT_TRUE(scoped.SubclassWindow(second));
    }
    EXPECT_FALSE(IsWindow(second));
}
