// The scripts that reveal and hide the private folder, and how a script given by bare name is
// found and started.
#pragma once

#include "framework/String.h"

// The scripts that reveal and hide the private folder, shipped beside the program.
inline constexpr wchar_t kOpenPrivateScript[] = L"systemopen.bat";
inline constexpr wchar_t kClosePrivateScript[] = L"systemclose.bat";

// Reads the running program's path as GetModuleFileNameW does: the length written, or the
// capacity itself when the path was cut to fit (terminated or not).
using ModulePathReader = DWORD (*)(wchar_t* buffer, DWORD capacity);

// The folder of the running program, without a trailing backslash.
CString ProgramFolder();
// The same, with the program's path read by `readPath`.
CString ProgramFolderFrom(ModulePathReader readPath);
// Finds the file a bare program name stands for, in the order Windows looks for programs: the
// program's own folder, the current folder, the system folders, then the folders of PATH.
BOOL FindProgramFile(LPCWSTR name, LPCWSTR programFolder, CString& path);
// Starts a script by bare name, found as above, hidden and without waiting for it. A script that
// cannot be found or started is not reported.
void RunScriptHidden(LPCWSTR name);
