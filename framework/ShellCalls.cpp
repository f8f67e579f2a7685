#include "framework/ShellCalls.h"

#include "framework/KernelHandle.h"

#include <string>

namespace {

using ChangeWindowMessageFilterExFn = decltype(&ChangeWindowMessageFilterEx);

// Looked up at run time: user32 has it only from Windows 7 on, so a direct import would stop the
// program from starting on older systems.
ChangeWindowMessageFilterExFn FindChangeWindowMessageFilterEx() {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<ChangeWindowMessageFilterExFn>(
        reinterpret_cast<void*>(GetProcAddress(user32, "ChangeWindowMessageFilterEx")));
}

}  // namespace

AfxShellCalls& AfxGetShellCalls() {
    static AfxShellCalls calls = {::ShellExecuteW,
                                  ::ShellExecuteExW,
                                  ::WinExec,
                                  ::CreateProcessW,
                                  ::SHGetFileInfoW,
                                  ::Shell_NotifyIconW,
                                  FindChangeWindowMessageFilterEx()};
    return calls;
}

HINSTANCE AfxShellExecute(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory,
                          INT show) {
    return AfxGetShellCalls().shellExecute(owner, verb, file, parameters, directory, show);
}

BOOL AfxShellExecuteEx(SHELLEXECUTEINFOW* info) { return AfxGetShellCalls().shellExecuteEx(info); }

UINT AfxWinExec(LPCSTR commandLine, UINT show) { return AfxGetShellCalls().winExec(commandLine, show); }

DWORD_PTR AfxGetFileInfo(LPCWSTR path, DWORD attributes, SHFILEINFOW* info, UINT infoSize, UINT flags) {
    return AfxGetShellCalls().getFileInfo(path, attributes, info, infoSize, flags);
}

BOOL AfxShellNotifyIcon(DWORD action, PNOTIFYICONDATAW data) {
    return AfxGetShellCalls().shellNotifyIcon(action, data);
}

BOOL AfxWinExecW(LPCWSTR commandLine, UINT show) {
    if (commandLine == nullptr) {
        return FALSE;
    }
    std::wstring line(commandLine);  // CreateProcessW may write into its command line
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(show);
    PROCESS_INFORMATION process = {};
    if (!AfxGetShellCalls().createProcess(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                          &startup, &process)) {
        return FALSE;
    }
    // Nobody waits for the program: let go of it at once.
    CKernelHandle(process.hThread).Close();
    CKernelHandle(process.hProcess).Close();
    return TRUE;
}
