// menu_soak_bench.exe [ROUNDS]: ROUNDS rounds (1,000 by default) in each look, classic and flat, of
// a picture menu's whole life: loaded from a menu resource with sub-menus and given pictures,
// opened for real by a window (its items measured and painted, a sub-menu opened by the keyboard
// with an item hot), closed from inside its loop, and torn down. Reports the time of each phase
// and the objects left behind, measured as lost headroom (bench/common/Headroom.h, plus menus).
// Headline "menu_soak objects per menu: X": the lost objects divided by all the menus.
#include "bench/common/Headroom.h"
#include "bench/menu_soak/menu_soak_resource.h"
#include "controls/menu/PictureMenu.h"
#include "framework/Dialog.h"
#include "framework/Icon.h"
#include "res/resource.h"
#include "tests/common/ObjectHeadroom.h"

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int kDefaultRounds = 1000;
// The radio mark is any checked-state bitmap. Key messages: repeat count 1, and for a release the
// previous-state and transition bits.
constexpr int kRadioMarkSize = 8;
constexpr LPARAM kKeyDownFlags = 1;
constexpr LPARAM kKeyUpFlags = static_cast<LPARAM>(0xC0000001);
constexpr int kPictureSize = 16;
constexpr POINT kMenuPlace = {40, 40};

using bench::NowMs;
using headroom::MenuHeadroom;

// Items with a picture of their own, and the icon each one shows.
struct COwnPicture {
    UINT command;
    UINT icon;
};
constexpr COwnPicture kOwnPictures[] = {
    {ID_SOAK_SUB_PICTURE, IDI_TAB_COMMON},   {ID_SOAK_DEEP_PICTURE, IDI_TAB_FILES},
    {ID_SOAK_OWN_PICTURE, IDI_TAB_PRIVATE},  {ID_SOAK_CHECKED_PICTURE, IDI_TAB_COMMON},
    {ID_SOAK_GRAYED_PICTURE, IDI_DRAG_HINT},
};

// The window that owns the menus; it counts the owner-drawn menu items it is asked to measure
// and to paint, so the run can show that the menus were drawn for real.
class CSoakOwner : public CDialog {
public:
    int m_measured = 0;
    int m_drawn = 0;

protected:
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        if (message == WM_MEASUREITEM &&
            reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam)->CtlType == ODT_MENU) {
            ++m_measured;
        } else if (message == WM_DRAWITEM &&
                   reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->CtlType == ODT_MENU) {
            ++m_drawn;
        }
        return CDialog::OnWndMsg(message, wParam, lParam, result);
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSoakOwner, CDialog)
    // void OnMeasureItem(int controlId, LPMEASUREITEMSTRUCT item): menu items go to the menu shown
    ON_WM_MEASUREITEM()
END_MESSAGE_MAP()

// Everything a round needs that outlives the rounds: the icons, the radio mark, the owner.
struct CSoakKit {
    CIcon icons[std::size(kOwnPictures)];
    CBitmap radioMark;
    CSoakOwner owner;
};

// Loads the menu and gives its items their pictures (each its own list, freed with the menu) and
// the radio item its checked-state bitmap; every other round paints grayed pictures through the
// 1-bit section instead of the mask.
std::unique_ptr<CPictureMenu> LoadSoakMenu(CSoakKit& kit, int round) {
    auto menu = std::make_unique<CPictureMenu>();
    if (!menu->LoadMenu(IDR_MENU_SOAK)) {
        return nullptr;
    }
    auto* popup = DYNAMIC_DOWNCAST(CPictureMenu, CMenu::FromHandlePermanent(::GetSubMenu(*menu, 0)));
    if (popup == nullptr) {
        return nullptr;
    }
    popup->m_ditherDisabled = round % 2 == 1;
    for (size_t i = 0; i < std::size(kOwnPictures); ++i) {
        if (!menu->SetItemPicture(kOwnPictures[i].command, kit.icons[i])) {
            return nullptr;
        }
    }
    SetMenuItemBitmaps(*popup, ID_SOAK_RADIO, MF_BYCOMMAND, nullptr, kit.radioMark);
    return menu;
}

// The menu is tracked modally; a thread timer closes it from inside its loop, after the keys
// waiting in the queue have opened the sub-menu (input comes before timers).
void CALLBACK CloseMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    EndMenu();
}

void OpenSoakMenu(CPictureMenu& menu, CSoakOwner& owner) {
    for (const WPARAM key : {VK_DOWN, VK_RIGHT}) {
        owner.PostMessage(WM_KEYDOWN, key, kKeyDownFlags);
        owner.PostMessage(WM_KEYUP, key, kKeyUpFlags);
    }
    SetTimer(nullptr, 0, 1, CloseMenu);
    ::TrackPopupMenu(::GetSubMenu(menu, 0), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD, kMenuPlace.x,
                     kMenuPlace.y, 0, owner.m_hWnd, nullptr);
    // Keys the menu did not take must not reach the next round.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    }
}

struct CLookTimes {
    double load = 0;
    double open = 0;
    double teardown = 0;
    int measured = 0;
    int drawn = 0;
};

// FALSE when a menu could not be made or a teardown left a sub-menu registered.
bool RunLook(CSoakKit& kit, int drawMode, int rounds, CLookTimes& times) {
    CPictureMenu::SetDrawMode(drawMode);
    kit.owner.m_measured = 0;
    kit.owner.m_drawn = 0;
    for (int round = 0; round < rounds; ++round) {
        const double start = NowMs();
        std::unique_ptr<CPictureMenu> menu = LoadSoakMenu(kit, round);
        const double loaded = NowMs();
        if (menu == nullptr) {
            return false;
        }
        OpenSoakMenu(*menu, kit.owner);
        const double closed = NowMs();
        menu.reset();
        const double gone = NowMs();
        if (CPictureMenuShared::Instance().RegisteredSubMenuCount() != 0) {
            return false;
        }
        times.load += loaded - start;
        times.open += closed - loaded;
        times.teardown += gone - closed;
    }
    times.measured = kit.owner.m_measured;
    times.drawn = kit.owner.m_drawn;
    return true;
}

void PrintLook(const char* name, int rounds, const CLookTimes& times) {
    std::printf(
        "%-7s %d menus: load %.3f ms, open %.3f ms, teardown %.3f ms per menu; "
        "%.1f items measured, %.1f painted per opening\n",
        name, rounds, times.load / rounds, times.open / rounds, times.teardown / rounds,
        static_cast<double>(times.measured) / rounds, static_cast<double>(times.drawn) / rounds);
}

// The command's picture in the class-wide list, looked up by items as they are appended.
bool ShareStartPicture() {
    CIcon icon;
    icon.LoadIcon(IDI_START, kPictureSize);
    return CPictureMenu::AddSharedPicture(ID_SOAK_SHARED_PICTURE, icon) >= 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : kDefaultRounds;

    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    auto kit = std::make_unique<CSoakKit>();
    for (size_t i = 0; i < std::size(kOwnPictures); ++i) {
        kit->icons[i].LoadIcon(kOwnPictures[i].icon, kPictureSize);
    }
    kit->radioMark.CreateBitmap(kRadioMarkSize, kRadioMarkSize, 1, 1, nullptr);
    if (!ShareStartPicture() || !kit->owner.Create(IDD_MENU_SOAK_OWNER)) {
        std::fprintf(stderr, "cannot make the pictures or the owner window\n");
        return 1;
    }
    kit->owner.ShowWindow(SW_SHOWNORMAL);
    kit->owner.SetForegroundWindow();
    // The pointer stays clear of the menus, so that only the keys choose the hot item.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);

    // One round of each look before measuring: code, fonts and the menu classes load once.
    CLookTimes warmUp;
    if (!RunLook(*kit, 0, 1, warmUp) || !RunLook(*kit, 1, 1, warmUp)) {
        std::fprintf(stderr, "a menu could not be loaded or was not torn down\n");
        return 1;
    }

    const int menusBefore = MenuHeadroom();
    const bench::CHeadroom before = bench::MeasureHeadroom();
    std::printf("headroom before: %d menus, %d icons, %d brushes\n", menusBefore, before.icons,
                before.brushes);
    CLookTimes classic;
    CLookTimes flat;
    const bool ran = RunLook(*kit, 0, rounds, classic) && RunLook(*kit, 1, rounds, flat);
    const int menusAfter = MenuHeadroom();
    const bench::CHeadroom after = bench::MeasureHeadroom();
    std::printf("headroom after:  %d menus, %d icons, %d brushes\n", menusAfter, after.icons, after.brushes);
    if (!ran) {
        std::fprintf(stderr, "a menu could not be loaded or was not torn down\n");
        return 1;
    }
    PrintLook("classic", rounds, classic);
    PrintLook("flat", rounds, flat);
    kit->owner.DestroyWindow();

    const int lost = std::max(0, menusBefore - menusAfter) + bench::LostObjects(before, after);
    std::printf("menu_soak objects per menu: %.4f\n", static_cast<double>(lost) / (2.0 * rounds));
    std::fflush(stdout);
    return 0;
}
