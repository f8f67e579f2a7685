// The drop-down menu end to end: a real click through the parent, a real pop-up driven by posted
// keys from a thread timer (bounded: the menu is ended if the keys do not end it), and what the
// owner receives afterwards.
#include "res/resource.h"
#include "tests/common/ObjectHeadroom.h"
#include "tests/common/ShellCallRecorder.h"
#include "tests/controls/button/ButtonHarness.h"
#include "tests/controls/menu/MenuTemplateBuilder.h"

#include <vector>

namespace {

constexpr UINT kAlphaId = 501;
constexpr UINT kBetaId = 502;
constexpr UINT kTickMs = 10;
constexpr int kGiveUpTicks = 300;

// What the timer saw while a menu was up, and the keys it posts at its first tick.
struct MenuDriver {
    CProbeButton* button = nullptr;
    HWND owner = nullptr;
    std::vector<std::pair<UINT, WPARAM>> keys;
    int ticks = 0;
    BOOL shownAtFirstTick = FALSE;
    COLORREF cornerAtFirstTick = CLR_INVALID;
    RECT firstItem = {};
    bool commandWhileOpen = false;
};
MenuDriver* g_driver = nullptr;

void CALLBACK DriveMenu(HWND, UINT, UINT_PTR, DWORD) {
    MenuDriver& driver = *g_driver;
    MSG pending = {};
    driver.commandWhileOpen =
        driver.commandWhileOpen || PeekMessageW(&pending, driver.owner, WM_COMMAND, WM_COMMAND, PM_NOREMOVE);
    if (++driver.ticks == 1) {
        driver.shownAtFirstTick = driver.button->m_menuShown;
        driver.cornerAtFirstTick = Surface().Draw(*driver.button).At(0, 0);
        HMENU popup = GetSubMenu(driver.button->GetDropDownMenu().m_hMenu, 0);
        GetMenuItemRect(nullptr, popup, 0, &driver.firstItem);
        for (const auto& [message, key] : driver.keys) {
            PostMessageW(driver.button->m_hWnd, message, key, 0);
        }
    } else if (driver.ticks > kGiveUpTicks) {
        EndMenu();
    }
}

// Clicks the button with `keys` ready for the menu; the commands the owner received afterwards.
std::vector<UINT> ClickAndChoose(ButtonHarness& h, MenuDriver& driver) {
    driver.button = &h.button;
    driver.owner = h.host.m_hWnd;
    g_driver = &driver;
    const UINT_PTR timer = SetTimer(nullptr, 0, kTickMs, DriveMenu);
    h.Click();
    KillTimer(nullptr, timer);
    g_driver = nullptr;
    std::vector<UINT> commands;
    MSG message = {};
    while (PeekMessageW(&message, h.host.m_hWnd, WM_COMMAND, WM_COMMAND, PM_REMOVE)) {
        EXPECT_EQ(0, message.lParam);
        commands.push_back(static_cast<UINT>(message.wParam));
    }
    return commands;
}

std::vector<BYTE> LettersTemplate() {
    return MenuTemplateBuilder()
        .Popup(L"pick", MF_END)
        .Item(L"&Alpha", kAlphaId)
        .Item(L"&Beta", kBetaId, MF_END)
        .bytes;
}

const COLORREF kShadow = GetSysColor(COLOR_BTNSHADOW);

}  // namespace

TEST(HoverButtonDropDown, KeyboardChoicePostsOneCommandAfterThePressedMenuClosed) {
    ShellCallRecorder recorder;
    ButtonHarness h(BS_PUSHBUTTON);
    ASSERT_TRUE(h.button.SetDropDownMenu(IDR_ENTRY_MENU, h.host.m_hWnd));
    ASSERT_TRUE(h.button.SetLinkTarget(L"C:\\never.txt"));
    const COLORREF restCorner = Surface().Draw(h.button).At(0, 0);
    ASSERT_NE(kShadow, restCorner);

    MenuDriver driver;
    driver.keys = {{WM_KEYDOWN, VK_DOWN}, {WM_KEYDOWN, VK_DOWN}, {WM_KEYDOWN, VK_RETURN}};
    EXPECT_EQ(std::vector<UINT>{ID_ENTRY_LOCATE}, ClickAndChoose(h, driver));
    EXPECT_EQ(1, h.host.m_clicks);
    EXPECT_LE(driver.ticks, kGiveUpTicks);
    EXPECT_TRUE(driver.shownAtFirstTick);
    EXPECT_EQ(kShadow, driver.cornerAtFirstTick);
    EXPECT_FALSE(driver.commandWhileOpen);
    EXPECT_FALSE(h.button.m_menuShown);
    EXPECT_EQ(restCorner, Surface().Draw(h.button).At(0, 0));
    EXPECT_TRUE(recorder.Calls().empty());  // the menu stands in for the link target
    // The pop-up's items were measured by the picture menu, not left at the system's default.
    EXPECT_EQ(std::max(GetSystemMetrics(SM_CYMENU), 19), driver.firstItem.bottom - driver.firstItem.top);
    EXPECT_GT(driver.firstItem.right - driver.firstItem.left, 2 * 16);
}

TEST(HoverButtonDropDown, MnemonicChoosesAndEscapePostsNothing) {
    ButtonHarness h(BS_PUSHBUTTON);
    const std::vector<BYTE> bytes = LettersTemplate();
    ASSERT_TRUE(h.button.SetDropDownMenu(bytes.data(), bytes.size(), h.host.m_hWnd));
    MenuDriver byLetter;
    byLetter.keys = {{WM_CHAR, L'b'}};
    EXPECT_EQ(std::vector<UINT>{kBetaId}, ClickAndChoose(h, byLetter));

    MenuDriver dismissed;
    dismissed.keys = {{WM_KEYDOWN, VK_DOWN}, {WM_KEYDOWN, VK_ESCAPE}};
    EXPECT_TRUE(ClickAndChoose(h, dismissed).empty());
    EXPECT_GT(dismissed.ticks, 0);
    EXPECT_LE(dismissed.ticks, kGiveUpTicks);
    EXPECT_FALSE(h.button.m_menuShown);
}

TEST(HoverButtonDropDown, CheckBoxClickOnlyTogglesEvenWithAMenu) {
    ButtonHarness h(BS_AUTOCHECKBOX);
    ASSERT_TRUE(h.button.SetDropDownMenu(IDR_ENTRY_MENU, h.host.m_hWnd));
    MenuDriver driver;
    driver.keys = {{WM_KEYDOWN, VK_ESCAPE}};
    EXPECT_TRUE(ClickAndChoose(h, driver).empty());
    EXPECT_EQ(0, driver.ticks);  // no menu loop ran
    EXPECT_EQ(BST_CHECKED, h.Send(BM_GETCHECK));
}

TEST(HoverButtonDropDown, MenusThePictureMenuDidNotRegisterGetDefaultProcessing) {
    ButtonHarness h(BS_PUSHBUTTON);
    const std::vector<BYTE> bytes = LettersTemplate();
    ASSERT_TRUE(h.button.SetDropDownMenu(bytes.data(), bytes.size(), h.host.m_hWnd));
    HMENU registered = GetSubMenu(h.button.GetDropDownMenu().m_hMenu, 0);
    CPictureMenu unregistered;  // a top-level picture menu: not in the registry
    ASSERT_TRUE(unregistered.CreatePopupMenu());
    ASSERT_TRUE(unregistered.AppendItem(L"&Beta", 0, kBetaId));
    const WPARAM typedB = MAKEWPARAM(L'b', MF_POPUP);
    const LRESULT byDefault = DefWindowProcW(h.button.m_hWnd, WM_MENUCHAR, typedB, 0);
    EXPECT_EQ(MAKELRESULT(1, MNC_EXECUTE), h.Send(WM_MENUCHAR, typedB, reinterpret_cast<LPARAM>(registered)));
    EXPECT_EQ(byDefault, h.Send(WM_MENUCHAR, typedB, reinterpret_cast<LPARAM>(unregistered.m_hMenu)));

    // The pop-up entry of the bar is measured by the picture menu; an unregistered menu is not.
    MEASUREITEMSTRUCT entry = {
        ODT_MENU, 0, static_cast<UINT>(reinterpret_cast<UINT_PTR>(registered)),
        7,        7, reinterpret_cast<ULONG_PTR>(h.button.GetDropDownMenu().m_items[0])};
    h.Send(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&entry));
    EXPECT_EQ(static_cast<UINT>(std::max(GetSystemMetrics(SM_CYMENU), 19)), entry.itemHeight);
    MEASUREITEMSTRUCT foreign = entry;
    foreign.itemID = static_cast<UINT>(reinterpret_cast<UINT_PTR>(unregistered.m_hMenu));
    foreign.itemWidth = foreign.itemHeight = 7;
    h.Send(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&foreign));
    EXPECT_EQ(7u, foreign.itemWidth);
    EXPECT_EQ(7u, foreign.itemHeight);
}

TEST(HoverButtonDropDown, MenuWithoutPopupOrOwnerIsRefusedAndLeavesNoMenu) {
    ButtonHarness h(BS_PUSHBUTTON);
    ASSERT_TRUE(h.button.SetDropDownMenu(IDR_ENTRY_MENU, h.host.m_hWnd));
    const std::vector<BYTE> flat = MenuTemplateBuilder().Item(L"x", kAlphaId, MF_END).bytes;
    EXPECT_FALSE(h.button.SetDropDownMenu(flat.data(), flat.size(), h.host.m_hWnd));
    EXPECT_EQ(nullptr, h.button.GetDropDownMenu().m_hMenu);
    EXPECT_FALSE(h.button.SetDropDownMenu(IDR_ENTRY_MENU, nullptr));
    EXPECT_FALSE(h.button.SetDropDownMenu(0xFFFF, h.host.m_hWnd));
    EXPECT_EQ(nullptr, h.button.GetDropDownMenu().m_hMenu);
}

TEST(HoverButtonDropDown, AttachingPicturesAndDestroyingLeavesNoObjectsBehind) {
    const auto useOnce = [] {
        ButtonHarness h(BS_PUSHBUTTON, L"Go", false, false);
        ASSERT_TRUE(h.button.SetDropDownMenu(IDR_ENTRY_MENU, h.host.m_hWnd));
        HICON icon = MakeSolidIcon(RGB(0, 120, 0));
        CPictureMenu& menu = h.button.GetDropDownMenu();
        EXPECT_TRUE(menu.SetItemPicture(ID_ENTRY_OPEN, icon));
        EXPECT_TRUE(menu.SetCheckPictures(icon, icon));
        EXPECT_LE(0, CPictureMenu::AddSharedPicture(ID_ENTRY_CUT, icon));
        ASSERT_TRUE(h.button.SetDropDownMenu(IDR_ENTRY_MENU, h.host.m_hWnd));  // replaces the first
        EXPECT_TRUE(menu.SetItemPicture(ID_ENTRY_OPEN, icon));
        DestroyIcon(icon);  // copied by every operation
        CPictureMenu::ClearSharedPictures();
    };
    EXPECT_LE(headroom::LostOver(40, useOnce), 8);
}
