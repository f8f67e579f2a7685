// A window: its handle, the message dispatch through the class's message map, and the thin
// wrappers over the USER calls that the program's windows make.
#pragma once

#include "framework/CmdTarget.h"
#include "framework/HandleMap.h"
#include "framework/String.h"

class CDC;
class CMenu;

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    ~CWnd() override;

    HWND m_hWnd = nullptr;

    operator HWND() const { return m_hWnd; }  // NOLINT
    HWND GetSafeHwnd() const { return m_hWnd; }

    // The object bound to a window, or a temporary, non-owning one that lives until the next
    // idle moment of the message loop. nullptr for a null handle.
    static CWnd* FromHandle(HWND hwnd);
    // The object bound to a window, or nullptr.
    static CWnd* FromHandlePermanent(HWND hwnd);
    // Frees the temporaries handed out by FromHandle.
    static void DeleteTempMap();

    BOOL Attach(HWND hwnd);
    HWND Detach();
    // Binds this object to an existing window and routes its messages through the message map.
    BOOL SubclassWindow(HWND hwnd);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();
    BOOL DestroyWindow();

    // Framework hooks.
    virtual void PreSubclassWindow();
    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual void PostNcDestroy();
    // Default processing of the message being handled right now.
    LRESULT Default();

    // Walks from the message's window up to `stop`, giving each bound window a chance to
    // translate the message first.
    static BOOL WalkPreTranslateTree(HWND stop, MSG* msg);

    // Thin wrappers.
    CWnd* GetDlgItem(int id) const;
    CWnd* GetParent() const;
    void SetWindowText(LPCWSTR text);
    void GetWindowText(CString& text) const;
    int GetDlgItemText(int id, CString& text) const;
    void SetDlgItemText(int id, LPCWSTR text);
    BOOL ShowWindow(int command);
    BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
    void GetClientRect(LPRECT rect) const;
    void GetWindowRect(LPRECT rect) const;
    void ScreenToClient(LPRECT rect) const;
    void ClientToScreen(LPPOINT point) const;
    void Invalidate(BOOL erase = TRUE);
    void InvalidateRect(LPCRECT rect, BOOL erase = TRUE);
    CWnd* SetFocus();
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
    int GetDlgCtrlID() const;
    BOOL IsWindowVisible() const;
    BOOL IsIconic() const;
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL SetForegroundWindow();
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    HICON SetIcon(HICON icon, BOOL bigIcon);
    CMenu* GetSystemMenu(BOOL revert) const;
    int MessageBox(LPCWSTR text, LPCWSTR caption = nullptr, UINT type = MB_OK);

protected:
    // Dispatches one message through the map; FALSE when nothing handled it.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
    // Offers a notification to the control that sent it (reflection); TRUE when it took it.
    static BOOL ReflectNotification(HWND child, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    BOOL ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    // Default handlers that message-map entries of derived classes may name.
    // Each runs the default processing of the message being handled.
    void OnSetFocus(CWnd* oldWnd);
    void OnSize(UINT type, int cx, int cy);
    void OnKillFocus(CWnd* newWnd);
    void OnMouseMove(UINT flags, POINT point);
    void OnMouseLeave();
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    BOOL OnEraseBkgnd(CDC* dc);
    void OnEnable(BOOL enable);
    void OnActivate(UINT state, CWnd* other, BOOL minimized);
    void OnActivateApp(BOOL active, DWORD threadId);
    void OnCaptureChanged(CWnd* wnd);
    void OnCancelMode();
    UINT OnGetDlgCode();
    void OnSysColorChange();
    void OnMeasureItem(int controlId, LPMEASUREITEMSTRUCT item);
    void OnInitMenuPopup(CMenu* popup, UINT index, BOOL systemMenu);
    LRESULT OnMenuChar(UINT ch, UINT flags, CMenu* menu);
    void OnDestroy();
    void OnSysCommand(UINT id, LPARAM lParam);
    void OnDropFiles(HDROP drop);

    // Windows created by the framework (dialogs) are bound from the creation hook, before their
    // first message; between HookWindowCreate and UnhookWindowCreate the next window made on
    // this thread is bound to `wnd`.
    static void HookWindowCreate(CWnd* wnd);
    static BOOL UnhookWindowCreate();

    WNDPROC m_pfnSuper = nullptr;

    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CALLBACK AfxCreationHookProc(int, WPARAM, LPARAM);
    friend LRESULT AfxCallWndProc(CWnd*, HWND, UINT, WPARAM, LPARAM);

    DECLARE_MESSAGE_MAP()

private:
    // Whether this object has a window for the wrapper `call`; reports a fault when it has not.
    bool HasWindowFor(const char* call) const;
    void BindAndSubclass(HWND hwnd);
    void OnNcDestroyed();
    BOOL DispatchDrawItem(LPARAM lParam, LRESULT* result);
};

// The windows bound to framework objects, and the temporaries FromHandle gives out.
using CWndHandleMap = CHandleMap<CWnd, HWND, &CWnd::m_hWnd>;

LRESULT CALLBACK AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK AfxCreationHookProc(int code, WPARAM wParam, LPARAM lParam);
LRESULT AfxCallWndProc(CWnd* wnd, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
