#include "framework/WinApp.h"

#include "framework/MessagePump.h"
#include "framework/Wnd.h"

namespace {

CWinApp* g_app = nullptr;

}  // namespace

BOOL CWinThread::InitInstance() { return TRUE; }

int CWinThread::ExitInstance() { return 0; }

int CWinThread::Run() {
    MSG msg{};
    while (CMessagePump::PumpMessage(nullptr, msg) == CMessagePump::Result::kDispatched) {
    }
    return ExitInstance();
}

CWinApp::CWinApp(LPCWSTR appName) {
    if (appName != nullptr) {
        m_appName = appName;
        m_pszAppName = m_appName;
        AfxSetAppName(m_pszAppName);
    }
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) {
        g_app = nullptr;
    }
}

void CWinApp::SetRegistryKey(LPCWSTR key) {
    m_registryKey = key;
    m_pszRegistryKey = m_registryKey;
}

void CWinApp::OnHelp() {}

CWinAppEx::CWinAppEx(BOOL resourceSmartUpdate) : m_bResourceSmartUpdate(resourceSmartUpdate) {}

CWinApp* AfxGetApp() { return g_app; }

CWinThread* AfxGetThread() { return g_app; }

CWnd* AfxGetMainWnd() { return g_app != nullptr ? g_app->m_pMainWnd : nullptr; }

// The program hosts no ActiveX controls; kept so start-up reads as the framework expects.
void AfxEnableControlContainer() {}

int AfxMessageBox(LPCWSTR text, UINT type, UINT) {
    CWnd* main = AfxGetMainWnd();
    return AfxShowMessageBox(main != nullptr ? main->m_hWnd : nullptr, text, type);
}

void AfxInitAppName(CWinApp* app) {
    if (app == nullptr) {
        return;
    }
    if (app->m_pszAppName != nullptr) {
        AfxSetAppName(app->m_pszAppName);
        return;
    }
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        app->m_appName = L"";
    } else {
        CString name(path);
        name = name.Mid(name.ReverseFind(L'\\') + 1);
        const int dot = name.ReverseFind(L'.');
        app->m_appName = dot > 0 ? name.Left(dot) : name;
    }
    app->m_pszAppName = app->m_appName;
    AfxSetAppName(app->m_pszAppName);
}

int AfxWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    CWinApp* app = AfxGetApp();
    if (app == nullptr) {
        return -1;
    }
    app->m_hInstance = instance;
    AfxSetInstanceHandle(instance);
    AfxInitAppName(app);
    int exitCode = 0;
    if (!app->InitInstance()) {
        exitCode = app->ExitInstance();
    } else {
        exitCode = app->Run();
    }
    CMessagePump::FreeTemporaries();
    return exitCode;
}
