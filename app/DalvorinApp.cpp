#include "app/DalvorinApp.h"

#include "app/DalvorinDlg.h"

namespace {

constexpr wchar_t kRegistryKey[] = L"应用程序向导生成的本地应用程序";

}  // namespace

CDalvorinApp theApp;

BEGIN_MESSAGE_MAP(CDalvorinApp, CWinAppEx)
    ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

CDalvorinApp::CDalvorinApp() : CWinAppEx(TRUE) {}

// Called once at start-up; returning FALSE ends the process when the main dialog has ended.
BOOL CDalvorinApp::InitInstance() {
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);

    CWinAppEx::InitInstance();
    AfxEnableControlContainer();
    SetRegistryKey(kRegistryKey);

    CDalvorinDlg dialog;
    m_pMainWnd = &dialog;
    dialog.DoModal();  // how the dialog ended does not matter: the program ends either way
    m_pMainWnd = nullptr;
    return FALSE;
}
