// A tool-tip window: the common control that shows a short text for the tools registered with it.
#pragma once

#include "framework/Wnd.h"

class CToolTipCtrl : public CWnd {
public:
    // Makes the tip window, owned by `parent`'s top-level window; FALSE when it cannot be made.
    BOOL Create(CWnd* parent, DWORD style = 0);

    void Activate(BOOL activate);
    int SetMaxTipWidth(int width);
    // Hands a mouse message to the tip so that it can show and hide itself.
    void RelayEvent(MSG* msg);

    // Registers the window `tool` (identified by its handle) with its tip text.
    BOOL AddTool(CWnd* tool, LPCWSTR text);
    void UpdateTipText(LPCWSTR text, CWnd* tool);
    int GetToolCount() const;
};
