// Messages whose parameters name nothing of ours: notification-area callbacks for other icons or
// with unknown mouse messages, menu characters that are no item's mnemonic, owner-drawn requests
// for items of another owner or for none. Nothing crashes, nothing is drawn or measured, nothing
// is shown, started or chosen.
#include "app/DalvorinDlg.h"
#include "controls/menu/PictureMenu.h"
#include "tests/app/TestDriving.h"
#include "tests/controls/menu/MenuTemplateBuilder.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

constexpr COLORREF kUntouched = RGB(1, 2, 3);
constexpr int kSurfaceWidth = 64;
constexpr int kSurfaceHeight = 24;

constexpr LRESULT Execute(int position) { return MAKELRESULT(position, MNC_EXECUTE); }

// A 32-bit memory surface filled with kUntouched, to hand out in drawing requests.
class Surface {
public:
    Surface() {
        BITMAPINFO info = {};
        info.bmiHeader = {
            sizeof(BITMAPINFOHEADER), kSurfaceWidth, -kSurfaceHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap =
            CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
        m_old = SelectObject(m_dc, m_bitmap);
        HBRUSH brush = CreateSolidBrush(kUntouched);
        const RECT all = {0, 0, kSurfaceWidth, kSurfaceHeight};
        FillRect(m_dc, &all, brush);
        DeleteObject(brush);
    }
    ~Surface() {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    HDC Dc() const { return m_dc; }
    int ChangedPixels() const {
        GdiFlush();
        int changed = 0;
        for (int i = 0; i < kSurfaceWidth * kSurfaceHeight; ++i) {
            changed += (m_bits[i] & 0xFFFFFF) != 0x010203 ? 1 : 0;
        }
        return changed;
    }

private:
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    DWORD* m_bits = nullptr;
};

std::vector<BYTE> MnemonicMenuTemplate() {
    return MenuTemplateBuilder()
        .Popup(L"pick", MF_END)
        .Item(L"&Alpha", 501)
        .Item(L"中&文", 502)
        .Item(L"&Beta", 503, MF_END)
        .bytes;
}

class BadInput : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_window.Create(CDalvorinDlg::IDD));
        ScriptedAnswers::Ignore(m_window);
        // The Start button given a drop-down of the picture menu, as the control offers.
        const std::vector<BYTE> bytes = MnemonicMenuTemplate();
        ASSERT_TRUE(m_window.m_startButton.SetDropDownMenu(bytes.data(), bytes.size(), m_window.m_hWnd));
        m_dropDown = GetSubMenu(m_window.m_startButton.GetDropDownMenu().m_hMenu, 0);
        ASSERT_NE(nullptr, m_dropDown);
    }
    bool CommandQueued() {
        MSG message = {};
        return PeekMessageW(&message, nullptr, WM_COMMAND, WM_COMMAND, PM_NOREMOVE) != FALSE;
    }

    // The drop-down's first item's record, kept by the picture menu bound to the pop-up.
    const CPictureMenuItem* OwnRecord() const {
        const auto* popup = DYNAMIC_DOWNCAST(CPictureMenu, CMenu::FromHandlePermanent(m_dropDown));
        return popup != nullptr && popup->m_items.GetSize() > 0 ? popup->m_items[0] : nullptr;
    }

    CDalvorinDlg m_window;
    HMENU m_dropDown = nullptr;
};

}  // namespace

TEST_F(BadInput, TrayCallbacksForOtherIconsOrWithUnknownMouseMessagesChangeNothing) {
    m_window.ShowWindow(SW_MINIMIZE);
    ASSERT_FALSE(m_window.IsWindowVisible());
    DialogAutoResponder anyBox([](HWND box) { DialogAutoResponder::PressButton(box, IDCANCEL); });
    MenuDriver anyMenu(-1);

    const WPARAM otherIcons[] = {0, kTrayIconId - 1, kTrayIconId + 1, kTrayIconId + 0x10000, ~WPARAM{0}};
    for (const WPARAM icon : otherIcons) {
        EXPECT_EQ(1, m_window.SendMessage(WM_TRAYNOTIFY, icon, WM_LBUTTONDBLCLK)) << icon;
        EXPECT_EQ(1, m_window.SendMessage(WM_TRAYNOTIFY, icon, WM_RBUTTONUP)) << icon;
    }
    // Mouse messages other than the two the icon answers, the newer notifications, and the two it
    // answers with bits above them (the newer packing of message and icon).
    const LPARAM unknownMessages[] = {0,
                                      WM_MOUSEMOVE,
                                      WM_LBUTTONDOWN,
                                      WM_LBUTTONUP,
                                      WM_RBUTTONDOWN,
                                      WM_RBUTTONDBLCLK,
                                      WM_MBUTTONUP,
                                      WM_CONTEXTMENU,
                                      NIN_SELECT,
                                      NIN_KEYSELECT,
                                      NIN_BALLOONSHOW,
                                      NIN_BALLOONUSERCLICK,
                                      MAKELPARAM(WM_LBUTTONDBLCLK, kTrayIconId),
                                      MAKELPARAM(WM_RBUTTONUP, 1),
                                      -1};
    for (const LPARAM mouse : unknownMessages) {
        EXPECT_EQ(0, m_window.SendMessage(WM_TRAYNOTIFY, kTrayIconId, mouse)) << mouse;
    }

    EXPECT_FALSE(m_window.IsWindowVisible());
    EXPECT_TRUE(anyBox.Captions().empty());
    EXPECT_TRUE(MenuDriver::Items().empty()) << "a menu was shown";
    EXPECT_FALSE(CommandQueued());
}

// Characters the system may pass when a key is typed in an open menu: NUL, either half of a
// surrogate pair, the highest code unit, letters whose low byte is a mnemonic's, text that is not
// after an ampersand. None chooses an item; real mnemonics still do.
TEST_F(BadInput, MenuCharactersThatAreNoItemsMnemonicChooseNothing) {
    const auto typed = [&](UINT ch, UINT flags = MF_POPUP) {
        return m_window.m_startButton.SendMessage(WM_MENUCHAR, MAKEWPARAM(ch, flags),
                                                  reinterpret_cast<LPARAM>(m_dropDown));
    };
    EXPECT_EQ(Execute(0), typed(L'A'));
    EXPECT_EQ(Execute(1), typed(L'文'));

    const UINT noMnemonic[] = {0, 0xD842, 0xDFB7, 0xFFFF, 0x0161, L'中', L'&', L' ', L'\t', L'p'};
    for (const UINT ch : noMnemonic) {
        EXPECT_EQ(MNC_IGNORE, typed(ch)) << ch;
        EXPECT_EQ(MNC_IGNORE, CPictureMenu::FindShortcut(ch, MF_POPUP, CMenu::FromHandle(m_dropDown))) << ch;
    }
    EXPECT_EQ(MNC_IGNORE, typed(L'a', MF_SYSMENU)) << "not from the pop-up";
    // Menus that are not ours get what the system would answer.
    for (const LPARAM menu : {LPARAM{0}, LPARAM{0x12345}}) {
        const WPARAM wParam = MAKEWPARAM(L'a', MF_POPUP);
        EXPECT_EQ(DefWindowProcW(m_window.m_startButton.m_hWnd, WM_MENUCHAR, wParam, menu),
                  m_window.m_startButton.SendMessage(WM_MENUCHAR, wParam, menu));
    }
    EXPECT_FALSE(CommandQueued());
}

// Drawing and measuring requests sent to the window, a page and the button: for a menu item whose
// data belongs to another menu or is garbage, a menu handle that is no menu, a window that is not
// ours, a control type that does not exist, or no request at all. Requests for our own items with a
// context that is none or a rectangle no bitmap can cover must not bring the window down either.
TEST_F(BadInput, OwnerDrawnRequestsForItemsOfAnotherOwnerOrNoneDrawAndMeasureNothing) {
    CPictureMenu other;
    ASSERT_TRUE(other.CMenu::CreatePopupMenu());
    ASSERT_TRUE(other.AppendItem(L"&Other", 0, 9));
    const auto foreignRecord = reinterpret_cast<ULONG_PTR>(other.m_items[0]);
    const HWND list = ::GetDlgItem(m_window.m_fileToolPage.m_hWnd, IDC_ENTRY_LIST);
    const int rows = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    HWND stranger =
        CreateWindowExW(0, L"STATIC", L"x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);

    struct Request {
        UINT type;
        UINT id;
        HWND item;
        ULONG_PTR data;
    };
    const Request requests[] = {
        {ODT_MENU, 501, reinterpret_cast<HWND>(m_dropDown), foreignRecord},
        {ODT_MENU, 501, reinterpret_cast<HWND>(m_dropDown), 0xDEADBEEF},
        {ODT_MENU, 501, reinterpret_cast<HWND>(m_dropDown), 0},
        {ODT_MENU, 9, reinterpret_cast<HWND>(0x4321), foreignRecord},
        {ODT_BUTTON, IDC_START_BUTTON, stranger, 0},
        {ODT_BUTTON, IDC_START_BUTTON, reinterpret_cast<HWND>(0x4321), 0},
        {ODT_LISTVIEW, IDC_ENTRY_LIST, list, 0xDEADBEEF},
        {0x77, 0xFFFF, nullptr, foreignRecord},
    };
    {
        Surface own;  // the drop-down's own item is drawn: the surface shows any drawing
        DRAWITEMSTRUCT draw = {ODT_MENU,
                               501,
                               0,
                               ODA_DRAWENTIRE,
                               ODS_SELECTED,
                               reinterpret_cast<HWND>(m_dropDown),
                               own.Dc(),
                               {0, 0, kSurfaceWidth, kSurfaceHeight},
                               reinterpret_cast<ULONG_PTR>(OwnRecord())};
        ::SendMessageW(m_window.m_startButton.m_hWnd, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
        ASSERT_GT(own.ChangedPixels(), 0);
        const HDC dcs[] = {reinterpret_cast<HDC>(0x1234), own.Dc(), own.Dc(), own.Dc()};
        const RECT rects[] = {{0, 0, 20, 20},
                              {0, 0, 100000, 100000},
                              {-100000, -100000, 100000, 100000},
                              {0, 0, INT_MAX, INT_MAX}};
        for (int i = 0; i < 4; ++i) {
            DRAWITEMSTRUCT odd = draw;
            odd.hDC = dcs[i];
            odd.rcItem = rects[i];
            ::SendMessageW(m_window.m_startButton.m_hWnd, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&odd));
            odd.CtlType = ODT_BUTTON;
            odd.CtlID = IDC_START_BUTTON;
            odd.hwndItem = m_window.m_startButton.m_hWnd;
            ::SendMessageW(m_window.m_hWnd, WM_DRAWITEM, IDC_START_BUTTON, reinterpret_cast<LPARAM>(&odd));
        }
    }
    const HWND receivers[] = {m_window.m_hWnd, m_window.m_fileToolPage.m_hWnd, m_window.m_startButton.m_hWnd};
    for (const HWND receiver : receivers) {
        for (const Request& request : requests) {
            Surface surface;
            DRAWITEMSTRUCT draw = {request.type,
                                   request.id,
                                   0,
                                   ODA_DRAWENTIRE,
                                   ODS_SELECTED,
                                   request.item,
                                   surface.Dc(),
                                   {0, 0, kSurfaceWidth, kSurfaceHeight},
                                   request.data};
            ::SendMessageW(receiver, WM_DRAWITEM, request.id, reinterpret_cast<LPARAM>(&draw));
            EXPECT_EQ(0, surface.ChangedPixels()) << "type " << request.type << " id " << request.id;

            MEASUREITEMSTRUCT measure = {request.type, request.id, 501, 7, 7, request.data};
            ::SendMessageW(receiver, WM_MEASUREITEM, request.id, reinterpret_cast<LPARAM>(&measure));
            EXPECT_EQ(7u, measure.itemWidth) << "type " << request.type << " id " << request.id;
            EXPECT_EQ(7u, measure.itemHeight) << "type " << request.type << " id " << request.id;
        }
        ::SendMessageW(receiver, WM_DRAWITEM, 0, 0);
        ::SendMessageW(receiver, WM_MEASUREITEM, 0, 0);
    }

    DestroyWindow(stranger);
    EXPECT_EQ(rows, ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    EXPECT_FALSE(CommandQueued());
}
