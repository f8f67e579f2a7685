#include "pages/FileToolDlg.h"

CFileToolDlg::CFileToolDlg() : CDialog(IDD, nullptr) {}
