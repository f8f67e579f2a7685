#include "password/PasswdDlg.h"

#include "framework/WinApp.h"
#include "pages/PrivateScripts.h"

namespace {

constexpr wchar_t kEmptyPasswordText[] = L"密码不能为空";

}  // namespace

CPasswdDlg::CPasswdDlg() : CDialog(IDD, nullptr) {}

BEGIN_MESSAGE_MAP(CPasswdDlg, CDialog)
    ON_BN_CLICKED(IDOK, &CPasswdDlg::OnOkClicked)
    ON_BN_CLICKED(IDCANCEL, &CPasswdDlg::OnCancelClicked)
END_MESSAGE_MAP()

// The field starts empty each time the dialog opens.
BOOL CPasswdDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    return TRUE;
}

// A non-empty entry becomes the password, replacing any earlier one, and the
// private folder is closed.
void CPasswdDlg::OnOkClicked() {
    CString typed;
    GetDlgItemText(IDC_PASSWORD_EDIT, typed);
    if (typed.IsEmpty()) {
        AfxMessageBox(kEmptyPasswordText, MB_OK);
        return;
    }
    m_strPassword = typed;
    m_bPasswordSet = true;
    RunScriptHidden(kClosePrivateScript);
    OnOK();
}

// "取消", Esc and the close box.
void CPasswdDlg::OnCancelClicked() { OnCancel(); }
