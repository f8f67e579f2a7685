// Describes a command whose state is being asked for (enabled, checked, text).
#pragma once

#include "framework/Afx.h"

class CCmdUI {
public:
    virtual ~CCmdUI() = default;
    virtual void Enable(BOOL on = TRUE);
    virtual void SetCheck(int check = 1);
    virtual void SetText(LPCWSTR text);

    UINT m_nID = 0;
    BOOL m_bEnabled = TRUE;
    BOOL m_bEnableChanged = FALSE;
};
