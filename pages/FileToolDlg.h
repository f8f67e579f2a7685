// The "常用软件" page: a list of launcher entries.
#pragma once

#include "framework/AfxWin.h"
#include "res/resource.h"

class CFileToolDlg : public CDialog {
public:
    enum { IDD = IDD_FILE_TOOL };

    CFileToolDlg();
};
