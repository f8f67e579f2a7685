#include "framework/Wnd.h"

#include "framework/BoundsFault.h"
#include "framework/CmdUI.h"
#include "framework/Exception.h"
#include "framework/Menu.h"
#include "framework/ModalLoopScope.h"
#include "framework/Module.h"

#include <utility>

namespace {

// Per-thread window bookkeeping: windows belong to the thread that made them.
struct WindowThreadState {
    CWnd* windowBeingCreated = nullptr;
    HHOOK creationHook = nullptr;
    MSG currentMessage{};
};

WindowThreadState& ThreadState() {
    thread_local WindowThreadState state;
    return state;
}

}  // namespace

// ---- Handle map -------------------------------------------------------------------------------

CWnd::~CWnd() {
    // A window that outlives its object would keep calling into freed memory: take it down too.
    if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this) {
        ::DestroyWindow(m_hWnd);
    }
    if (m_hWnd != nullptr) {
        CWndHandleMap::Unbind(m_hWnd, this);  // destroyed on another thread or not at all
    }
}

CWnd* CWnd::FromHandle(HWND hwnd) { return CWndHandleMap::FromHandle(hwnd); }

CWnd* CWnd::FromHandlePermanent(HWND hwnd) { return CWndHandleMap::FromHandlePermanent(hwnd); }

void CWnd::DeleteTempMap() { CWndHandleMap::DeleteTemporaries(); }

BOOL CWnd::Attach(HWND hwnd) {
    if (hwnd == nullptr || m_hWnd != nullptr || !CWndHandleMap::Bind(hwnd, this)) {
        return FALSE;
    }
    m_hWnd = hwnd;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hwnd = std::exchange(m_hWnd, nullptr);
    if (hwnd != nullptr) {
        CWndHandleMap::Unbind(hwnd, this);
    }
    return hwnd;
}

// ---- Subclassing and creation -----------------------------------------------------------------

BOOL CWnd::SubclassWindow(HWND hwnd) {
    if (!Attach(hwnd)) {
        return FALSE;
    }
    PreSubclassWindow();
    const auto previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfxWndProc)));
    if (previous != AfxWndProc) {
        m_pfnSuper = previous;
    }
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    HWND control = parent != nullptr ? ::GetDlgItem(parent->m_hWnd, static_cast<int>(id)) : nullptr;
    return control != nullptr && SubclassWindow(control);
}

HWND CWnd::UnsubclassWindow() {
    if (m_hWnd != nullptr && m_pfnSuper != nullptr) {
        SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    }
    m_pfnSuper = nullptr;
    return Detach();
}

void CWnd::BindAndSubclass(HWND hwnd) {
    if (!Attach(hwnd)) {
        return;
    }
    const auto previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfxWndProc)));
    if (previous != AfxWndProc) {
        m_pfnSuper = previous;
    }
}

void CWnd::HookWindowCreate(CWnd* wnd) {
    WindowThreadState& state = ThreadState();
    state.windowBeingCreated = wnd;
    if (state.creationHook == nullptr) {
        state.creationHook = SetWindowsHookExW(WH_CBT, AfxCreationHookProc, nullptr, GetCurrentThreadId());
    }
}

BOOL CWnd::UnhookWindowCreate() {
    WindowThreadState& state = ThreadState();
    const BOOL bound = state.windowBeingCreated == nullptr;
    state.windowBeingCreated = nullptr;
    if (state.creationHook != nullptr) {
        UnhookWindowsHookEx(state.creationHook);
        state.creationHook = nullptr;
    }
    return bound;
}

// A failure to bind is reported to the new window's parent; the window is still made, unbound,
// and the next hook runs either way.
LRESULT CALLBACK AfxCreationHookProc(int code, WPARAM wParam, LPARAM lParam) {
    WindowThreadState& state = ThreadState();
    if (code == HCBT_CREATEWND && state.windowBeingCreated != nullptr) {
        CWnd* wnd = state.windowBeingCreated;
        state.windowBeingCreated = nullptr;  // only the first window made is ours
        const auto* creation = reinterpret_cast<const CBT_CREATEWNDW*>(lParam);
        const HWND parent =
            creation != nullptr && creation->lpcs != nullptr ? creation->lpcs->hwndParent : nullptr;
        AfxCallGuarded(parent, false, [&] {
            wnd->BindAndSubclass(reinterpret_cast<HWND>(wParam));
            return true;
        });
    }
    return CallNextHookEx(state.creationHook, code, wParam, lParam);
}

BOOL CWnd::DestroyWindow() {
    if (m_hWnd == nullptr) {
        return FALSE;
    }
    return ::DestroyWindow(m_hWnd);
}

void CWnd::OnNcDestroyed() {
    if (m_pfnSuper != nullptr &&
        reinterpret_cast<WNDPROC>(GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC)) == AfxWndProc) {
        SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    }
    m_pfnSuper = nullptr;
    Detach();
    PostNcDestroy();
}

// ---- Dispatch ---------------------------------------------------------------------------------

LRESULT CALLBACK AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
    if (wnd == nullptr) {
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return AfxCallWndProc(wnd, hwnd, message, wParam, lParam);
}

// The one place where messages enter C++: no exception may unwind into the system's frames, so
// a failure is reported at the boundary and the message gets the neutral result 0.
LRESULT AfxCallWndProc(CWnd* wnd, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowThreadState& state = ThreadState();
    const MSG saved = state.currentMessage;
    state.currentMessage = MSG{hwnd, message, wParam, lParam, 0, {0, 0}};
    const LRESULT result =
        AfxCallGuarded(hwnd, LRESULT{0}, [&] { return wnd->WindowProc(message, wParam, lParam); });
    if (message == WM_NCDESTROY && wnd->m_hWnd == hwnd) {
        wnd->OnNcDestroyed();
    }
    state.currentMessage = saved;
    return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result)) {
        result = DefWindowProc(message, wParam, lParam);
    }
    return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper != nullptr) {
        return CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    }
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    const MSG& current = ThreadState().currentMessage;
    return DefWindowProc(current.message, current.wParam, current.lParam);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (message) {
        case WM_COMMAND:
            return OnCommand(wParam, lParam);
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header == nullptr || header->hwndFrom == nullptr) {
                break;
            }
            return OnNotify(wParam, lParam, result);
        }
        case WM_DRAWITEM:
            if (DispatchDrawItem(lParam, result)) {
                return TRUE;
            }
            break;
        case WM_INITMENUPOPUP:
            CMenu::ExchangePopupBeingShown(reinterpret_cast<HMENU>(wParam));
            break;
        case WM_EXITMENULOOP:
            CMenu::ExchangePopupBeingShown(nullptr);
            break;
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
            if (ReflectNotification(reinterpret_cast<HWND>(lParam), WM_CTLCOLOR, wParam,
                                    static_cast<LPARAM>(message - WM_CTLCOLORMSGBOX), result)) {
                return TRUE;
            }
            break;
        default:
            break;
    }
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(message, 0, 0);
    if (entry == nullptr) {
        return FALSE;
    }
    return entry->adapter(this, AfxMessageArgs{wParam, lParam, nullptr, result});
}

// Menu items and accelerators first ask whether the command is enabled; that query runs the
// command-update handler once. Opening a menu asks nothing.
BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    HWND control = reinterpret_cast<HWND>(lParam);
    if (control == nullptr) {
        CCmdUI state;
        state.m_nID = id;
        OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &state);
        if (!state.m_bEnabled) {
            return TRUE;
        }
        return OnCmdMsg(id, CN_COMMAND, nullptr);
    }
    LRESULT ignored = 0;
    if (ReflectNotification(control, WM_COMMAND, wParam, lParam, &ignored)) {
        return TRUE;
    }
    return OnCmdMsg(id, code, nullptr);
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (ReflectNotification(header->hwndFrom, WM_NOTIFY, wParam, lParam, result)) {
        return TRUE;
    }
    const AFX_MSGMAP_ENTRY* entry =
        FindMessageEntry(WM_NOTIFY, header->code, static_cast<UINT>(header->idFrom));
    if (entry == nullptr) {
        return FALSE;
    }
    return entry->adapter(this, AfxMessageArgs{wParam, lParam, nullptr, result});
}

// A menu item is drawn by the CMenu bound to its menu, a control's item by the control. A request
// without its structure names no item and gets the default processing.
BOOL CWnd::DispatchDrawItem(LPARAM lParam, LRESULT* result) {
    auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
    if (item == nullptr) {
        return FALSE;
    }
    if (item->CtlType != ODT_MENU) {
        return ReflectNotification(item->hwndItem, WM_DRAWITEM, 0, lParam, result);
    }
    CMenu* menu = CMenu::FromHandlePermanent(reinterpret_cast<HMENU>(item->hwndItem));
    if (menu == nullptr) {
        return FALSE;
    }
    menu->DrawItem(item);
    *result = TRUE;
    return TRUE;
}

BOOL CWnd::ReflectNotification(HWND child, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    CWnd* wnd = FromHandlePermanent(child);
    return wnd != nullptr && wnd->OnChildNotify(message, wParam, lParam, result);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    return ReflectChildNotify(message, wParam, lParam, result);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    UINT code = 0;
    if (message == WM_COMMAND) {
        code = HIWORD(wParam);
    } else if (message == WM_NOTIFY) {
        code = reinterpret_cast<const NMHDR*>(lParam)->code;
    }
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(WM_REFLECT_BASE + message, code, 0);
    if (entry == nullptr) {
        return FALSE;
    }
    return entry->adapter(this, AfxMessageArgs{wParam, lParam, nullptr, result});
}

void CWnd::PreSubclassWindow() {}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

void CWnd::PostNcDestroy() {}

BOOL CWnd::WalkPreTranslateTree(HWND stop, MSG* msg) {
    for (HWND hwnd = msg->hwnd; hwnd != nullptr; hwnd = ::GetParent(hwnd)) {
        CWnd* wnd = FromHandlePermanent(hwnd);
        if (wnd != nullptr && wnd->PreTranslateMessage(msg)) {
            return TRUE;
        }
        if (hwnd == stop) {
            break;
        }
    }
    return FALSE;
}

void CWnd::OnSetFocus(CWnd*) { Default(); }

void CWnd::OnSize(UINT, int, int) { Default(); }

void CWnd::OnKillFocus(CWnd*) { Default(); }

void CWnd::OnMouseMove(UINT, POINT) { Default(); }

void CWnd::OnMouseLeave() { Default(); }

BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }

BOOL CWnd::OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }

void CWnd::OnEnable(BOOL) { Default(); }

void CWnd::OnActivate(UINT, CWnd*, BOOL) { Default(); }

void CWnd::OnActivateApp(BOOL, DWORD) { Default(); }

void CWnd::OnCaptureChanged(CWnd*) { Default(); }

void CWnd::OnCancelMode() { Default(); }

UINT CWnd::OnGetDlgCode() { return static_cast<UINT>(Default()); }

void CWnd::OnSysColorChange() { Default(); }

// Called when an owner-drawn item is measured (after a class's own ON_WM_MEASUREITEM handler, if
// it calls this). A menu item goes to the CMenu bound to the pop-up being shown, a control's item
// to the control (reflection); anything else gets the default processing.
void CWnd::OnMeasureItem(int, LPMEASUREITEMSTRUCT item) {
    if (item == nullptr) {
        return;  // no structure to answer in
    }
    if (item->CtlType == ODT_MENU) {
        if (CMenu* menu = CMenu::FromHandlePermanent(CMenu::PopupBeingShown())) {
            menu->MeasureItem(item);
            return;
        }
    } else {
        LRESULT ignored = 0;
        HWND control = ::GetDlgItem(m_hWnd, static_cast<int>(item->CtlID));
        if (ReflectNotification(control, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(item), &ignored)) {
            return;
        }
    }
    Default();
}

void CWnd::OnInitMenuPopup(CMenu*, UINT, BOOL) { Default(); }

LRESULT CWnd::OnMenuChar(UINT, UINT, CMenu*) { return Default(); }

void CWnd::OnDestroy() { Default(); }

void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }

void CWnd::OnDropFiles(HDROP) { Default(); }

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
    ON_WM_MEASUREITEM()
END_MESSAGE_MAP()

// ---- Thin wrappers ----------------------------------------------------------------------------
// A wrapper used before its window exists or after it has gone is the caller's fault, and a null
// window means something else to some calls (InvalidateRect repaints every window, PostMessage
// posts to the thread). Each wrapper reports it (the test build stops there) and then does
// nothing, answering as the call would for a window that is not there.

bool CWnd::HasWindowFor(const char* call) const {
    if (m_hWnd == nullptr) {
        CBoundsFault::Report(call);
        return false;
    }
    return true;
}

CWnd* CWnd::GetDlgItem(int id) const {
    return HasWindowFor("CWnd::GetDlgItem") ? FromHandle(::GetDlgItem(m_hWnd, id)) : nullptr;
}

CWnd* CWnd::GetParent() const {
    return HasWindowFor("CWnd::GetParent") ? FromHandle(::GetParent(m_hWnd)) : nullptr;
}

void CWnd::SetWindowText(LPCWSTR text) {
    if (HasWindowFor("CWnd::SetWindowText")) {
        ::SetWindowTextW(m_hWnd, text);
    }
}

void CWnd::GetWindowText(CString& text) const {
    text.Empty();
    if (!HasWindowFor("CWnd::GetWindowText")) {
        return;
    }
    const int length = ::GetWindowTextLengthW(m_hWnd);
    wchar_t* buffer = text.GetBuffer(length);
    const int copied = ::GetWindowTextW(m_hWnd, buffer, length + 1);
    text.ReleaseBuffer(copied);
}

int CWnd::GetDlgItemText(int id, CString& text) const {
    HWND control = HasWindowFor("CWnd::GetDlgItemText") ? ::GetDlgItem(m_hWnd, id) : nullptr;
    if (control == nullptr) {
        text.Empty();
        return 0;
    }
    FromHandle(control)->GetWindowText(text);
    return text.GetLength();
}

void CWnd::SetDlgItemText(int id, LPCWSTR text) {
    if (HasWindowFor("CWnd::SetDlgItemText")) {
        ::SetDlgItemTextW(m_hWnd, id, text);
    }
}

BOOL CWnd::ShowWindow(int command) {
    return HasWindowFor("CWnd::ShowWindow") && ::ShowWindow(m_hWnd, command);
}

BOOL CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags) {
    return HasWindowFor("CWnd::SetWindowPos") &&
           ::SetWindowPos(m_hWnd, insertAfter != nullptr ? insertAfter->m_hWnd : HWND_TOP, x, y, cx, cy,
                          flags);
}

void CWnd::GetClientRect(LPRECT rect) const {
    if (HasWindowFor("CWnd::GetClientRect")) {
        ::GetClientRect(m_hWnd, rect);
    }
}

void CWnd::GetWindowRect(LPRECT rect) const {
    if (HasWindowFor("CWnd::GetWindowRect")) {
        ::GetWindowRect(m_hWnd, rect);
    }
}

void CWnd::ScreenToClient(LPRECT rect) const {
    if (HasWindowFor("CWnd::ScreenToClient")) {
        ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(rect));
        ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(rect) + 1);
    }
}

void CWnd::ClientToScreen(LPPOINT point) const {
    if (HasWindowFor("CWnd::ClientToScreen")) {
        ::ClientToScreen(m_hWnd, point);
    }
}

void CWnd::Invalidate(BOOL erase) {
    if (HasWindowFor("CWnd::Invalidate")) {
        ::InvalidateRect(m_hWnd, nullptr, erase);
    }
}

void CWnd::InvalidateRect(LPCRECT rect, BOOL erase) {
    if (HasWindowFor("CWnd::InvalidateRect")) {
        ::InvalidateRect(m_hWnd, rect, erase);
    }
}

CWnd* CWnd::SetFocus() { return HasWindowFor("CWnd::SetFocus") ? FromHandle(::SetFocus(m_hWnd)) : nullptr; }

DWORD CWnd::GetStyle() const {
    return HasWindowFor("CWnd::GetStyle") ? static_cast<DWORD>(GetWindowLongW(m_hWnd, GWL_STYLE)) : 0;
}

DWORD CWnd::GetExStyle() const {
    return HasWindowFor("CWnd::GetExStyle") ? static_cast<DWORD>(GetWindowLongW(m_hWnd, GWL_EXSTYLE)) : 0;
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT flags) {
    if (!HasWindowFor("CWnd::ModifyStyle")) {
        return FALSE;
    }
    const DWORD style = GetStyle();
    const DWORD changed = (style & ~remove) | add;
    if (changed == style) {
        return FALSE;
    }
    SetWindowLongW(m_hWnd, GWL_STYLE, static_cast<LONG>(changed));
    if (flags != 0) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
    }
    return TRUE;
}

int CWnd::GetDlgCtrlID() const { return HasWindowFor("CWnd::GetDlgCtrlID") ? ::GetDlgCtrlID(m_hWnd) : 0; }

BOOL CWnd::IsWindowVisible() const {
    return HasWindowFor("CWnd::IsWindowVisible") && ::IsWindowVisible(m_hWnd);
}

BOOL CWnd::IsIconic() const { return HasWindowFor("CWnd::IsIconic") && ::IsIconic(m_hWnd); }

// Answers whether the window was disabled before, as EnableWindow does.
BOOL CWnd::EnableWindow(BOOL enable) {
    return HasWindowFor("CWnd::EnableWindow") ? ::EnableWindow(m_hWnd, enable) : FALSE;
}

BOOL CWnd::SetForegroundWindow() {
    return HasWindowFor("CWnd::SetForegroundWindow") && ::SetForegroundWindow(m_hWnd);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return HasWindowFor("CWnd::SendMessage") ? ::SendMessageW(m_hWnd, message, wParam, lParam) : 0;
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return HasWindowFor("CWnd::PostMessage") && ::PostMessageW(m_hWnd, message, wParam, lParam);
}

HICON CWnd::SetIcon(HICON icon, BOOL bigIcon) {
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, bigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}

CMenu* CWnd::GetSystemMenu(BOOL revert) const {
    return HasWindowFor("CWnd::GetSystemMenu") ? CMenu::FromHandle(::GetSystemMenu(m_hWnd, revert)) : nullptr;
}

// A window that is not there yet owns no box: the box shows without an owner.
int CWnd::MessageBox(LPCWSTR text, LPCWSTR caption, UINT type) {
    const CModalLoopScope loop;
    return ::MessageBoxW(m_hWnd, text, caption != nullptr ? caption : AfxGetAppName(), type);
}
