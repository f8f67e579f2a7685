#include "password/CheckPasswdDlg.h"

CCheckPasswdDlg::CCheckPasswdDlg() : CDialog(IDD, nullptr) {}
