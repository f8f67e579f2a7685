// The application object: one per process, made as a global before start-up. It sits on top of
// the framework and fills in its floor (framework/Module.h) at start-up.
#pragma once

#include "framework/CmdTarget.h"
#include "framework/Module.h"
#include "framework/String.h"

class CWnd;

class CWinThread : public CCmdTarget {
public:
    CWnd* m_pMainWnd = nullptr;

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    // The thread's message loop; returns the exit code.
    virtual int Run();
};

class CWinApp : public CWinThread {
public:
    explicit CWinApp(LPCWSTR appName = nullptr);
    ~CWinApp() override;

    // Names the registry key under which settings would be kept. The program keeps none; the
    // name is only remembered.
    void SetRegistryKey(LPCWSTR key);

    HINSTANCE m_hInstance = nullptr;
    LPCWSTR m_pszAppName = nullptr;
    LPCWSTR m_pszRegistryKey = nullptr;

    // Framework help handler; the program ships no help file, so it shows nothing.
    void OnHelp();

private:
    CString m_appName;
    CString m_registryKey;
    friend int AfxWinMain(HINSTANCE, HINSTANCE, LPWSTR, int);
    friend void AfxInitAppName(CWinApp* app);
};

class CWinAppEx : public CWinApp {
public:
    explicit CWinAppEx(BOOL resourceSmartUpdate = FALSE);

    BOOL m_bResourceSmartUpdate;
};

CWinApp* AfxGetApp();
CWinThread* AfxGetThread();
CWnd* AfxGetMainWnd();
void AfxEnableControlContainer();
// Message box owned by the application's active window, captioned with the application title.
int AfxMessageBox(LPCWSTR text, UINT type = MB_OK, UINT helpId = 0);
// Sets the application title from the exe name when it has none yet and hands it to the
// framework's floor (the program's entry point and tests call it once).
void AfxInitAppName(CWinApp* app);
int AfxWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int show);
