// Buttons made, given images, painted in every state and destroyed leave no object behind.
#include "tests/common/ObjectHeadroom.h"
#include "tests/controls/button/ButtonHarness.h"

namespace {

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

// Every way out of an assignment frees whatever it was handed, whichever image fails.
void FailAssignments() {
    ButtonHarness h(BS_PUSHBUTTON, L"Go", false, false);
    HICON stale = MakeSolidIcon(RGB(3, 3, 3));
    DestroyIcon(stale);
    h.button.AssignIcons(MakeSolidIcon(RGB(4, 4, 4)), stale);
    h.button.AssignIcons(stale, MakeSolidIcon(RGB(4, 4, 4)));
    const auto notABitmap = [] {
        return reinterpret_cast<HBITMAP>(CreateSolidBrush(0));
    };
    h.button.AssignBitmaps(MakePicture(8, RGB(5, 5, 5)), notABitmap(), 0);
    h.button.AssignBitmaps(notABitmap(), MakePicture(8, RGB(5, 5, 5)), 0);
    h.button.AssignBitmaps(nullptr, MakePicture(8, RGB(5, 5, 5)), 0);
    // The cursor held, handed in again, is kept rather than replaced by itself and destroyed.
    HCURSOR cursor = CopyCursor(LoadCursorW(nullptr, IDC_HAND));
    h.button.SetButtonCursor(cursor);
    h.button.SetButtonCursor(cursor);
    EXPECT_TRUE(DrawIconEx(Surface().Dc(), 0, 0, cursor, 0, 0, 0, nullptr, DI_NORMAL));
}

}  // namespace

TEST(HoverButtonLeaks, ButtonsWithImagesTipsAndCursorsLeaveNoObjectsBehind) {
    EXPECT_LE(headroom::LostOver(60, UseOneButton), 8);
}

TEST(HoverButtonLeaks, FailedAssignmentsFreeWhatTheyWereHandedAndACursorGivenAgainStays) {
    EXPECT_LE(headroom::LostOver(60, FailAssignments), 8);
}
