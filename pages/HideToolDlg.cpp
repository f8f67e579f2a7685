#include "pages/HideToolDlg.h"

#include "framework/ModalLoopScope.h"

namespace {

constexpr wchar_t kPrivateReadyText[] = L"你可以放入你的私密文件了";
constexpr wchar_t kPrivateReadyCaption[] = L"恭喜";

HICON LoadButtonIcon(UINT id) {
    LPCWSTR name = MAKEINTRESOURCEW(id);
    return static_cast<HICON>(
        LoadImageW(AfxFindResourceHandle(name, RT_GROUP_ICON), name, IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
}

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

// Called once when the page is made: both buttons get their icon and the raised look.
BOOL CHideToolDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_btnOpen.AssignIcons(LoadButtonIcon(IDI_OPEN_PRIVATE), nullptr);  // the button reports nothing
    m_btnOpen.SetFlatLook(FALSE);
    m_btnClose.AssignIcons(LoadButtonIcon(IDI_CLOSE_PRIVATE), nullptr);
    m_btnClose.SetFlatLook(FALSE);
    return TRUE;
}

// Called when "打开隐藏目录" is clicked. The script gets a head start before the folder is
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

// Called when "关闭隐藏目录" is clicked.
void CHideToolDlg::OnClosePrivateClicked() { RunScriptHidden(kClosePrivateScript); }
