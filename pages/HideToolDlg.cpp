#include "pages/HideToolDlg.h"

#include "framework/Icon.h"
#include "framework/ModalLoopScope.h"
#include "framework/ShellCalls.h"

namespace {

constexpr wchar_t kPrivateReadyText[] = L"你可以放入你的私密文件了";
constexpr wchar_t kPrivateReadyCaption[] = L"恭喜";

}  // namespace

CHideToolDlg::CHideToolDlg() : CDialog(IDD, nullptr) {}

BEGIN_MESSAGE_MAP(CHideToolDlg, CDialog)
    ON_BN_CLICKED(IDC_OPEN_PRIVATE, &CHideToolDlg::OnOpenPrivateClicked)
    ON_BN_CLICKED(IDC_CLOSE_PRIVATE, &CHideToolDlg::OnClosePrivateClicked)
END_MESSAGE_MAP()

void CHideToolDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_OPEN_PRIVATE, m_btnOpen);
    DDX_Control(dx, IDC_CLOSE_PRIVATE, m_btnClose);
}

// Both buttons get their icon and the raised look.
BOOL CHideToolDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_btnOpen.AssignIcons(LoadButtonIcon(IDI_OPEN_PRIVATE), nullptr);  // the button reports nothing
    m_btnOpen.SetFlatLook(FALSE);
    m_btnClose.AssignIcons(LoadButtonIcon(IDI_CLOSE_PRIVATE), nullptr);
    m_btnClose.SetFlatLook(FALSE);
    return TRUE;
}

// The script gets a head start before the folder is
// announced and opened; whether it worked is not known here.
void CHideToolDlg::OnOpenPrivateClicked() {
    RunScriptHidden(kOpenPrivateScript);
    Sleep(kOpenScriptHeadStartMs);
    MessageBox(kPrivateReadyText, kPrivateReadyCaption, MB_OK);
    if (CModalLoopScope::IsUnwinding()) {
        return;  // the program is closing: the box went without being read, and nothing opens
    }
    AfxShellExecute(nullptr, L"open", kPrivateLocation, nullptr, nullptr, SW_SHOW);  // the shell reports
}

void CHideToolDlg::OnClosePrivateClicked() { RunScriptHidden(kClosePrivateScript); }
