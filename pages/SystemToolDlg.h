// The "文件管理" page.
#pragma once

#include "framework/AfxWin.h"
#include "res/resource.h"

class CSystemToolDlg : public CDialog {
public:
    enum { IDD = IDD_SYSTEM_TOOL };

    CSystemToolDlg();
};
