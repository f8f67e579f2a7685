// The program's owner-drawn push button: a flat look that lights up under the pointer or a classic
// 3D look, an optional icon or bitmap pair beside the caption, colour slots, a check-box mode, a
// link target and a drop-down menu.
#pragma once

#include "controls/button/ParentSnapshot.h"
#include "controls/menu/PictureMenu.h"
#include "framework/Button.h"
#include "framework/Cursor.h"
#include "framework/Dc.h"
#include "framework/GdiObject.h"
#include "framework/Icon.h"
#include "framework/Menu.h"
#include "framework/String.h"
#include "framework/ToolTipCtrl.h"

#include <cstddef>

class CHoverButton : public CButton {
public:
    // Image placement (m_imageAlign).
    enum : BYTE { ALIGN_IMAGE_LEFT = 0, ALIGN_IMAGE_TOP = 1, ALIGN_IMAGE_RIGHT = 2 };
    // Colour slots (indices into m_colors).
    enum : int {
        BTN_FACE_HOT = 0,
        BTN_TEXT_HOT,
        BTN_FACE_REST,
        BTN_TEXT_REST,
        BTN_FACE_FOCUS,
        BTN_TEXT_FOCUS,
        BTN_COLOR_COUNT
    };
    // Passed as the second icon: the idle icon is a grey copy of the first.
    inline static const HICON ICON_AUTO_GREY = reinterpret_cast<HICON>(static_cast<INT_PTR>(-2));
    // Gap between the button's edge and the image, and between the image and the caption.
    static constexpr int IMAGE_GAP = 3;

    CHoverButton();
    ~CHoverButton() override;

    // Takes over both icons (normal, idle; the idle one may be NULL or ICON_AUTO_GREY); 0 on
    // success, 1 when an icon cannot be inspected.
    int AssignIcons(HICON iconIn, HICON iconOut);
    // Takes over both bitmaps (normal, idle; the idle one may be NULL); pixels of `transparent`
    // colour let the face show through. 0 on success, 1 when a bitmap cannot be used.
    int AssignBitmaps(HBITMAP bitmapIn, HBITMAP bitmapOut, COLORREF transparent);
    void SetFlatLook(BOOL flat);

    BOOL SetColor(int slot, COLORREF color, BOOL repaint = TRUE);
    COLORREF GetColor(int slot) const;
    BOOL SetImageAlign(BYTE align);
    void SetDrawBorder(BOOL draw);
    void SetFlatFocusRect(BOOL draw);
    void SetTransparent(BOOL transparent);
    void SetTrackInactive(BOOL track);
    void SetGreyDisabledBitmap(BOOL grey);
    // Takes over the cursor (destroyed with the button or the next cursor), so a shared one
    // (LoadCursor) must be copied first; NULL shows the default.
    void SetButtonCursor(HCURSOR cursor);
    BOOL SetTooltipText(LPCWSTR text, BOOL activate = TRUE);
    BOOL SetLinkTarget(LPCWSTR target);

    // Drop-down menu: a click opens the first pop-up of the menu under the button and posts the
    // chosen command to `owner` as WM_COMMAND. FALSE, with the button left without a menu, when
    // the menu has no pop-up in front or `owner` is no window; FALSE and no change while the menu
    // is open.
    BOOL SetDropDownMenu(UINT menuId, HWND owner);
    // The same from the bytes of a standard menu template.
    BOOL SetDropDownMenu(const void* menuTemplate, std::size_t size, HWND owner);
    BOOL RemoveDropDownMenu();
    // The drop-down menu, to give its items pictures; it stays the button's.
    CPictureMenu& GetDropDownMenu() { return m_dropMenu; }

    void PreSubclassWindow() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void DrawItem(LPDRAWITEMSTRUCT item) override;

    virtual int PaintFace(CDC* dc, const RECT* rect);
    virtual int PaintBorder(CDC* dc, const RECT* rect);

protected:
    struct IconImage {
        CIcon icon;
        DWORD width = 0;
        DWORD height = 0;
    };
    struct BitmapImage {
        CBitmap bitmap;
        DWORD width = 0;
        DWORD height = 0;
        CBitmap mask;
    };

    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    void OnKillFocus(CWnd* newWnd);
    void OnMouseMove(UINT flags, POINT point);
    void OnSysColorChange();
    BOOL OnClicked();
    void OnActivate(UINT state, CWnd* other, BOOL minimized);
    void OnEnable(BOOL enable);
    void OnCancelMode();
    UINT OnGetDlgCode();
    HBRUSH CtlColor(CDC* dc, UINT controlType);
    LRESULT OnMenuChar(UINT ch, UINT flags, CMenu* menu);
    void OnMeasureItem(int controlId, LPMEASUREITEMSTRUCT item);
    LRESULT OnSetStyle(WPARAM wParam, LPARAM lParam);
    void OnMouseLeave();
    LRESULT OnSetCheck(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetCheck(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetState(WPARAM wParam, LPARAM lParam);

    void CancelHover();
    // A grey copy of `icon`, which the caller then owns; NULL when none can be made.
    HICON MakeGreyIcon(HICON icon);
    RECT PlaceImage(DWORD width, DWORD height, const RECT* request, RECT* caption, BOOL hasTitle,
                    BOOL pressed);
    void DrawIconImage(CDC* dc, BOOL hasTitle, const RECT* request, RECT* caption, BOOL pressed,
                       BOOL disabled);
    void DrawBitmapImage(CDC* dc, BOOL hasTitle, const RECT* request, RECT* caption, BOOL pressed,
                         BOOL disabled);

    BOOL m_greyDisabledBitmap = TRUE;
    BOOL m_flat = TRUE;
    BOOL m_hover = FALSE;
    BOOL m_transparent = FALSE;
    BOOL m_pressed = FALSE;
    BOOL m_focused = FALSE;
    BOOL m_disabled = FALSE;
    BOOL m_defaultButton = FALSE;
    BOOL m_checkBoxMode = FALSE;
    BYTE m_imageAlign = ALIGN_IMAGE_LEFT;
    BOOL m_drawBorder = TRUE;
    BOOL m_flatFocusRect = FALSE;
    COLORREF m_colors[BTN_COLOR_COUNT] = {};
    BOOL m_assignedColors[BTN_COLOR_COUNT] = {};
    HWND m_menuOwner = nullptr;
    BOOL m_menuShown = FALSE;
    CPictureMenu m_dropMenu;
    // Always the button's own: the arrow it puts up in the cursor's place is shared and never held.
    CCursor m_cursor;
    CToolTipCtrl m_tipCtrl;
    CParentSnapshot m_parentSnapshot;
    BOOL m_trackInactive = TRUE;
    int m_checkState = 0;
    wchar_t m_linkTarget[MAX_PATH] = {};
    IconImage m_icons[2] = {};
    BitmapImage m_bitmaps[2] = {};

    DECLARE_MESSAGE_MAP()

private:
    // Looks and images may be set before the button has a window; until it has one there is
    // nothing to repaint and no tip to attach.
    BOOL IsCreated() const { return GetSafeHwnd() != nullptr; }
    void Repaint();
    void FollowSystemColors();
    BOOL UseIdleImage() const;
    BOOL EnsureToolTip();
    void MoveFocusAway();
    void ShowDropMenu();
    BOOL AcceptDropMenu(BOOL loaded, HWND owner);
    void OpenLinkTarget();
    void DrawFrameOrEdges(CDC* dc, const RECT& itemRect);
    void DrawCaption(CDC* dc, const CString& title, RECT caption);
    void DropImages();
    static BOOL MeasureIcon(IconImage& image);
    static BOOL MakeMask(BitmapImage& image, COLORREF transparent);
};
