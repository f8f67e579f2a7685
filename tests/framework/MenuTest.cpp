// Menus: owning versus binding for dispatch, and owner-drawn items of a real pop-up reaching the
// CMenu bound to it (measured through the owner's map first, then drawn).
#include "framework/AfxWin.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr UINT_PTR kEndMenuTimer = 11;
constexpr int kMaxTicks = 40;  // 50 ms each: the pop-up is closed after two seconds at most

class CCountingMenu : public CMenu {
public:
    int measureCalls = 0;
    int drawCalls = 0;
    std::vector<std::wstring>* log = nullptr;

    void MeasureItem(LPMEASUREITEMSTRUCT item) override {
        ++measureCalls;
        log->push_back(L"menu " + std::to_wstring(item->itemData));
        item->itemWidth = 80;
        item->itemHeight = 20;
    }
    void DrawItem(LPDRAWITEMSTRUCT) override { ++drawCalls; }
};

class CMenuOwnerWnd : public CWnd {
public:
    std::vector<std::wstring> log;

protected:
    void OnMeasureItem(int controlId, LPMEASUREITEMSTRUCT item) {
        log.push_back(L"owner");
        CWnd::OnMeasureItem(controlId, item);
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CMenuOwnerWnd, CWnd)
    ON_WM_MEASUREITEM()
END_MESSAGE_MAP()

CCountingMenu* g_shownMenu = nullptr;
int g_ticks = 0;

// Closes the pop-up once it has drawn an item, or when it has had long enough.
void CALLBACK EndMenuWhenDrawn(HWND owner, UINT, UINT_PTR, DWORD) {
    if (g_shownMenu->drawCalls > 0 || ++g_ticks >= kMaxTicks) {
        KillTimer(owner, kEndMenuTimer);
        EndMenu();
    }
}

}  // namespace

TEST(MenuBinding, BoundObjectLeavesTheMenuAloneAndAnOwnerDestroysIt) {
    HMENU popup = CreatePopupMenu();
    {
        CMenu bound;
        ASSERT_TRUE(bound.Bind(popup));
        EXPECT_FALSE(bound.OwnsMenu());
        EXPECT_EQ(&bound, CMenu::FromHandlePermanent(popup));
        EXPECT_FALSE(CMenu().Bind(popup));  // one object per menu
    }
    EXPECT_TRUE(IsMenu(popup));
    EXPECT_EQ(nullptr, CMenu::FromHandlePermanent(popup));
    {
        CMenu owner;
        ASSERT_TRUE(owner.Attach(popup));
        EXPECT_TRUE(owner.OwnsMenu());
    }
    EXPECT_FALSE(IsMenu(popup));
}

TEST(MenuBinding, OwnerDrawnItemsOfATrackedPopupAreMeasuredAndDrawnByTheBoundMenu) {
    CMenuOwnerWnd owner;
    ASSERT_TRUE(
        owner.SubclassWindow(CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 100, 40,
                                             nullptr, nullptr, GetModuleHandleW(nullptr), nullptr)));
    HMENU popup = CreatePopupMenu();
    AppendMenuW(popup, MF_OWNERDRAW, 1, reinterpret_cast<LPCWSTR>(101));
    AppendMenuW(popup, MF_OWNERDRAW, 2, reinterpret_cast<LPCWSTR>(102));
    CCountingMenu menu;
    menu.log = &owner.log;
    ASSERT_TRUE(menu.Bind(popup));

    g_shownMenu = &menu;
    g_ticks = 0;
    SetTimer(owner, kEndMenuTimer, 50, EndMenuWhenDrawn);
    menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RETURNCMD, 10, 10, owner.m_hWnd);
    KillTimer(owner, kEndMenuTimer);
    g_shownMenu = nullptr;

    EXPECT_EQ((std::vector<std::wstring>{L"owner", L"menu 101", L"owner", L"menu 102"}), owner.log);
    EXPECT_EQ(2, menu.measureCalls);
    EXPECT_GE(menu.drawCalls, 1);
    EXPECT_LT(g_ticks, kMaxTicks);
    owner.DestroyWindow();
    menu.Detach();
    DestroyMenu(popup);
}
