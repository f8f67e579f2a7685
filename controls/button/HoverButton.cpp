// The button's behaviour: operations, messages, state, mouse and keyboard, the drop-down menu and
// the link target. Taking images over is in HoverButtonImages.cpp, drawing in HoverButtonPaint.cpp.
#include "controls/button/HoverButton.h"

#include "framework/ShellCalls.h"

#include <cwchar>
#include <iterator>

namespace {

// Button-type bits of a button style; BS_DEFPUSHBUTTON and BS_PUSHBUTTON differ only in them.
constexpr DWORD kButtonTypeMask = 0x1F;
// Style bit that check boxes (and, by the bit pattern, owner-draw buttons and group boxes) carry.
constexpr DWORD kCheckBoxStyleBit = 0x2;
// Bits that BM_SETSTYLE clears before forcing the owner-draw type, so the type always reads 0xB.
constexpr DWORD kSetStyleClearedBits = 0x14;
constexpr int kTipMaxWidth = 400;
// The drop-down menu opens under the bottom-left corner and returns the chosen command.
constexpr UINT kDropMenuFlags = TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_NONOTIFY | TPM_RETURNCMD;
// The system colour each colour slot shows until the program sets one, in slot order.
constexpr int kSlotSystemColors[] = {COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_BTNFACE,
                                     COLOR_BTNTEXT, COLOR_BTNFACE, COLOR_BTNTEXT};
static_assert(std::size(kSlotSystemColors) == CHoverButton::BTN_COLOR_COUNT);

}  // namespace

CHoverButton::CHoverButton() { FollowSystemColors(); }

// Images, cursor and drop-down menu all go with their owners.
CHoverButton::~CHoverButton() = default;

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

// Colours the program set stay as set; the others are the system's of the moment.
void CHoverButton::FollowSystemColors() {
    for (int slot = 0; slot < BTN_COLOR_COUNT; ++slot) {
        if (!m_assignedColors[slot]) {
            m_colors[slot] = ::GetSysColor(kSlotSystemColors[slot]);
        }
    }
}

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
    m_assignedColors[slot] = TRUE;
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

// The cursor held already, handed in again, stays: replacing it would destroy it.
void CHoverButton::SetButtonCursor(HCURSOR cursor) {
    if (cursor != m_cursor) {
        m_cursor = CCursor(cursor);
    }
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

// Check-box mode and the default flag follow from the template's style; then the control becomes
// owner-drawn.
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

// The tip sees the mouse first.
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
    if (!IsCreated() || !m_tipCtrl.Create(this, 0)) {
        return FALSE;
    }
    m_tipCtrl.Activate(FALSE);
    m_tipCtrl.SetMaxTipWidth(kTipMaxWidth);
    return TRUE;
}

// ---- Message handlers -------------------------------------------------------------------------

BOOL CHoverButton::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
    if (m_cursor != nullptr) {
        ::SetCursor(m_cursor);
        return TRUE;
    }
    return CButton::OnSetCursor(wnd, hitTest, message);
}

void CHoverButton::OnKillFocus(CWnd* newWnd) {
    CButton::OnKillFocus(newWnd);
    CancelHover();
}

// Lights a flat button, or unlights it once the pointer is over another window.
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

// The top-level window passes the message on (a switch to a high-contrast scheme, say): the slots
// the program left alone take the new system colours, the parent's pixels are taken anew and the
// edges drawn in the new colours.
void CHoverButton::OnSysColorChange() {
    CButton::OnSysColorChange();
    FollowSystemColors();
    m_parentSnapshot.Drop();
    Repaint();
}

// FALSE lets the parent's click handler run as well.
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

void CHoverButton::OnActivate(UINT state, CWnd* other, BOOL minimized) {
    CButton::OnActivate(state, other, minimized);
    if (state == WA_INACTIVE) {
        CancelHover();
    }
}

// A disabled button gives the focus away.
void CHoverButton::OnEnable(BOOL enable) {
    CButton::OnEnable(enable);
    if (!enable) {
        MoveFocusAway();
        CancelHover();
    }
}

// The system cancels a mode when a menu, a drag or a dialog box takes over: the light goes out.
void CHoverButton::OnCancelMode() {
    CButton::OnCancelMode();
    CancelHover();
}

// The dialog manager reads here whether this is the default push button.
UINT CHoverButton::OnGetDlgCode() {
    return CButton::OnGetDlgCode() | (m_defaultButton ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

// The button paints its own face: the parent's colour query gets a brush that paints nothing.
HBRUSH CHoverButton::CtlColor(CDC*, UINT) { return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)); }

// Owner-drawn items carry no text the system could search for a typed mnemonic, so the picture
// menu finds the item; other menus take the default.
LRESULT CHoverButton::OnMenuChar(UINT ch, UINT flags, CMenu* menu) {
    if (CPictureMenu::IsOwnedSubMenu(menu)) {
        return CPictureMenu::FindShortcut(ch, flags, menu);
    }
    return CButton::OnMenuChar(ch, flags, menu);
}

// A pop-up entry of the picture menu (its id is the sub-menu's handle) is measured here; every other item
// goes to the menu object the framework finds for it.
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

// The dialog manager moves the default button with this message: the flag follows, and the
// control stays owner-drawn whatever type it is given.
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

void CHoverButton::OnMouseLeave() { CancelHover(); }

// Only a button in check-box mode keeps a check state.
LRESULT CHoverButton::OnSetCheck(WPARAM wParam, LPARAM) {
    if (m_checkBoxMode) {
        m_checkState = (wParam == BST_CHECKED || wParam == BST_INDETERMINATE) ? 1 : 0;
        Repaint();
    }
    return 0;
}

LRESULT CHoverButton::OnGetCheck(WPARAM, LPARAM) { return m_checkState; }

// The system keeps no check state for an owner-drawn button, so
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

// Invalidates the whole button with background erase. Without a window there is nothing to
// repaint, and InvalidateRect on a NULL window would repaint every window.
void CHoverButton::Repaint() {
    if (!IsCreated()) {
        return;
    }
    InvalidateRect(nullptr, TRUE);
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
