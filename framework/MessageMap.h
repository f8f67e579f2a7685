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
