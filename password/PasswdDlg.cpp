#include "password/PasswdDlg.h"

CPasswdDlg::CPasswdDlg() : CDialog(IDD, nullptr) {}
