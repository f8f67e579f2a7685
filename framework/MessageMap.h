// Table-driven message maps.
//
// Each class that handles messages declares DECLARE_MESSAGE_MAP() and lists its handlers between
// BEGIN_MESSAGE_MAP(Class, Base) and END_MESSAGE_MAP(). An entry pairs a message (plus, for
// commands and notifications, a code and a control id range) with the typed adapter of that
// message (AfxMsgXxx<handler> below), which unpacks WPARAM/LPARAM into the handler's arguments.
// Lookup walks the class's table, then its base class's, so a derived class's entry wins.
//
// The "handled" rule: an adapter returns TRUE when the message counts as handled. That is always
// the case, except for the *_EX reflection entries, whose handler decides (FALSE lets the parent
// see the notification as well). A message that no entry handles goes to the default procedure.
#pragma once

#include "framework/Afx.h"

#include <cstddef>
#include <tuple>
#include <type_traits>

class CCmdTarget;
class CCmdUI;

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

// Kept for hand-written entries: the map's own class, seen from the message's target.
#define AFX_TARGET(t) (static_cast<ThisClass*>(t))

// ---- Typed adapters ---------------------------------------------------------------------------
//
// One adapter per message unpacks WPARAM/LPARAM into the handler's arguments and stores its
// result. `Handler` is the entry's member function; the class it is called on is taken from its
// type, so an entry may name a handler of a base class.

template <typename Handler>
struct AfxHandlerTraits;
template <typename R, typename C, typename... Args>
struct AfxHandlerTraits<R (C::*)(Args...)> {
    using Class = C;
    using Arguments = std::tuple<Args...>;
};
template <typename R, typename C, typename... Args>
struct AfxHandlerTraits<R (C::*)(Args...) const> {
    using Class = C;
    using Arguments = std::tuple<Args...>;
};
template <typename R, typename C, typename... Args>
struct AfxHandlerTraits<R (C::*)(Args...) noexcept> {
    using Class = C;
    using Arguments = std::tuple<Args...>;
};
template <typename R, typename C, typename... Args>
struct AfxHandlerTraits<R (C::*)(Args...) const noexcept> {
    using Class = C;
    using Arguments = std::tuple<Args...>;
};

template <auto Handler>
auto* AfxHandlerTarget(CCmdTarget* target) {
    return static_cast<typename AfxHandlerTraits<decltype(Handler)>::Class*>(target);
}

// The wrapper a handler receives for a handle as its argument `index` (the bound object, else a
// temporary), made by that argument's own class: the maps need not know the wrapper classes.
template <auto Handler, std::size_t index, typename Handle>
auto AfxWrapperFromHandle(Handle handle) {
    using Pointer = std::tuple_element_t<index, typename AfxHandlerTraits<decltype(Handler)>::Arguments>;
    return std::remove_pointer_t<Pointer>::FromHandle(handle);
}

// The signed client coordinates packed into a mouse message's LPARAM.
inline POINT AfxPointFromLParam(LPARAM lParam) {
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

// Commands, control notifications and messages whose handler takes nothing (result 0).
template <auto Handler>
BOOL AfxMsgNoArgs(CCmdTarget* target, const AfxMessageArgs&) {
    (AfxHandlerTarget<Handler>(target)->*Handler)();
    return TRUE;
}

template <auto Handler>
BOOL AfxMsgUpdateCommandUI(CCmdTarget* target, const AfxMessageArgs& args) {
    (AfxHandlerTarget<Handler>(target)->*Handler)(static_cast<CCmdUI*>(args.extra));
    return TRUE;
}

template <auto Handler>
BOOL AfxMsgNotify(CCmdTarget* target, const AfxMessageArgs& args) {
    (AfxHandlerTarget<Handler>(target)->*Handler)(reinterpret_cast<NMHDR*>(args.lParam), args.result);
    return TRUE;
}

// The handler decides whether the notification is handled.
template <auto Handler>
BOOL AfxMsgReflectEx(CCmdTarget* target, const AfxMessageArgs&) {
    return (AfxHandlerTarget<Handler>(target)->*Handler)();
}

// Reflected WM_CTLCOLORxxx: wParam is the DC, lParam the CTLCOLOR_ kind.
template <auto Handler>
BOOL AfxMsgCtlColorReflect(CCmdTarget* target, const AfxMessageArgs& args) {
    *args.result = reinterpret_cast<LRESULT>((AfxHandlerTarget<Handler>(target)->*Handler)(
        AfxWrapperFromHandle<Handler, 0>(reinterpret_cast<HDC>(args.wParam)),
        static_cast<UINT>(args.lParam)));
    return TRUE;
}

template <auto Handler>
BOOL AfxMsgMessage(CCmdTarget* target, const AfxMessageArgs& args) {
    *args.result = (AfxHandlerTarget<Handler>(target)->*Handler)(args.wParam, args.lParam);
    return TRUE;
}

template <auto Handler>
BOOL AfxMsgTimer(CCmdTarget* target, const AfxMessageArgs& args) {
    (AfxHandlerTarget<Handler>(target)->*Handler)(static_cast<UINT_PTR>(args.wParam));
    return TRUE;
}

template <auto Handler>
BOOL AfxMsgSize(CCmdTarget* target, const AfxMessageArgs& args) {
    (AfxHandlerTarget<Handler>(target)->*Handler)(static_cast<UINT>(args.wParam),
                                                  static_cast<short>(LOWORD(args.lParam)),
                                                  static_cast<short>(HIWORD(args.lParam)));
    return TRUE;
}

template <auto Handler>
BOOL AfxMsgSysCommand(CCmdTarget* target, const AfxMessageArgs& args) {
    (AfxHandlerTarget<Handler>(target)->*Handler)(static_cast<UINT>(args.wParam), args.lParam);
    return TRUE;
}

template <auto Handler>
BOOL AfxMsgQueryDragIcon(CCmdTarget* target, const AfxMessageArgs& args) {
    *args.result = reinterpret_cast<LRESULT>((AfxHandlerTarget<Handler>(target)->*Handler)());
    return TRUE;
}

// Messages whose answer is the handler's BOOL.
template <auto Handler>
BOOL AfxMsgBoolResult(CCmdTarget* target, const AfxMessageArgs& args) {
    *args.result = (AfxHandlerTarget<Handler>(target)->*Handler)();
    return TRUE;
}

template <auto Handler>
BOOL AfxMsgDropFiles(CCmdTarget* target, const AfxMessageArgs& args) {
    (AfxHandlerTarget<Handler>(target)->*Handler)(reinterpret_cast<HDROP>(args.wParam));
    return TRUE;
}

// WM_SETFOCUS and WM_KILLFOCUS: wParam is the window losing or gaining the focus.
template <auto Handler>
BOOL AfxMsgFocus(CCmdTarget* target, const AfxMessageArgs& args) {
    (AfxHandlerTarget<Handler>(target)->*Handler)(
        AfxWrapperFromHandle<Handler, 0>(reinterpret_cast<HWND>(args.wParam)));
    return TRUE;
}

template <auto Handler>
BOOL AfxMsgMouseMove(CCmdTarget* target, const AfxMessageArgs& args) {
    (AfxHandlerTarget<Handler>(target)->*Handler)(static_cast<UINT>(args.wParam),
                                                  AfxPointFromLParam(args.lParam));
    return TRUE;
}

template <auto Handler>
BOOL AfxMsgSetCursor(CCmdTarget* target, const AfxMessageArgs& args) {
    *args.result = (AfxHandlerTarget<Handler>(target)->*Handler)(
        AfxWrapperFromHandle<Handler, 0>(reinterpret_cast<HWND>(args.wParam)), LOWORD(args.lParam),
        HIWORD(args.lParam));
    return TRUE;
}

template <auto Handler>
BOOL AfxMsgEraseBkgnd(CCmdTarget* target, const AfxMessageArgs& args) {
    *args.result = (AfxHandlerTarget<Handler>(target)->*Handler)(
        AfxWrapperFromHandle<Handler, 0>(reinterpret_cast<HDC>(args.wParam)));
    return TRUE;
}

template <auto Handler>
BOOL AfxMsgEnable(CCmdTarget* target, const AfxMessageArgs& args) {
    (AfxHandlerTarget<Handler>(target)->*Handler)(static_cast<BOOL>(args.wParam));
    return TRUE;
}

template <auto Handler>
BOOL AfxMsgActivate(CCmdTarget* target, const AfxMessageArgs& args) {
    (AfxHandlerTarget<Handler>(target)->*Handler)(
        LOWORD(args.wParam), AfxWrapperFromHandle<Handler, 1>(reinterpret_cast<HWND>(args.lParam)),
        HIWORD(args.wParam) != 0);
    return TRUE;
}

template <auto Handler>
BOOL AfxMsgActivateApp(CCmdTarget* target, const AfxMessageArgs& args) {
    (AfxHandlerTarget<Handler>(target)->*Handler)(static_cast<BOOL>(args.wParam),
                                                  static_cast<DWORD>(args.lParam));
    return TRUE;
}

template <auto Handler>
BOOL AfxMsgCaptureChanged(CCmdTarget* target, const AfxMessageArgs& args) {
    (AfxHandlerTarget<Handler>(target)->*Handler)(
        AfxWrapperFromHandle<Handler, 0>(reinterpret_cast<HWND>(args.lParam)));
    return TRUE;
}

template <auto Handler>
BOOL AfxMsgGetDlgCode(CCmdTarget* target, const AfxMessageArgs& args) {
    *args.result = static_cast<LRESULT>((AfxHandlerTarget<Handler>(target)->*Handler)());
    return TRUE;
}

template <auto Handler>
BOOL AfxMsgMeasureItem(CCmdTarget* target, const AfxMessageArgs& args) {
    (AfxHandlerTarget<Handler>(target)->*Handler)(static_cast<int>(args.wParam),
                                                  reinterpret_cast<LPMEASUREITEMSTRUCT>(args.lParam));
    *args.result = TRUE;
    return TRUE;
}

template <auto Handler>
BOOL AfxMsgInitMenuPopup(CCmdTarget* target, const AfxMessageArgs& args) {
    (AfxHandlerTarget<Handler>(target)->*Handler)(
        AfxWrapperFromHandle<Handler, 0>(reinterpret_cast<HMENU>(args.wParam)), LOWORD(args.lParam),
        HIWORD(args.lParam) != 0);
    return TRUE;
}

template <auto Handler>
BOOL AfxMsgMenuChar(CCmdTarget* target, const AfxMessageArgs& args) {
    *args.result = (AfxHandlerTarget<Handler>(target)->*Handler)(
        LOWORD(args.wParam), HIWORD(args.wParam),
        AfxWrapperFromHandle<Handler, 2>(reinterpret_cast<HMENU>(args.lParam)));
    return TRUE;
}

// ---- Commands and control notifications (WM_COMMAND) ------------------------------------------

// void fn()
#define ON_COMMAND(id, memberFxn) \
    {WM_COMMAND, CN_COMMAND, static_cast<UINT>(id), static_cast<UINT>(id), &AfxMsgNoArgs<memberFxn>},

// void fn()
#define ON_CONTROL(code, id, memberFxn)                                                 \
    {WM_COMMAND, static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(id), \
     &AfxMsgNoArgs<memberFxn>},

#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)

// Command-update query: asked before a menu command runs, with a CCmdUI describing the command.
// void fn(CCmdUI* ui)
#define ON_UPDATE_COMMAND_UI(id, memberFxn)                                          \
    {WM_COMMAND, CN_UPDATE_COMMAND_UI, static_cast<UINT>(id), static_cast<UINT>(id), \
     &AfxMsgUpdateCommandUI<memberFxn>},

// ---- Notifications (WM_NOTIFY) ----------------------------------------------------------------

// void fn(NMHDR* header, LRESULT* result)
#define ON_NOTIFY(code, id, memberFxn)                                                 \
    {WM_NOTIFY, static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(id), \
     &AfxMsgNotify<memberFxn>},

// ---- Notifications reflected to the control that sent them ------------------------------------

// BOOL fn()   (TRUE stops the notification, FALSE lets the parent handle it too)
#define ON_CONTROL_REFLECT_EX(code, memberFxn) \
    {WM_REFLECT_BASE + WM_COMMAND, static_cast<UINT>(code), 0, 0, &AfxMsgReflectEx<memberFxn>},

// void fn(NMHDR* header, LRESULT* result)
#define ON_NOTIFY_REFLECT(code, memberFxn) \
    {WM_REFLECT_BASE + WM_NOTIFY, static_cast<UINT>(code), 0, 0, &AfxMsgNotify<memberFxn>},

// HBRUSH CtlColor(CDC* dc, UINT ctlColor)   (the brush for the control's background)
#define ON_WM_CTLCOLOR_REFLECT() \
    {WM_REFLECT_BASE + WM_CTLCOLOR, 0, 0, 0, &AfxMsgCtlColorReflect<&ThisClass::CtlColor>},

// ---- Plain messages ---------------------------------------------------------------------------

// LRESULT fn(WPARAM wParam, LPARAM lParam)
#define ON_MESSAGE(message, memberFxn) {static_cast<UINT>(message), 0, 0, 0, &AfxMsgMessage<memberFxn>},

// void OnPaint()
#define ON_WM_PAINT() {WM_PAINT, 0, 0, 0, &AfxMsgNoArgs<&ThisClass::OnPaint>},

// void OnSize(UINT type, int cx, int cy)
#define ON_WM_SIZE() {WM_SIZE, 0, 0, 0, &AfxMsgSize<&ThisClass::OnSize>},

// void OnTimer(UINT_PTR id)
#define ON_WM_TIMER() {WM_TIMER, 0, 0, 0, &AfxMsgTimer<&ThisClass::OnTimer>},

// void OnSysCommand(UINT id, LPARAM lParam)
#define ON_WM_SYSCOMMAND() {WM_SYSCOMMAND, 0, 0, 0, &AfxMsgSysCommand<&ThisClass::OnSysCommand>},

// HCURSOR OnQueryDragIcon()
#define ON_WM_QUERYDRAGICON() {WM_QUERYDRAGICON, 0, 0, 0, &AfxMsgQueryDragIcon<&ThisClass::OnQueryDragIcon>},

// BOOL OnQueryOpen(): FALSE keeps a minimised window minimised
#define ON_WM_QUERYOPEN() {WM_QUERYOPEN, 0, 0, 0, &AfxMsgBoolResult<&ThisClass::OnQueryOpen>},

// void OnDropFiles(HDROP drop)
#define ON_WM_DROPFILES() {WM_DROPFILES, 0, 0, 0, &AfxMsgDropFiles<&ThisClass::OnDropFiles>},

// void OnSetFocus(CWnd* oldWnd)
#define ON_WM_SETFOCUS() {WM_SETFOCUS, 0, 0, 0, &AfxMsgFocus<&ThisClass::OnSetFocus>},

// ---- Mouse, keyboard focus and activation ------------------------------------------------------

// void OnMouseMove(UINT flags, POINT point)   (point in client coordinates)
#define ON_WM_MOUSEMOVE() {WM_MOUSEMOVE, 0, 0, 0, &AfxMsgMouseMove<&ThisClass::OnMouseMove>},

// void OnMouseLeave()   (result 0)
#define ON_WM_MOUSELEAVE() {WM_MOUSELEAVE, 0, 0, 0, &AfxMsgNoArgs<&ThisClass::OnMouseLeave>},

// BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message)
#define ON_WM_SETCURSOR() {WM_SETCURSOR, 0, 0, 0, &AfxMsgSetCursor<&ThisClass::OnSetCursor>},

// BOOL OnEraseBkgnd(CDC* dc)   (nonzero: the background is erased)
#define ON_WM_ERASEBKGND() {WM_ERASEBKGND, 0, 0, 0, &AfxMsgEraseBkgnd<&ThisClass::OnEraseBkgnd>},

// void OnKillFocus(CWnd* newWnd)
#define ON_WM_KILLFOCUS() {WM_KILLFOCUS, 0, 0, 0, &AfxMsgFocus<&ThisClass::OnKillFocus>},

// void OnEnable(BOOL enable)
#define ON_WM_ENABLE() {WM_ENABLE, 0, 0, 0, &AfxMsgEnable<&ThisClass::OnEnable>},

// void OnActivate(UINT state, CWnd* other, BOOL minimized)
#define ON_WM_ACTIVATE() {WM_ACTIVATE, 0, 0, 0, &AfxMsgActivate<&ThisClass::OnActivate>},

// void OnActivateApp(BOOL active, DWORD threadId)
#define ON_WM_ACTIVATEAPP() {WM_ACTIVATEAPP, 0, 0, 0, &AfxMsgActivateApp<&ThisClass::OnActivateApp>},

// void OnCaptureChanged(CWnd* wnd)   (wnd: the window taking the capture)
#define ON_WM_CAPTURECHANGED() \
    {WM_CAPTURECHANGED, 0, 0, 0, &AfxMsgCaptureChanged<&ThisClass::OnCaptureChanged>},

// void OnCancelMode()
#define ON_WM_CANCELMODE() {WM_CANCELMODE, 0, 0, 0, &AfxMsgNoArgs<&ThisClass::OnCancelMode>},

// UINT OnGetDlgCode()
#define ON_WM_GETDLGCODE() {WM_GETDLGCODE, 0, 0, 0, &AfxMsgGetDlgCode<&ThisClass::OnGetDlgCode>},

// void OnSysColorChange()
#define ON_WM_SYSCOLORCHANGE() {WM_SYSCOLORCHANGE, 0, 0, 0, &AfxMsgNoArgs<&ThisClass::OnSysColorChange>},

// ---- Menus ------------------------------------------------------------------------------------

// void OnMeasureItem(int controlId, LPMEASUREITEMSTRUCT item)   (result TRUE; call
// CWnd::OnMeasureItem for the default, which hands menu and control items to their objects)
#define ON_WM_MEASUREITEM() {WM_MEASUREITEM, 0, 0, 0, &AfxMsgMeasureItem<&ThisClass::OnMeasureItem>},

// void OnInitMenuPopup(CMenu* popup, UINT index, BOOL systemMenu)
#define ON_WM_INITMENUPOPUP() {WM_INITMENUPOPUP, 0, 0, 0, &AfxMsgInitMenuPopup<&ThisClass::OnInitMenuPopup>},

// LRESULT OnMenuChar(UINT ch, UINT flags, CMenu* menu)
#define ON_WM_MENUCHAR() {WM_MENUCHAR, 0, 0, 0, &AfxMsgMenuChar<&ThisClass::OnMenuChar>},

// ---- Life of the window -----------------------------------------------------------------------

// void OnDestroy()
#define ON_WM_DESTROY() {WM_DESTROY, 0, 0, 0, &AfxMsgNoArgs<&ThisClass::OnDestroy>},

// A message whose number is only known at run time (RegisterWindowMessageW). `messageExpr` is
// evaluated once, when the class's map is first used.
// LRESULT fn(WPARAM wParam, LPARAM lParam)
#define ON_REGISTERED_MESSAGE(messageExpr, memberFxn) ON_MESSAGE(messageExpr, memberFxn)
