// The shell calls that start programs or open documents go through this table, so that tests
// can watch what would be started without starting it. The program itself never changes it.
#pragma once

#include "framework/Afx.h"

struct AfxShellCalls {
    HINSTANCE(WINAPI* shellExecute)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
    BOOL(WINAPI* shellExecuteEx)(SHELLEXECUTEINFOW*);
    UINT(WINAPI* winExec)(LPCSTR, UINT);
};

// The table in use; starts with the real shell functions.
AfxShellCalls& AfxGetShellCalls();

HINSTANCE AfxShellExecute(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory, INT show);
BOOL AfxShellExecuteEx(SHELLEXECUTEINFOW* info);
UINT AfxWinExec(LPCSTR commandLine, UINT show);
