// The About box of the system menu.
#pragma once

#include "framework/Dialog.h"
#include "framework/MessageMap.h"
#include "res/resource.h"

class CAboutDlg : public CDialog {
public:
    enum { IDD = IDD_ABOUTBOX };

    CAboutDlg();

protected:
    DECLARE_MESSAGE_MAP()
};
