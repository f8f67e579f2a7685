// The "私人空间" page.
#pragma once

#include "framework/AfxWin.h"
#include "res/resource.h"

class CHideToolDlg : public CDialog {
public:
    enum { IDD = IDD_HIDE_TOOL };

    CHideToolDlg();
};
