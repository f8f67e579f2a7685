// The shell calls that start programs or open documents go through this table, so that tests
// can watch what would be started without starting it; so do the shell's file-information
// queries, whose icons the caller must destroy, so that tests can see every icon handed out.
// The notification-area calls go through it too, so that tests can see the icon added and removed,
// and so does the per-window message filter, whose effect Wine does not show.
// The program itself never changes the table.
#pragma once

#include "framework/Afx.h"

struct AfxShellCalls {
    HINSTANCE(WINAPI* shellExecute)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
    BOOL(WINAPI* shellExecuteEx)(SHELLEXECUTEINFOW*);
    UINT(WINAPI* winExec)(LPCSTR, UINT);
    BOOL(WINAPI* createProcess)
    (LPCWSTR, LPWSTR, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID, LPCWSTR,
     LPSTARTUPINFOW, LPPROCESS_INFORMATION);
    DWORD_PTR(WINAPI* getFileInfo)(LPCWSTR, DWORD, SHFILEINFOW*, UINT, UINT);
    BOOL(WINAPI* shellNotifyIcon)(DWORD, PNOTIFYICONDATAW);
    // Null where user32 has no per-window filter (before Windows 7).
    BOOL(WINAPI* changeWindowMessageFilterEx)(HWND, UINT, DWORD, PCHANGEFILTERSTRUCT);
};

// The table in use; starts with the real shell functions.
AfxShellCalls& AfxGetShellCalls();

HINSTANCE AfxShellExecute(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory,
                          INT show);
BOOL AfxShellExecuteEx(SHELLEXECUTEINFOW* info);
UINT AfxWinExec(LPCSTR commandLine, UINT show);
// Starts the program that a wide command line names, looked up as WinExec looks it up, and shows
// its first window with `show`. Unlike WinExec the text never passes through a code page.
BOOL AfxWinExecW(LPCWSTR commandLine, UINT show);
DWORD_PTR AfxGetFileInfo(LPCWSTR path, DWORD attributes, SHFILEINFOW* info, UINT infoSize, UINT flags);
BOOL AfxShellNotifyIcon(DWORD action, PNOTIFYICONDATAW data);
