#include "password/CheckPasswdDlg.h"

#include "framework/WinApp.h"
#include "password/PasswdDlg.h"

namespace {

constexpr wchar_t kRightPasswordText[] = L"输入正确";
constexpr wchar_t kWrongPasswordText[] = L"密码错误，请重心输入哟";

}  // namespace

CCheckPasswdDlg::CCheckPasswdDlg() : CDialog(IDD, nullptr) {}

BEGIN_MESSAGE_MAP(CCheckPasswdDlg, CDialog)
    ON_BN_CLICKED(IDOK, &CCheckPasswdDlg::OnOkClicked)
    ON_BN_CLICKED(IDCANCEL, &CCheckPasswdDlg::OnCancelClicked)
END_MESSAGE_MAP()

// The entry must equal the kept password exactly, letter case and spaces
// included. A wrong entry leaves the prompt open for another try.
void CCheckPasswdDlg::OnOkClicked() {
    GetDlgItemText(IDC_PASSWORD_EDIT, m_strInput);
    const bool matches = m_pPasswdDlg != nullptr && m_pPasswdDlg->m_strPassword == m_strInput;
    if (!matches) {
        AfxMessageBox(kWrongPasswordText, MB_OK);
        m_bPassed = false;
        return;
    }
    AfxMessageBox(kRightPasswordText, MB_OK);
    m_bPassed = true;
    OnOK();
}

// "取消", Esc and the close box.
void CCheckPasswdDlg::OnCancelClicked() { OnCancel(); }
