#include "framework/ShellCalls.h"

AfxShellCalls& AfxGetShellCalls() {
    static AfxShellCalls calls = {::ShellExecuteW, ::ShellExecuteExW, ::WinExec};
    return calls;
}

HINSTANCE AfxShellExecute(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory,
                          INT show) {
    return AfxGetShellCalls().shellExecute(owner, verb, file, parameters, directory, show);
}

BOOL AfxShellExecuteEx(SHELLEXECUTEINFOW* info) { return AfxGetShellCalls().shellExecuteEx(info); }

UINT AfxWinExec(LPCSTR commandLine, UINT show) { return AfxGetShellCalls().winExec(commandLine, show); }
