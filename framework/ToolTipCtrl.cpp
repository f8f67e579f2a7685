#include "framework/ToolTipCtrl.h"

namespace {

// A tool that is a window: the tip identifies it by its handle and finds it under its parent.
TTTOOLINFOW WindowToolInfo(CWnd* tool, LPCWSTR text) {
    TTTOOLINFOW info = {};
    // The version-5 size is accepted by both versions of the common controls.
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.uFlags = TTF_IDISHWND;
    info.hwnd = ::GetParent(tool->m_hWnd);
    info.uId = reinterpret_cast<UINT_PTR>(tool->m_hWnd);
    info.lpszText = const_cast<LPWSTR>(text);  // only read by the tip
    return info;
}

}  // namespace

BOOL CToolTipCtrl::Create(CWnd* parent, DWORD style) {
    if (m_hWnd != nullptr) {
        return FALSE;
    }
    HWND tip = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | style, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, parent != nullptr ? parent->m_hWnd : nullptr,
                                 nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (tip == nullptr) {
        return FALSE;
    }
    // Bound through the message map so that the object lets go when the owner destroys the tip.
    if (!SubclassWindow(tip)) {
        ::DestroyWindow(tip);
        return FALSE;
    }
    return TRUE;
}

void CToolTipCtrl::Activate(BOOL activate) { SendMessage(TTM_ACTIVATE, activate, 0); }

int CToolTipCtrl::SetMaxTipWidth(int width) {
    return static_cast<int>(SendMessage(TTM_SETMAXTIPWIDTH, 0, width));
}

void CToolTipCtrl::RelayEvent(MSG* msg) { SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg)); }

BOOL CToolTipCtrl::AddTool(CWnd* tool, LPCWSTR text) {
    if (tool == nullptr || tool->m_hWnd == nullptr) {
        return FALSE;
    }
    TTTOOLINFOW info = WindowToolInfo(tool, text);
    return static_cast<BOOL>(SendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)));
}

void CToolTipCtrl::UpdateTipText(LPCWSTR text, CWnd* tool) {
    if (tool == nullptr || tool->m_hWnd == nullptr) {
        return;
    }
    TTTOOLINFOW info = WindowToolInfo(tool, text);
    SendMessage(TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}

int CToolTipCtrl::GetToolCount() const { return static_cast<int>(SendMessage(TTM_GETTOOLCOUNT)); }
