// Replaces the program's shell calls with recorders for the life of the object, so a test sees
// what would have been opened or started without starting anything.
#pragma once

#include "framework/ShellCalls.h"

#include <string>
#include <vector>

struct RecordedShellCall {
    HWND owner;
    std::wstring verb;
    std::wstring file;
    std::wstring parameters;
    std::wstring directory;
    int show;
};

struct RecordedCommandLine {
    std::string commandLine;
    UINT show;
};

class ShellCallRecorder {
public:
    ShellCallRecorder() : m_saved(AfxGetShellCalls()) {
        Calls().clear();
        CommandLines().clear();
        AfxShellCalls& calls = AfxGetShellCalls();
        calls.shellExecute = &RecordShellExecute;
        calls.shellExecuteEx = &RecordShellExecuteEx;
        calls.winExec = &RecordWinExec;
    }
    ~ShellCallRecorder() { AfxGetShellCalls() = m_saved; }
    ShellCallRecorder(const ShellCallRecorder&) = delete;
    ShellCallRecorder& operator=(const ShellCallRecorder&) = delete;

    static std::vector<RecordedShellCall>& Calls() {
        static std::vector<RecordedShellCall> calls;
        return calls;
    }
    static std::vector<RecordedCommandLine>& CommandLines() {
        static std::vector<RecordedCommandLine> lines;
        return lines;
    }

private:
    static std::wstring OrEmpty(LPCWSTR text) { return text != nullptr ? text : L""; }

    static HINSTANCE WINAPI RecordShellExecute(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters,
                                               LPCWSTR directory, INT show) {
        Calls().push_back(
            {owner, OrEmpty(verb), OrEmpty(file), OrEmpty(parameters), OrEmpty(directory), show});
        return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));  // "> 32": success
    }
    static BOOL WINAPI RecordShellExecuteEx(SHELLEXECUTEINFOW* info) {
        Calls().push_back({info->hwnd, OrEmpty(info->lpVerb), OrEmpty(info->lpFile),
                           OrEmpty(info->lpParameters), OrEmpty(info->lpDirectory), info->nShow});
        return TRUE;
    }
    static UINT WINAPI RecordWinExec(LPCSTR commandLine, UINT show) {
        CommandLines().push_back({commandLine != nullptr ? commandLine : "", show});
        return 33;
    }

    AfxShellCalls m_saved;
};
