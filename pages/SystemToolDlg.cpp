#include "pages/SystemToolDlg.h"

CSystemToolDlg::CSystemToolDlg() : CDialog(IDD, nullptr) {}
