#include "framework/DataExchange.h"

#include "framework/Wnd.h"

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (control.m_hWnd != nullptr) {
        return;  // already bound by an earlier exchange
    }
    HWND item = ::GetDlgItem(dx->m_pDlgWnd->m_hWnd, id);
    if (item != nullptr) {
        control.SubclassWindow(item);
    }
}
