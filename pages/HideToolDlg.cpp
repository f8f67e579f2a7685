#include "pages/HideToolDlg.h"

CHideToolDlg::CHideToolDlg() : CDialog(IDD, nullptr) {}
