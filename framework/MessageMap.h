// Table-driven message maps.
//
// Each class that handles messages declares DECLARE_MESSAGE_MAP() and lists its handlers between
// BEGIN_MESSAGE_MAP(Class, Base) and END_MESSAGE_MAP(). An entry pairs a message (plus, for
// commands and notifications, a code and a control id range) with a small adapter that unpacks
// WPARAM/LPARAM into the handler's typed arguments. Lookup walks the class's table, then its
// base class's, so a derived class's entry wins.
//
// The "handled" rule: an adapter returns TRUE when the message counts as handled. That is always
// the case, except for the *_EX reflection entries, whose handler decides (FALSE lets the parent
// see the notification as well). A message that no entry handles goes to the default procedure.
#pragma once

#include "framework/Afx.h"

class CCmdTarget;
class CCmdUI;
class CWnd;
class CDC;
class CMenu;

struct AfxMessageArgs {
    WPARAM wParam;
    LPARAM lParam;
    void* extra;      // CCmdUI* for command-update queries
    LRESULT* result;  // where the adapter stores the message's result
};

using AfxHandlerAdapter = BOOL (*)(CCmdTarget* target, const AfxMessageArgs& args);

struct AFX_MSGMAP_ENTRY {
    UINT message;
    UINT code;
    UINT firstId;
    UINT lastId;
    AfxHandlerAdapter adapter;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*getBaseMap)();
    const AFX_MSGMAP_ENTRY* entries;
};

#define DECLARE_MESSAGE_MAP()                     \
protected:                                        \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                        \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                 \
        using ThisClass [[maybe_unused]] = theClass;                                  \
        using TheBaseClass = baseClass;                                               \
        static const AFX_MSGMAP_ENTRY entries[] = {
#define END_MESSAGE_MAP()                                                                 \
    { 0, 0, 0, 0, nullptr }                                                               \
    }                                                                                     \
    ;                                                                                     \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &entries[0]}; \
    return &messageMap;                                                                   \
    }

#define AFX_TARGET(t) (static_cast<ThisClass*>(t))

// The signed client coordinates packed into a mouse message's LPARAM.
inline POINT AfxPointFromLParam(LPARAM lParam) {
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

// ---- Commands and control notifications (WM_COMMAND) ------------------------------------------

#define ON_COMMAND(id, memberFxn)                                          \
    {WM_COMMAND, CN_COMMAND, static_cast<UINT>(id), static_cast<UINT>(id), \
     [](CCmdTarget* t, const AfxMessageArgs&) -> BOOL {                    \
         (AFX_TARGET(t)->*(memberFxn))();                                  \
         return TRUE;                                                      \
     }},

#define ON_CONTROL(code, id, memberFxn)                                                 \
    {WM_COMMAND, static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(id), \
     [](CCmdTarget* t, const AfxMessageArgs&) -> BOOL {                                 \
         (AFX_TARGET(t)->*(memberFxn))();                                               \
         return TRUE;                                                                   \
     }},

#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)

// Command-update query: asked before a menu command runs, with a CCmdUI describing the command.
#define ON_UPDATE_COMMAND_UI(id, memberFxn)                                          \
    {WM_COMMAND, CN_UPDATE_COMMAND_UI, static_cast<UINT>(id), static_cast<UINT>(id), \
     [](CCmdTarget* t, const AfxMessageArgs& a) -> BOOL {                            \
         (AFX_TARGET(t)->*(memberFxn))(static_cast<CCmdUI*>(a.extra));               \
         return TRUE;                                                                \
     }},

// ---- Notifications (WM_NOTIFY) ----------------------------------------------------------------

#define ON_NOTIFY(code, id, memberFxn)                                                 \
    {WM_NOTIFY, static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(id), \
     [](CCmdTarget* t, const AfxMessageArgs& a) -> BOOL {                              \
         (AFX_TARGET(t)->*(memberFxn))(reinterpret_cast<NMHDR*>(a.lParam), a.result);  \
         return TRUE;                                                                  \
     }},

// ---- Notifications reflected to the control that sent them ------------------------------------

// The handler returns BOOL: TRUE stops the notification, FALSE lets the parent handle it too.
#define ON_CONTROL_REFLECT_EX(code, memberFxn)                    \
    {WM_REFLECT_BASE + WM_COMMAND, static_cast<UINT>(code), 0, 0, \
     [](CCmdTarget* t, const AfxMessageArgs&) -> BOOL {           \
         return (AFX_TARGET(t)->*(memberFxn))();                  \
     }},

#define ON_NOTIFY_REFLECT(code, memberFxn)                                            \
    {WM_REFLECT_BASE + WM_NOTIFY, static_cast<UINT>(code), 0, 0,                      \
     [](CCmdTarget* t, const AfxMessageArgs& a) -> BOOL {                             \
         (AFX_TARGET(t)->*(memberFxn))(reinterpret_cast<NMHDR*>(a.lParam), a.result); \
         return TRUE;                                                                 \
     }},

// The handler returns the brush for the control's background.
#define ON_WM_CTLCOLOR_REFLECT()                                                                  \
    {WM_REFLECT_BASE + WM_CTLCOLOR, 0, 0, 0, [](CCmdTarget* t, const AfxMessageArgs& a) -> BOOL { \
         *a.result = reinterpret_cast<LRESULT>(AFX_TARGET(t)->CtlColor(                           \
             CDC::FromHandle(reinterpret_cast<HDC>(a.wParam)), static_cast<UINT>(a.lParam)));     \
         return TRUE;                                                                             \
     }},

// ---- Plain messages ---------------------------------------------------------------------------

// Handler: LRESULT fn(WPARAM, LPARAM).
#define ON_MESSAGE(message, memberFxn)                                                         \
    {static_cast<UINT>(message), 0, 0, 0, [](CCmdTarget* t, const AfxMessageArgs& a) -> BOOL { \
         *a.result = (AFX_TARGET(t)->*(memberFxn))(a.wParam, a.lParam);                        \
         return TRUE;                                                                          \
     }},

#define ON_WM_PAINT()                                                      \
    {WM_PAINT, 0, 0, 0, [](CCmdTarget* t, const AfxMessageArgs&) -> BOOL { \
         AFX_TARGET(t)->OnPaint();                                         \
         return TRUE;                                                      \
     }},

#define ON_WM_SIZE()                                                                              \
    {WM_SIZE, 0, 0, 0, [](CCmdTarget* t, const AfxMessageArgs& a) -> BOOL {                       \
         AFX_TARGET(t)->OnSize(static_cast<UINT>(a.wParam), static_cast<short>(LOWORD(a.lParam)), \
                               static_cast<short>(HIWORD(a.lParam)));                             \
         return TRUE;                                                                             \
     }},

#define ON_WM_SYSCOMMAND()                                                        \
    {WM_SYSCOMMAND, 0, 0, 0, [](CCmdTarget* t, const AfxMessageArgs& a) -> BOOL { \
         AFX_TARGET(t)->OnSysCommand(static_cast<UINT>(a.wParam), a.lParam);      \
         return TRUE;                                                             \
     }},

#define ON_WM_QUERYDRAGICON()                                                        \
    {WM_QUERYDRAGICON, 0, 0, 0, [](CCmdTarget* t, const AfxMessageArgs& a) -> BOOL { \
         *a.result = reinterpret_cast<LRESULT>(AFX_TARGET(t)->OnQueryDragIcon());    \
         return TRUE;                                                                \
     }},

#define ON_WM_DROPFILES()                                                        \
    {WM_DROPFILES, 0, 0, 0, [](CCmdTarget* t, const AfxMessageArgs& a) -> BOOL { \
         AFX_TARGET(t)->OnDropFiles(reinterpret_cast<HDROP>(a.wParam));          \
         return TRUE;                                                            \
     }},

#define ON_WM_SETFOCUS()                                                                \
    {WM_SETFOCUS, 0, 0, 0, [](CCmdTarget* t, const AfxMessageArgs& a) -> BOOL {         \
         AFX_TARGET(t)->OnSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(a.wParam))); \
         return TRUE;                                                                   \
     }},

// ---- Mouse, keyboard focus and activation ------------------------------------------------------

// void OnMouseMove(UINT flags, POINT point)   (point in client coordinates)
#define ON_WM_MOUSEMOVE()                                                                       \
    {WM_MOUSEMOVE, 0, 0, 0, [](CCmdTarget* t, const AfxMessageArgs& a) -> BOOL {                \
         AFX_TARGET(t)->OnMouseMove(static_cast<UINT>(a.wParam), AfxPointFromLParam(a.lParam)); \
         return TRUE;                                                                           \
     }},

// void OnMouseLeave()   (result 0)
#define ON_WM_MOUSELEAVE()                                                        \
    {WM_MOUSELEAVE, 0, 0, 0, [](CCmdTarget* t, const AfxMessageArgs& a) -> BOOL { \
         AFX_TARGET(t)->OnMouseLeave();                                           \
         *a.result = 0;                                                           \
         return TRUE;                                                             \
     }},

// BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message)
#define ON_WM_SETCURSOR()                                                                           \
    {WM_SETCURSOR, 0, 0, 0, [](CCmdTarget* t, const AfxMessageArgs& a) -> BOOL {                    \
         *a.result = AFX_TARGET(t)->OnSetCursor(CWnd::FromHandle(reinterpret_cast<HWND>(a.wParam)), \
                                                LOWORD(a.lParam), HIWORD(a.lParam));                \
         return TRUE;                                                                               \
     }},

// BOOL OnEraseBkgnd(CDC* dc)   (nonzero: the background is erased)
#define ON_WM_ERASEBKGND()                                                                          \
    {WM_ERASEBKGND, 0, 0, 0, [](CCmdTarget* t, const AfxMessageArgs& a) -> BOOL {                   \
         *a.result = AFX_TARGET(t)->OnEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(a.wParam))); \
         return TRUE;                                                                               \
     }},

// void OnKillFocus(CWnd* newWnd)
#define ON_WM_KILLFOCUS()                                                                \
    {WM_KILLFOCUS, 0, 0, 0, [](CCmdTarget* t, const AfxMessageArgs& a) -> BOOL {         \
         AFX_TARGET(t)->OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(a.wParam))); \
         return TRUE;                                                                    \
     }},

// void OnEnable(BOOL enable)
#define ON_WM_ENABLE()                                                        \
    {WM_ENABLE, 0, 0, 0, [](CCmdTarget* t, const AfxMessageArgs& a) -> BOOL { \
         AFX_TARGET(t)->OnEnable(static_cast<BOOL>(a.wParam));                \
         return TRUE;                                                         \
     }},

// void OnActivate(UINT state, CWnd* other, BOOL minimized)
#define ON_WM_ACTIVATE()                                                                                 \
    {WM_ACTIVATE, 0, 0, 0, [](CCmdTarget* t, const AfxMessageArgs& a) -> BOOL {                          \
         AFX_TARGET(t)->OnActivate(LOWORD(a.wParam), CWnd::FromHandle(reinterpret_cast<HWND>(a.lParam)), \
                                   HIWORD(a.wParam) != 0);                                               \
         return TRUE;                                                                                    \
     }},

// void OnActivateApp(BOOL active, DWORD threadId)
#define ON_WM_ACTIVATEAPP()                                                                       \
    {WM_ACTIVATEAPP, 0, 0, 0, [](CCmdTarget* t, const AfxMessageArgs& a) -> BOOL {                \
         AFX_TARGET(t)->OnActivateApp(static_cast<BOOL>(a.wParam), static_cast<DWORD>(a.lParam)); \
         return TRUE;                                                                             \
     }},

// void OnCaptureChanged(CWnd* wnd)   (wnd: the window taking the capture)
#define ON_WM_CAPTURECHANGED()                                                                \
    {WM_CAPTURECHANGED, 0, 0, 0, [](CCmdTarget* t, const AfxMessageArgs& a) -> BOOL {         \
         AFX_TARGET(t)->OnCaptureChanged(CWnd::FromHandle(reinterpret_cast<HWND>(a.lParam))); \
         return TRUE;                                                                         \
     }},

// void OnCancelMode()
#define ON_WM_CANCELMODE()                                                      \
    {WM_CANCELMODE, 0, 0, 0, [](CCmdTarget* t, const AfxMessageArgs&) -> BOOL { \
         AFX_TARGET(t)->OnCancelMode();                                         \
         return TRUE;                                                           \
     }},

// UINT OnGetDlgCode()
#define ON_WM_GETDLGCODE()                                                        \
    {WM_GETDLGCODE, 0, 0, 0, [](CCmdTarget* t, const AfxMessageArgs& a) -> BOOL { \
         *a.result = static_cast<LRESULT>(AFX_TARGET(t)->OnGetDlgCode());         \
         return TRUE;                                                             \
     }},

// void OnSysColorChange()
#define ON_WM_SYSCOLORCHANGE()                                                      \
    {WM_SYSCOLORCHANGE, 0, 0, 0, [](CCmdTarget* t, const AfxMessageArgs&) -> BOOL { \
         AFX_TARGET(t)->OnSysColorChange();                                         \
         return TRUE;                                                               \
     }},

// ---- Menus ------------------------------------------------------------------------------------

// void OnMeasureItem(int controlId, LPMEASUREITEMSTRUCT item)   (result TRUE)
#define ON_WM_MEASUREITEM()                                                             \
    {WM_MEASUREITEM, 0, 0, 0, [](CCmdTarget* t, const AfxMessageArgs& a) -> BOOL {      \
         AFX_TARGET(t)->OnMeasureItem(static_cast<int>(a.wParam),                       \
                                      reinterpret_cast<LPMEASUREITEMSTRUCT>(a.lParam)); \
         *a.result = TRUE;                                                              \
         return TRUE;                                                                   \
     }},

// void OnInitMenuPopup(CMenu* popup, UINT index, BOOL systemMenu)
#define ON_WM_INITMENUPOPUP()                                                                 \
    {WM_INITMENUPOPUP, 0, 0, 0, [](CCmdTarget* t, const AfxMessageArgs& a) -> BOOL {          \
         AFX_TARGET(t)->OnInitMenuPopup(CMenu::FromHandle(reinterpret_cast<HMENU>(a.wParam)), \
                                        LOWORD(a.lParam), HIWORD(a.lParam) != 0);             \
         return TRUE;                                                                         \
     }},

// LRESULT OnMenuChar(UINT ch, UINT flags, CMenu* menu)
#define ON_WM_MENUCHAR()                                                                              \
    {WM_MENUCHAR, 0, 0, 0, [](CCmdTarget* t, const AfxMessageArgs& a) -> BOOL {                       \
         *a.result = AFX_TARGET(t)->OnMenuChar(LOWORD(a.wParam), HIWORD(a.wParam),                    \
                                               CMenu::FromHandle(reinterpret_cast<HMENU>(a.lParam))); \
         return TRUE;                                                                                 \
     }},

// ---- Life of the window -----------------------------------------------------------------------

// void OnDestroy()
#define ON_WM_DESTROY()                                                      \
    {WM_DESTROY, 0, 0, 0, [](CCmdTarget* t, const AfxMessageArgs&) -> BOOL { \
         AFX_TARGET(t)->OnDestroy();                                         \
         return TRUE;                                                        \
     }},

// A message whose number is only known at run time (RegisterWindowMessageW). `messageExpr` is
// evaluated once, when the class's map is first used. Handler: LRESULT fn(WPARAM, LPARAM).
#define ON_REGISTERED_MESSAGE(messageExpr, memberFxn) ON_MESSAGE(messageExpr, memberFxn)
