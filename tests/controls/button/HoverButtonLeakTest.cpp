// Buttons made, given images, painted in every state and destroyed leave no object behind. Wine
// reports no object counts, so the lost headroom is measured: how many more icons (USER objects)
// and brushes (GDI objects) the process can make before and after.
#include "tests/controls/button/ButtonHarness.h"

#include <vector>

namespace {

// How many more objects `make` can make before it fails (all freed again).
template <typename Make, typename Free>
int Headroom(Make make, Free free) {
    std::vector<HANDLE> made;
    for (HANDLE handle = make(); handle != nullptr && made.size() < 200000; handle = make()) {
        made.push_back(handle);
    }
    for (HANDLE handle : made) {
        free(handle);
    }
    return static_cast<int>(made.size());
}

BYTE g_iconBits[32 * 4] = {};
HANDLE MakeIconHandle() { return CreateIcon(nullptr, 32, 32, 1, 1, g_iconBits, g_iconBits); }
void FreeIconHandle(HANDLE icon) { DestroyIcon(static_cast<HICON>(icon)); }
HANDLE MakeBrushHandle() { return CreateSolidBrush(RGB(1, 2, 3)); }
void FreeBrushHandle(HANDLE brush) { DeleteObject(brush); }

void UseOneButton() {
    ButtonHarness h(BS_PUSHBUTTON, L"Go", false, false);
    h.button.AssignIcons(MakeSolidIcon(RGB(200, 0, 200)), CHoverButton::ICON_AUTO_GREY);
    h.button.SetButtonCursor(CopyCursor(LoadCursorW(nullptr, IDC_HAND)));
    h.button.SetTooltipText(L"提示");
    h.button.SetTransparent(TRUE);
    Surface surface;
    for (const UINT state : {0u, UINT{ODS_SELECTED}, UINT{ODS_DISABLED | ODS_FOCUS}}) {
        surface.Draw(h.button, state);
    }
    h.button.SetFlatLook(FALSE);
    h.button.SetTransparent(FALSE);
    HBITMAP picture = MakePicture(12, RGB(0, 0, 0), RGB(0, 0, 255), {2, 2, 8, 8});
    h.button.AssignBitmaps(picture, picture, RGB(0, 0, 0));
    for (const UINT state : {0u, UINT{ODS_SELECTED}, UINT{ODS_DISABLED}}) {
        surface.Draw(h.button, state);
    }
    // Failure paths: whatever was handed over goes with the failed assignment.
    BYTE monoBits[32 * 4] = {};
    h.button.AssignIcons(CreateIcon(nullptr, 32, 32, 1, 1, monoBits, monoBits), CHoverButton::ICON_AUTO_GREY);
    HICON notTakenOver = MakeSolidIcon(RGB(2, 2, 2));
    h.button.AssignIcons(nullptr, notTakenOver);
    DestroyIcon(notTakenOver);
    h.button.AssignBitmaps(reinterpret_cast<HBITMAP>(CreateSolidBrush(0)), nullptr, 0);  // not a bitmap
}

}  // namespace

TEST(HoverButtonLeaks, ButtonsWithImagesTipsAndCursorsLeaveNoObjectsBehind) {
    constexpr int kRounds = 60;
    UseOneButton();  // the first use loads code and fills caches
    const int icons = Headroom(MakeIconHandle, FreeIconHandle);
    const int brushes = Headroom(MakeBrushHandle, FreeBrushHandle);
    for (int round = 0; round < kRounds; ++round) {
        UseOneButton();
    }
    EXPECT_LE(icons - Headroom(MakeIconHandle, FreeIconHandle), 8);
    EXPECT_LE(brushes - Headroom(MakeBrushHandle, FreeBrushHandle), 8);
}
