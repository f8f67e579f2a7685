#include "controls/button/HoverButton.h"

#include "controls/button/GreyIcon.h"
#include "controls/button/IconBitmaps.h"

#include <cwchar>

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
// Button-type bits of a button style; BS_DEFPUSHBUTTON and BS_PUSHBUTTON differ only in them.
constexpr DWORD kButtonTypeMask = 0x1F;
// Style bit that check boxes (and, by the bit pattern, owner-draw buttons and group boxes) carry.
constexpr DWORD kCheckBoxStyleBit = 0x2;
// Bits that BM_SETSTYLE clears before forcing the owner-draw type, so the type always reads 0xB.
constexpr DWORD kSetStyleClearedBits = 0x14;
constexpr int kTipMaxWidth = 400;
// The drop-down menu opens under the bottom-left corner and returns the chosen command.
constexpr UINT kDropMenuFlags = TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_NONOTIFY | TPM_RETURNCMD;
constexpr int kFocusRectInset = 3;
// Raster operation "destination AND NOT source": blackens where the source is white.
constexpr DWORD kRopBlackenWhereSourceSet = 0x00220326;

bool Selected(const CScopedSelect& select) {
    return select.Previous() != nullptr && select.Previous() != HGDI_ERROR;
}

// The drawn size of an icon, read from its bitmaps (its hot spot need not be its centre). A
// monochrome icon keeps both halves of its picture in a mask of twice its height.
bool IconBitmapSize(const CIconBitmaps& bitmaps, SIZE& size) {
    const bool hasColor = bitmaps.Color().m_hObject != nullptr;
    const HBITMAP measured = hasColor ? bitmaps.Color() : bitmaps.Mask();
    BITMAP bitmap = {};
    if (measured == nullptr || ::GetObjectW(measured, sizeof(bitmap), &bitmap) == 0) {
        return false;
    }
    size.cx = bitmap.bmWidth;
    size.cy = hasColor ? bitmap.bmHeight : bitmap.bmHeight / 2;
    return size.cx > 0 && size.cy > 0;
}

}  // namespace

CHoverButton::CHoverButton() {
    m_colors[BTN_FACE_HOT] = ::GetSysColor(COLOR_BTNFACE);
    m_colors[BTN_TEXT_HOT] = ::GetSysColor(COLOR_BTNTEXT);
    m_colors[BTN_FACE_REST] = ::GetSysColor(COLOR_BTNFACE);
    m_colors[BTN_TEXT_REST] = ::GetSysColor(COLOR_BTNTEXT);
    m_colors[BTN_FACE_FOCUS] = ::GetSysColor(COLOR_BTNFACE);
    m_colors[BTN_TEXT_FOCUS] = ::GetSysColor(COLOR_BTNTEXT);
}

CHoverButton::~CHoverButton() {
    ReleaseImages();
    SetButtonCursor(nullptr);
    if (m_dropMenu.m_hMenu != nullptr) {
        m_dropMenu.DestroyMenu();
    }
}

BEGIN_MESSAGE_MAP(CHoverButton, CButton)
    ON_WM_SETCURSOR()
    ON_WM_KILLFOCUS()
    ON_WM_MOUSEMOVE()
    ON_WM_SYSCOLORCHANGE()
    ON_CONTROL_REFLECT_EX(BN_CLICKED, &CHoverButton::OnClicked)
    ON_WM_ACTIVATE()
    ON_WM_ENABLE()
    ON_WM_CANCELMODE()
    ON_WM_GETDLGCODE()
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_MENUCHAR()
    ON_WM_MEASUREITEM()
    ON_MESSAGE(BM_SETSTYLE, &CHoverButton::OnSetStyle)
    ON_WM_MOUSELEAVE()
    ON_MESSAGE(BM_SETCHECK, &CHoverButton::OnSetCheck)
    ON_MESSAGE(BM_GETCHECK, &CHoverButton::OnGetCheck)
    ON_MESSAGE(BM_GETSTATE, &CHoverButton::OnGetState)
END_MESSAGE_MAP()

// ---- Operations -------------------------------------------------------------------------------

void CHoverButton::SetFlatLook(BOOL flat) {
    m_flat = flat;
    if (!flat) {
        m_hover = FALSE;  // only a flat button can be lit; nothing would unlight it later
    }
    Repaint();
}

BOOL CHoverButton::SetColor(int slot, COLORREF color, BOOL repaint) {
    if (slot < 0 || slot >= BTN_COLOR_COUNT) {
        return FALSE;
    }
    m_colors[slot] = color;
    if (repaint) {
        Repaint();
    }
    return TRUE;
}

COLORREF CHoverButton::GetColor(int slot) const {
    return slot >= 0 && slot < BTN_COLOR_COUNT ? m_colors[slot] : CLR_INVALID;
}

BOOL CHoverButton::SetImageAlign(BYTE align) {
    if (align > ALIGN_IMAGE_RIGHT) {
        return FALSE;
    }
    m_imageAlign = align;
    Repaint();
    return TRUE;
}

void CHoverButton::SetDrawBorder(BOOL draw) {
    m_drawBorder = draw;
    Repaint();
}

void CHoverButton::SetFlatFocusRect(BOOL draw) {
    m_flatFocusRect = draw;
    Repaint();
}

void CHoverButton::SetTransparent(BOOL transparent) {
    m_transparent = transparent;
    Repaint();
}

void CHoverButton::SetTrackInactive(BOOL track) { m_trackInactive = track; }

void CHoverButton::SetGreyDisabledBitmap(BOOL grey) {
    m_greyDisabledBitmap = grey;
    Repaint();
}

// The button owns the cursor: a shared cursor (LoadCursor) must be copied before it is handed in.
void CHoverButton::SetButtonCursor(HCURSOR cursor) {
    if (m_cursor != nullptr && m_cursor != cursor) {
        // Windows refuses to destroy the cursor on screen: put the arrow up first.
        if (::GetCursor() == m_cursor) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
        }
        ::DestroyCursor(m_cursor);
    }
    m_cursor = cursor;
}

// Registers the button with its tip window under `text` and switches the tip on or off.
BOOL CHoverButton::SetTooltipText(LPCWSTR text, BOOL activate) {
    if (text == nullptr || !EnsureToolTip()) {
        return FALSE;
    }
    if (m_tipCtrl.GetToolCount() == 0) {
        if (!m_tipCtrl.AddTool(this, text)) {
            return FALSE;
        }
    } else {
        m_tipCtrl.UpdateTipText(text, this);
    }
    m_tipCtrl.Activate(activate);
    return TRUE;
}

// A target that does not fit is refused rather than cut short; NULL or "" clears it.
BOOL CHoverButton::SetLinkTarget(LPCWSTR target) {
    if (target == nullptr) {
        m_linkTarget[0] = L'\0';
        return TRUE;
    }
    const size_t length = wcsnlen(target, MAX_PATH);
    if (length >= MAX_PATH) {
        return FALSE;
    }
    wmemcpy(m_linkTarget, target, length + 1);
    return TRUE;
}

// The menu is a menu bar whose first entry is the pop-up that drops down.
BOOL CHoverButton::SetDropDownMenu(UINT menuId, HWND owner) {
    if (m_menuShown) {
        return FALSE;
    }
    return AcceptDropMenu(::IsWindow(owner) && m_dropMenu.LoadMenu(menuId), owner);
}

BOOL CHoverButton::SetDropDownMenu(const void* menuTemplate, std::size_t size, HWND owner) {
    if (m_menuShown) {
        return FALSE;
    }
    return AcceptDropMenu(
        ::IsWindow(owner) && menuTemplate != nullptr && m_dropMenu.LoadMenuTemplate(menuTemplate, size),
        owner);
}

// A menu that cannot drop down is not kept: the click would otherwise open nothing and skip the
// link target as well.
BOOL CHoverButton::AcceptDropMenu(BOOL loaded, HWND owner) {
    if (!loaded || ::GetSubMenu(m_dropMenu.m_hMenu, 0) == nullptr) {
        RemoveDropDownMenu();
        return FALSE;
    }
    m_menuOwner = owner;
    return TRUE;
}

// Refused while the menu is open: the pop-up being tracked must outlive the tracking.
BOOL CHoverButton::RemoveDropDownMenu() {
    if (m_menuShown) {
        return FALSE;
    }
    if (m_dropMenu.m_hMenu != nullptr) {
        m_dropMenu.DestroyMenu();
    }
    m_menuOwner = nullptr;
    return TRUE;
}

// ---- Framework hooks --------------------------------------------------------------------------

// Called once when the control is bound: check-box mode and the default flag follow from the
// template's style, then the control becomes owner-drawn.
void CHoverButton::PreSubclassWindow() {
    const DWORD style = GetStyle() & 0xFFFF;
    if ((style & kCheckBoxStyleBit) != 0) {
        m_checkBoxMode = TRUE;
    }
    if ((style & kButtonTypeMask) == BS_DEFPUSHBUTTON) {
        m_defaultButton = TRUE;
    }
    ModifyStyle(kButtonTypeMask, BS_OWNERDRAW, SWP_FRAMECHANGED);
    CButton::PreSubclassWindow();
}

// Called for every message that passes through the button: the tip sees the mouse first.
BOOL CHoverButton::PreTranslateMessage(MSG* msg) {
    if (EnsureToolTip() && msg != nullptr) {
        m_tipCtrl.RelayEvent(msg);
    }
    return CButton::PreTranslateMessage(msg);
}

// An owner-drawn button would report a second quick press as a double click, not as a click.
LRESULT CHoverButton::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDBLCLK) {
        message = WM_LBUTTONDOWN;
    }
    return CButton::DefWindowProc(message, wParam, lParam);
}

BOOL CHoverButton::EnsureToolTip() {
    if (m_tipCtrl.m_hWnd != nullptr) {
        return TRUE;
    }
    if (m_hWnd == nullptr || !m_tipCtrl.Create(this, 0)) {
        return FALSE;
    }
    m_tipCtrl.Activate(FALSE);
    m_tipCtrl.SetMaxTipWidth(kTipMaxWidth);
    return TRUE;
}

// ---- Message handlers -------------------------------------------------------------------------

// Called when the pointer moves over the button: our own cursor, if any.
BOOL CHoverButton::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
    if (m_cursor != nullptr) {
        ::SetCursor(m_cursor);
        return TRUE;
    }
    return CButton::OnSetCursor(wnd, hitTest, message);
}

// Called when the button loses the keyboard focus.
void CHoverButton::OnKillFocus(CWnd* newWnd) {
    CButton::OnKillFocus(newWnd);
    CancelHover();
}

// Called when the pointer moves over the button: lights a flat button, or unlights it once the
// pointer is over another window.
void CHoverButton::OnMouseMove(UINT flags, POINT point) {
    CButton::OnMouseMove(flags, point);
    POINT screen = point;
    ClientToScreen(&screen);
    const BOOL overSelf = ::WindowFromPoint(screen) == m_hWnd;
    const BOOL mayLight = m_trackInactive || ::GetActiveWindow() != nullptr;
    if (m_hover) {
        if (!overSelf || !mayLight) {
            CancelHover();
        }
        return;
    }
    if (!m_flat || (flags & MK_LBUTTON) != 0 || !overSelf || !mayLight) {
        return;
    }
    m_hover = TRUE;
    Repaint();
    TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hWnd, 0};
    _TrackMouseEvent(&track);
}

// Called when the system colours change (the top-level window passes the message on): the
// parent's pixels are taken anew and the edges drawn in the new colours.
void CHoverButton::OnSysColorChange() {
    CButton::OnSysColorChange();
    m_parentSnapshot.Drop();
    Repaint();
}

// Called for the button's own BN_CLICKED; FALSE lets the parent's click handler run as well.
BOOL CHoverButton::OnClicked() {
    SetFocus();
    if (m_checkBoxMode) {
        m_checkState = m_checkState == 0 ? 1 : 0;
        Repaint();
        return FALSE;
    }
    if (m_dropMenu.m_hMenu != nullptr) {
        ShowDropMenu();
        return FALSE;
    }
    if (m_linkTarget[0] != L'\0') {
        OpenLinkTarget();
    }
    return FALSE;
}

// Called when the window is activated or deactivated.
void CHoverButton::OnActivate(UINT state, CWnd* other, BOOL minimized) {
    CButton::OnActivate(state, other, minimized);
    if (state == WA_INACTIVE) {
        CancelHover();
    }
}

// Called when the button is enabled or disabled; a disabled button gives the focus away.
void CHoverButton::OnEnable(BOOL enable) {
    CButton::OnEnable(enable);
    if (!enable) {
        MoveFocusAway();
        CancelHover();
    }
}

// Called when the system cancels a mode (a menu, a drag, a dialog box appearing).
void CHoverButton::OnCancelMode() {
    CButton::OnCancelMode();
    CancelHover();
}

// Called by the dialog manager: the button says whether it is the default push button.
UINT CHoverButton::OnGetDlgCode() {
    return CButton::OnGetDlgCode() | (m_defaultButton ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

// Called for the parent's colour query: the button paints its own face.
HBRUSH CHoverButton::CtlColor(CDC*, UINT) { return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)); }

// Called for a mnemonic typed while a menu is open: owner-drawn items carry no text the system
// could search, so the picture menu finds the item; other menus take the default.
LRESULT CHoverButton::OnMenuChar(UINT ch, UINT flags, CMenu* menu) {
    if (CPictureMenu::IsOwnedSubMenu(menu)) {
        return CPictureMenu::FindShortcut(ch, flags, menu);
    }
    return CButton::OnMenuChar(ch, flags, menu);
}

// Called when an owner-drawn item opened from the button is measured. A pop-up entry of the
// picture menu (its id is the sub-menu's handle) is measured here; every other item goes to the
// menu object the framework finds for it.
void CHoverButton::OnMeasureItem(int controlId, LPMEASUREITEMSTRUCT item) {
    if (item == nullptr) {
        return;
    }
    const auto subMenu = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(item->itemID));
    if (item->CtlType == ODT_MENU && ::IsMenu(subMenu) && CPictureMenu::IsOwnedSubMenu(subMenu)) {
        m_dropMenu.MeasureItem(item);
        return;
    }
    CButton::OnMeasureItem(controlId, item);
}

// Called by the dialog manager when the default button moves: the flag follows, and the control
// stays owner-drawn whatever type it is given.
LRESULT CHoverButton::OnSetStyle(WPARAM wParam, LPARAM lParam) {
    const DWORD type = static_cast<DWORD>(wParam) & kButtonTypeMask;
    if (type == BS_DEFPUSHBUTTON) {
        m_defaultButton = TRUE;
    } else if (type == BS_PUSHBUTTON) {
        m_defaultButton = FALSE;
    }
    const WPARAM style = (wParam & ~static_cast<WPARAM>(kSetStyleClearedBits)) | BS_OWNERDRAW;
    return DefWindowProc(BM_SETSTYLE, style, lParam);
}

// Called when the pointer leaves the button (asked for with _TrackMouseEvent).
void CHoverButton::OnMouseLeave() { CancelHover(); }

// Called to check or uncheck the button; only a button in check-box mode keeps a state.
LRESULT CHoverButton::OnSetCheck(WPARAM wParam, LPARAM) {
    if (m_checkBoxMode) {
        m_checkState = (wParam == BST_CHECKED || wParam == BST_INDETERMINATE) ? 1 : 0;
        Repaint();
    }
    return 0;
}

// Called to read the check state.
LRESULT CHoverButton::OnGetCheck(WPARAM, LPARAM) { return m_checkState; }

// Called to read the whole state. The system keeps no check state for an owner-drawn button, so
// the check-box mode's own is put in: screen readers read a button's checked state from here.
LRESULT CHoverButton::OnGetState(WPARAM wParam, LPARAM lParam) {
    LRESULT state =
        DefWindowProc(BM_GETSTATE, wParam, lParam) & ~static_cast<LRESULT>(BST_CHECKED | BST_INDETERMINATE);
    if (m_checkBoxMode && m_checkState != 0) {
        state |= BST_CHECKED;
    }
    return state;
}

// ---- Helpers of the handlers ------------------------------------------------------------------

// Invalidates the whole button with background erase; an unbound button has nothing to repaint
// (a NULL window would mean every window).
void CHoverButton::Repaint() {
    if (m_hWnd != nullptr) {
        InvalidateRect(nullptr, TRUE);
    }
}

void CHoverButton::CancelHover() {
    if (m_flat && m_hover) {
        m_hover = FALSE;
        Repaint();
    }
}

// The focus goes to the next tab stop of the parent, or to the parent when there is none.
void CHoverButton::MoveFocusAway() {
    CWnd* parent = GetParent();
    if (parent == nullptr) {
        return;
    }
    HWND next = ::GetNextDlgTabItem(parent->m_hWnd, m_hWnd, FALSE);
    if (next == nullptr || next == m_hWnd) {
        parent->SetFocus();
    } else {
        CWnd::FromHandle(next)->SetFocus();
    }
}

// Opens the drop-down menu under the button, drawn pressed meanwhile, and posts the chosen
// command to the menu's owner once the menu has closed.
void CHoverButton::ShowDropMenu() {
    RECT window = {};
    GetWindowRect(&window);
    m_menuShown = TRUE;
    Repaint();
    CMenu* popup = m_dropMenu.GetSubMenu(0);
    const UINT command =
        popup != nullptr
            ? static_cast<UINT>(popup->TrackPopupMenu(kDropMenuFlags, window.left, window.bottom, m_hWnd))
            : 0;
    m_menuShown = FALSE;
    Repaint();
    // Without an owner window the post would become a thread message that nobody reads.
    if (command != 0 && m_menuOwner != nullptr) {
        ::PostMessageW(m_menuOwner, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    }
}

void CHoverButton::OpenLinkTarget() {
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = m_linkTarget;
    info.nShow = SW_SHOWMAXIMIZED;
    AfxShellExecuteEx(&info);  // a target that cannot be opened shows nothing and changes nothing
}

// ---- Drawing ----------------------------------------------------------------------------------

// Called for every WM_DRAWITEM of the control: face, frame or edges, image, caption and focus
// rectangle, straight into the request's DC.
void CHoverButton::DrawItem(LPDRAWITEMSTRUCT item) {
    if (item == nullptr || item->hDC == nullptr) {
        return;
    }
    CDC* dc = CDC::FromHandle(item->hDC);
    const BOOL selected = (item->itemState & ODS_SELECTED) != 0;
    if (m_checkBoxMode) {
        m_pressed = selected || m_checkState != 0;
    } else {
        m_pressed = selected || (m_dropMenu.m_hMenu != nullptr && m_menuShown);
    }
    m_focused = (item->itemState & ODS_FOCUS) != 0;
    m_disabled = (item->itemState & ODS_DISABLED) != 0;

    RECT itemRect = item->rcItem;
    dc->SetBkMode(TRANSPARENT);
    if (!m_flat && (m_focused || m_defaultButton)) {
        CBrush black(kBlack);
        dc->FrameRect(&itemRect, &black);
        ::InflateRect(&itemRect, -1, -1);
    }
    if (m_transparent) {
        m_parentSnapshot.PaintUnder(*this, *dc);
    } else {
        PaintFace(dc, &itemRect);
    }
    DrawFrameOrEdges(dc, itemRect);

    CString title;
    GetWindowText(title);
    const BOOL hasTitle = !title.IsEmpty();
    RECT caption = item->rcItem;
    if (m_icons[0].icon != nullptr) {
        DrawIconImage(dc, hasTitle, &item->rcItem, &caption, m_pressed, m_disabled);
    }
    if (m_bitmaps[0].bitmap != nullptr) {
        dc->SetBkColor(kWhite);
        DrawBitmapImage(dc, hasTitle, &item->rcItem, &caption, m_pressed, m_disabled);
    }
    if (hasTitle) {
        DrawCaption(dc, title, caption);
    }
    if ((!m_flat || m_flatFocusRect) && m_focused) {
        RECT focus = itemRect;
        ::InflateRect(&focus, -kFocusRectInset, -kFocusRectInset);
        dc->DrawFocusRect(&focus);
    }
}

// A flat button shows its 1-pixel border only when lit or pressed; a classic one has a shadow
// frame when pressed and four 3D edge lines at rest.
void CHoverButton::DrawFrameOrEdges(CDC* dc, const RECT& itemRect) {
    if (m_flat) {
        if (m_drawBorder && (m_pressed || m_hover)) {
            PaintBorder(dc, &itemRect);
        }
        return;
    }
    if (m_pressed) {
        CBrush shadow(::GetSysColor(COLOR_BTNSHADOW));
        dc->FrameRect(&itemRect, &shadow);
        return;
    }
    const RECT& r = itemRect;
    struct EdgeLine {
        int sysColor;
        POINT from, through, to;
    };
    const EdgeLine lines[] = {
        {COLOR_BTNHIGHLIGHT, {r.left, r.bottom - 1}, {r.left, r.top}, {r.right, r.top}},
        {COLOR_3DLIGHT, {r.left + 1, r.bottom - 1}, {r.left + 1, r.top + 1}, {r.right, r.top + 1}},
        {COLOR_3DDKSHADOW, {r.left, r.bottom - 1}, {r.right - 1, r.bottom - 1}, {r.right - 1, r.top - 1}},
        {COLOR_BTNSHADOW, {r.left + 1, r.bottom - 2}, {r.right - 2, r.bottom - 2}, {r.right - 2, r.top}},
    };
    for (const EdgeLine& line : lines) {
        CPen pen;
        if (!pen.CreatePen(PS_SOLID, 0, ::GetSysColor(line.sysColor))) {
            continue;
        }
        CScopedSelect select(*dc, pen);
        dc->MoveTo(line.from.x, line.from.y);
        dc->LineTo(line.through.x, line.through.y);
        dc->LineTo(line.to.x, line.to.y);
    }
}

// The caption is wrapped at the caption rectangle's width and the block centred in it; a
// disabled caption is drawn embossed.
void CHoverButton::DrawCaption(CDC* dc, const CString& title, RECT caption) {
    if (m_pressed && !m_checkBoxMode) {
        ::OffsetRect(&caption, 1, 1);
    }
    const RECT frame = caption;
    dc->DrawText(title, -1, &caption, DT_WORDBREAK | DT_CENTER | DT_CALCRECT);
    ::OffsetRect(&caption, ((frame.right - frame.left) - (caption.right - caption.left)) / 2,
                 ((frame.bottom - frame.top) - (caption.bottom - caption.top)) / 2);
    dc->SetBkMode(TRANSPARENT);
    if (m_disabled) {
        ::OffsetRect(&caption, 1, 1);
        dc->SetTextColor(::GetSysColor(COLOR_BTNHIGHLIGHT));
        dc->DrawText(title, -1, &caption, DT_WORDBREAK | DT_CENTER);
        ::OffsetRect(&caption, -1, -1);
        dc->SetTextColor(::GetSysColor(COLOR_BTNSHADOW));
        dc->DrawText(title, -1, &caption, DT_WORDBREAK | DT_CENTER);
        return;
    }
    const bool hot = m_hover || m_pressed;
    dc->SetTextColor(m_colors[hot ? BTN_TEXT_HOT : BTN_TEXT_REST]);
    dc->SetBkColor(m_colors[hot ? BTN_FACE_HOT : BTN_FACE_REST]);
    dc->DrawText(title, -1, &caption, DT_WORDBREAK | DT_CENTER);
}

int CHoverButton::PaintFace(CDC* dc, const RECT* rect) {
    COLORREF color = m_colors[BTN_FACE_REST];
    if (m_hover || m_pressed) {
        color = m_colors[BTN_FACE_HOT];
    } else if (m_focused) {
        color = m_colors[BTN_FACE_FOCUS];
    }
    CBrush brush(color);
    if (brush.m_hObject != nullptr) {
        dc->FillRect(rect, &brush);
    }
    return 0;
}

int CHoverButton::PaintBorder(CDC* dc, const RECT* rect) {
    const COLORREF highlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    if (m_pressed) {
        dc->Draw3dRect(rect, shadow, highlight);
    } else {
        dc->Draw3dRect(rect, highlight, shadow);
    }
    return 0;
}

// ---- Images -----------------------------------------------------------------------------------

// Icons handed in again that the button already holds stay with it instead of being destroyed
// by the release that precedes every assignment.
int CHoverButton::AssignIcons(HICON iconIn, HICON iconOut) {
    for (IconImage& image : m_icons) {
        if (image.icon != nullptr && (image.icon == iconIn || image.icon == iconOut)) {
            image.icon = nullptr;
        }
    }
    ReleaseImages();
    if (iconOut == iconIn && iconOut != nullptr) {
        // One handle cannot be owned twice: the idle image gets its own copy.
        iconOut = ::CopyIcon(iconIn);
        if (iconOut == nullptr) {
            ::DestroyIcon(iconIn);
            return 1;
        }
    }
    const bool autoGrey = iconOut == ICON_AUTO_GREY;
    if (iconIn == nullptr || iconIn == ICON_AUTO_GREY) {
        // Nothing to show: a second icon handed with it is not taken over and stays the caller's.
        if (iconIn == ICON_AUTO_GREY) {
            return 1;
        }
        Repaint();
        return 0;
    }
    if (!StoreIcon(iconIn, m_icons[0])) {
        ReleaseImages();
        if (iconOut != nullptr && !autoGrey) {
            ::DestroyIcon(iconOut);
        }
        return 1;
    }
    if (autoGrey) {
        iconOut = MakeGreyIcon(iconIn);
        if (iconOut == nullptr) {
            ReleaseImages();
            return 1;
        }
    }
    if (iconOut != nullptr && !StoreIcon(iconOut, m_icons[1])) {
        ReleaseImages();
        return 1;
    }
    Repaint();
    return 0;
}

// Takes `icon` into `image` (from then on ReleaseImages destroys it) and reads its size.
BOOL CHoverButton::StoreIcon(HICON icon, IconImage& image) {
    image.icon = icon;
    const CIconBitmaps bitmaps(icon);
    SIZE size = {};
    if (!bitmaps.IsRead() || !IconBitmapSize(bitmaps, size)) {
        return FALSE;
    }
    image.width = static_cast<DWORD>(size.cx);
    image.height = static_cast<DWORD>(size.cy);
    return TRUE;
}

int CHoverButton::AssignBitmaps(HBITMAP bitmapIn, HBITMAP bitmapOut, COLORREF transparent) {
    for (BitmapImage& image : m_bitmaps) {
        if (image.bitmap != nullptr && (image.bitmap == bitmapIn || image.bitmap == bitmapOut)) {
            image.bitmap = nullptr;
        }
    }
    ReleaseImages();
    if (bitmapOut == bitmapIn && bitmapOut != nullptr) {
        bitmapOut = static_cast<HBITMAP>(::CopyImage(bitmapIn, IMAGE_BITMAP, 0, 0, 0));
        if (bitmapOut == nullptr) {
            ::DeleteObject(bitmapIn);
            return 1;
        }
    }
    if (bitmapIn == nullptr) {
        if (bitmapOut != nullptr) {
            ::DeleteObject(bitmapOut);
        }
        Repaint();
        return 0;
    }
    if (!StoreBitmap(bitmapIn, transparent, m_bitmaps[0])) {
        ReleaseImages();
        if (bitmapOut != nullptr) {
            ::DeleteObject(bitmapOut);
        }
        return 1;
    }
    if (bitmapOut != nullptr && !StoreBitmap(bitmapOut, transparent, m_bitmaps[1])) {
        ReleaseImages();
        return 1;
    }
    Repaint();
    return 0;
}

// Takes `bitmap` into `image` and makes its mask: set bits where the bitmap has the transparent
// colour. Those pixels of the bitmap are then blackened, as the masked drawing expects.
BOOL CHoverButton::StoreBitmap(HBITMAP bitmap, COLORREF transparent, BitmapImage& image) {
    image.bitmap = bitmap;
    BITMAP info = {};
    if (::GetObjectType(bitmap) != OBJ_BITMAP || ::GetObjectW(bitmap, sizeof(info), &info) == 0 ||
        info.bmWidth <= 0 || info.bmHeight <= 0) {
        return FALSE;
    }
    CBitmap mask;
    CDC colorDc;
    CDC maskDc;
    if (!mask.CreateBitmap(info.bmWidth, info.bmHeight, 1, 1, nullptr) ||
        !colorDc.CreateCompatibleDC(nullptr) || !maskDc.CreateCompatibleDC(nullptr)) {
        return FALSE;
    }
    {
        CScopedSelect selectColor(colorDc, bitmap);
        CScopedSelect selectMask(maskDc, mask);
        if (!Selected(selectColor) || !Selected(selectMask)) {
            return FALSE;
        }
        colorDc.SetBkColor(transparent);
        maskDc.BitBlt(0, 0, info.bmWidth, info.bmHeight, &colorDc, 0, 0, SRCCOPY);
        // Set mask bits reach the colour bitmap as the background colour, white.
        colorDc.SetBkColor(kWhite);
        colorDc.SetTextColor(kBlack);
        colorDc.BitBlt(0, 0, info.bmWidth, info.bmHeight, &maskDc, 0, 0, kRopBlackenWhereSourceSet);
    }
    image.width = static_cast<DWORD>(info.bmWidth);
    image.height = static_cast<DWORD>(info.bmHeight);
    image.mask = static_cast<HBITMAP>(mask.Detach());
    return TRUE;
}

void CHoverButton::ReleaseImages() {
    for (IconImage& image : m_icons) {
        if (image.icon != nullptr) {
            ::DestroyIcon(image.icon);
        }
    }
    for (BitmapImage& image : m_bitmaps) {
        if (image.bitmap != nullptr) {
            ::DeleteObject(image.bitmap);
        }
    }
    for (BitmapImage& image : m_bitmaps) {
        if (image.mask != nullptr) {
            ::DeleteObject(image.mask);
        }
    }
    for (IconImage& image : m_icons) {
        image = {};
    }
    for (BitmapImage& image : m_bitmaps) {
        image = {};
    }
}

// Made without the button's window: a button not yet shown can have its grey copy.
HICON CHoverButton::MakeGreyIcon(HICON icon) { return CreateGreyIcon(icon); }

// Entry 1 of a pair is the idle image: shown at rest when present.
BOOL CHoverButton::UseIdleImage() const {
    const bool atRest = m_checkBoxMode ? !m_pressed : !m_pressed && !m_hover;
    return atRest;
}

// Where an image of width x height goes in the request rectangle; moves edges of the caption
// rectangle to make room. Only the result's left and top place the image.
RECT CHoverButton::PlaceImage(DWORD width, DWORD height, const RECT* request, RECT* caption, BOOL hasTitle,
                              BOOL pressed) {
    const int w = static_cast<int>(width);
    const int h = static_cast<int>(height);
    RECT image = *request;
    const auto centreHorizontally = [&] {
        image.left += ((image.right - image.left) - w) / 2;
    };
    const auto centreVertically = [&] {
        image.top += ((image.bottom - image.top) - h) / 2;
    };
    switch (m_imageAlign) {
        case ALIGN_IMAGE_LEFT:
            if (hasTitle) {
                image.left += IMAGE_GAP;
                caption->left += w + IMAGE_GAP;
            } else {
                centreHorizontally();
            }
            centreVertically();
            break;
        case ALIGN_IMAGE_TOP:
            centreHorizontally();
            if (hasTitle) {
                image.top = IMAGE_GAP;
                caption->top += h;
            } else {
                centreVertically();
            }
            break;
        case ALIGN_IMAGE_RIGHT:
            if (hasTitle) {
                RECT client = {};
                GetClientRect(&client);
                caption->right = caption->right - caption->left - w - IMAGE_GAP;
                caption->left = IMAGE_GAP;
                image.left = client.right - w - IMAGE_GAP;
                centreVertically();
            } else {
                centreHorizontally();
            }
            break;
        default:
            break;
    }
    if (pressed && !m_checkBoxMode) {
        ::OffsetRect(&image, 1, 1);
    }
    return image;
}

void CHoverButton::DrawIconImage(CDC* dc, BOOL hasTitle, const RECT* request, RECT* caption, BOOL pressed,
                                 BOOL disabled) {
    const IconImage& chosen = m_icons[UseIdleImage() && m_icons[1].icon != nullptr ? 1 : 0];
    const RECT image = PlaceImage(chosen.width, chosen.height, request, caption, hasTitle, pressed);
    const int cx = image.right - image.left;
    const int cy = image.bottom - image.top;
    if (cx <= 0 || cy <= 0) {
        return;  // nothing of the button is left to draw into
    }
    ::DrawStateW(dc->m_hDC, nullptr, nullptr, reinterpret_cast<LPARAM>(chosen.icon), 0, image.left, image.top,
                 cx, cy, DST_ICON | (disabled ? DSS_DISABLED : 0));
}

// Draws the bitmap through its mask: set mask bits keep the face, clear ones take the bitmap.
// A disabled bitmap is first put on white and then drawn embossed.
void CHoverButton::DrawBitmapImage(CDC* dc, BOOL hasTitle, const RECT* request, RECT* caption, BOOL pressed,
                                   BOOL disabled) {
    const BitmapImage& chosen = m_bitmaps[UseIdleImage() && m_bitmaps[1].bitmap != nullptr ? 1 : 0];
    const int w = static_cast<int>(chosen.width);
    const int h = static_cast<int>(chosen.height);
    const RECT image = PlaceImage(chosen.width, chosen.height, request, caption, hasTitle, pressed);
    CDC imageDc;
    CDC maskDc;
    if (!imageDc.CreateCompatibleDC(dc) || !maskDc.CreateCompatibleDC(nullptr)) {
        return;
    }
    CScopedSelect selectImage(imageDc, chosen.bitmap);
    CScopedSelect selectMask(maskDc, chosen.mask);
    if (!Selected(selectImage) || !Selected(selectMask)) {
        return;
    }
    if (!disabled || !m_greyDisabledBitmap) {
        // Clear mask bits reach the DC as its text colour, which must be black to cut the hole.
        const COLORREF oldText = dc->SetTextColor(kBlack);
        dc->BitBlt(image.left, image.top, w, h, &maskDc, 0, 0, SRCAND);
        dc->BitBlt(image.left, image.top, w, h, &imageDc, 0, 0, SRCPAINT);
        dc->SetTextColor(oldText);
        return;
    }
    CDC onWhiteDc;
    CBitmap onWhite;
    if (!onWhiteDc.CreateCompatibleDC(dc) || !onWhite.CreateCompatibleBitmap(dc->m_hDC, w, h)) {
        return;
    }
    {
        CScopedSelect selectOnWhite(onWhiteDc, onWhite);
        if (!Selected(selectOnWhite)) {
            return;
        }
        const RECT all = {0, 0, w, h};
        onWhiteDc.FillSolidRect(&all, kWhite);
        const COLORREF oldBack = onWhiteDc.SetBkColor(kWhite);
        onWhiteDc.BitBlt(0, 0, w, h, &maskDc, 0, 0, SRCAND);
        onWhiteDc.BitBlt(0, 0, w, h, &imageDc, 0, 0, SRCPAINT);
        onWhiteDc.SetBkColor(oldBack);
    }
    onWhiteDc.DeleteDC();
    ::DrawStateW(dc->m_hDC, nullptr, nullptr, reinterpret_cast<LPARAM>(onWhite.m_hObject), 0, image.left,
                 image.top, w, h, DST_BITMAP | DSS_DISABLED);
}
