#include "app/DalvorinApp.h"

#include "app/DalvorinDlg.h"
#include "app/SingleInstance.h"

namespace {

constexpr wchar_t kRegistryKey[] = L"应用程序向导生成的本地应用程序";

// Named per session, so that every user of a machine can run the program once.
constexpr wchar_t kInstanceName[] = L"Local\\Dalvorin.Nivvo.Instance";
// How long a second start gives a running copy that is up to answer.
constexpr DWORD kHandOverTimeoutMs = 10000;
constexpr wchar_t kNotAnsweringText[] = L"Nivvo桌面管理已经在运行，但没有响应。请稍后再试。";

}  // namespace

// NOLINTNEXTLINE(cert-err58-cpp): the one application object; made without a name, it allocates nothing.
CDalvorinApp theApp;

BEGIN_MESSAGE_MAP(CDalvorinApp, CWinAppEx)
    ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

CDalvorinApp::CDalvorinApp() : CWinAppEx(TRUE) {}

// Returning FALSE ends the process when the main dialog has ended.
// A start while the program already runs opens no second window: the running copy restores
// itself through its password gate instead, and this one ends. If that copy has gone meanwhile,
// this one starts in its place; if it is up but does not answer, the user is told, once this
// start has let go of the shared objects (a later start must not find them kept by it).
BOOL CDalvorinApp::InitInstance() {
    CSingleInstance instance(kInstanceName);
    if (!instance.Claim()) {
        const CSingleInstance::HandOverResult handedOver =
            instance.HandOver(CDalvorinDlg::RestoreRequestMessage(), kHandOverTimeoutMs);
        if (handedOver != CSingleInstance::HandOverResult::kTakenOver) {
            instance.Close();
            if (handedOver == CSingleInstance::HandOverResult::kNoAnswer) {
                AfxMessageBox(kNotAnsweringText, MB_OK);
            }
            return FALSE;
        }
    }

    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);

    CWinAppEx::InitInstance();
    AfxEnableControlContainer();
    SetRegistryKey(kRegistryKey);

    CDalvorinDlg dialog;
    dialog.PublishWhenReady(&instance);
    m_pMainWnd = &dialog;
    dialog.DoModal();  // how the dialog ended does not matter: the program ends either way
    m_pMainWnd = nullptr;
    return FALSE;
}
