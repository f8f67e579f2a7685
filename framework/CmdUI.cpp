#include "framework/CmdUI.h"

void CCmdUI::Enable(BOOL on) {
    m_bEnabled = on;
    m_bEnableChanged = TRUE;
}

// Only the enabled state is asked for before a command runs; check marks and texts have no
// menu item to go to here.
void CCmdUI::SetCheck(int) {}

void CCmdUI::SetText(LPCWSTR) {}
