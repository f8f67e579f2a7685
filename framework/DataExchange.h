// Binding of dialog controls to their control objects.
#pragma once

#include "framework/Afx.h"

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate)
        : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}

    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
};

// Subclasses control `id` of the dialog into `control` the first time it is called.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
