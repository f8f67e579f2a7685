#include "app/AboutDlg.h"

CAboutDlg::CAboutDlg() : CDialog(IDD, nullptr) {}

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
END_MESSAGE_MAP()
