// Leaves a minidump behind when a fault escapes every boundary of the program (an access
// violation, a stack overflow, a C++ exception that reaches std::terminate) and ends the process
// with the fault's code as its exit code, without the system's crash dialog. One per process,
// installed by the entry point before anything else runs. Dumps go to
// %LOCALAPPDATA%\<program>\CrashDumps\<program>-<yyyymmdd>-<hhmmss>-<process id>.dmp, the program
// named after its module on the framework's floor (framework/Module.h).
#pragma once

#include "framework/Afx.h"

#include <cstddef>

class CCrashDumpWriter {
public:
    // Exception code (and exit code) of a C++ exception nobody caught: error severity, customer bit.
    static constexpr DWORD kUncaughtExceptionCode = 0xE0435058;

    CCrashDumpWriter() = delete;

    // Installs the writer for the whole process; a second call changes nothing. FALSE when it
    // cannot be installed (no dump library, no folder, no writer thread): faults then end the
    // process the system's way.
    static BOOL Install();
    // The folder the dumps of `programName` go to, without a trailing backslash; FALSE when the
    // user's local application data folder is unknown or the path too long.
    static BOOL GetDumpFolder(LPCWSTR programName, wchar_t* folder, std::size_t capacity);

private:
    static LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* info);
    static void OnTerminate();
    static DWORD WINAPI RunWriter(void* unused);
    static void WriteDump();
};
