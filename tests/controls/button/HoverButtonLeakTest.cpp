// Buttons made, given images, painted in every state and destroyed leave no object behind. The
// process's object counts cannot be read under Wine, so the lost headroom is measured: how many
// more icons (USER objects) and brushes (GDI objects) the process can make before and after.
#include "tests/controls/button/ButtonHarness.h"

#include <vector>

namespace {

constexpr int kHeadroomCap = 200000;

template <typename Make, typename Free>
int Headroom(Make make, Free free) {
    std::vector<HANDLE> made;
    while (static_cast<int>(made.size()) < kHeadroomCap) {
        HANDLE handle = make();
        if (handle == nullptr) {
            break;
        }
        made.push_back(handle);
    }
    for (HANDLE handle : made) {
        free(handle);
    }
    return static_cast<int>(made.size());
}

int IconHeadroom() {
    static BYTE andMask[32 * 4] = {};
    static BYTE xorMask[32 * 4] = {};
    return Headroom([] { return static_cast<HANDLE>(CreateIcon(nullptr, 32, 32, 1, 1, andMask, xorMask)); },
                    [](HANDLE icon) { DestroyIcon(static_cast<HICON>(icon)); });
}

int BrushHeadroom() {
    return Headroom([] { return static_cast<HANDLE>(CreateSolidBrush(RGB(1, 2, 3))); },
                    [](HANDLE brush) { DeleteObject(brush); });
}

void ExerciseOneButton() {
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
    HDC screen = GetDC(nullptr);
    HBITMAP picture = CreateCompatibleBitmap(screen, 12, 12);
    ReleaseDC(nullptr, screen);
    h.button.AssignBitmaps(picture, picture, RGB(0, 0, 0));
    for (const UINT state : {0u, UINT{ODS_SELECTED}, UINT{ODS_DISABLED}}) {
        surface.Draw(h.button, state);
    }
    // Failure paths: whatever was handed over is destroyed with the failed assignment.
    static BYTE monoBits[32 * 4] = {};
    h.button.AssignIcons(CreateIcon(nullptr, 32, 32, 1, 1, monoBits, monoBits), CHoverButton::ICON_AUTO_GREY);
    h.button.AssignIcons(nullptr, MakeSolidIcon(RGB(2, 2, 2)));
    h.button.AssignBitmaps(reinterpret_cast<HBITMAP>(CreateSolidBrush(0)), nullptr, 0);  // not a bitmap
}

}  // namespace

TEST(HoverButtonLeaks, ButtonsWithImagesTipsAndCursorsLeaveNoObjectsBehind) {
    constexpr int kRounds = 60;
    constexpr int kTolerance = 8;
    ExerciseOneButton();  // first use loads code and caches
    const int iconsBefore = IconHeadroom();
    const int brushesBefore = BrushHeadroom();
    for (int round = 0; round < kRounds; ++round) {
        ExerciseOneButton();
    }
    EXPECT_LE(iconsBefore - IconHeadroom(), kTolerance);
    EXPECT_LE(brushesBefore - BrushHeadroom(), kTolerance);
}
