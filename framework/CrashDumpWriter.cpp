#include "framework/CrashDumpWriter.h"

#include "framework/KernelHandle.h"
#include "framework/Module.h"

#include <dbghelp.h>
#include <shlobj.h>

#include <cwchar>
#include <exception>

namespace {

using MiniDumpWriteDumpFunction = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE,
                                                PMINIDUMP_EXCEPTION_INFORMATION,
                                                PMINIDUMP_USER_STREAM_INFORMATION,
                                                PMINIDUMP_CALLBACK_INFORMATION);
using SymInitializeFunction = BOOL(WINAPI*)(HANDLE, PCWSTR, BOOL);
using GetUserModeExceptionPolicyFunction = BOOL(WINAPI*)(DWORD*);
using SetUserModeExceptionPolicyFunction = BOOL(WINAPI*)(DWORD);

constexpr wchar_t kDumpSubfolder[] = L"CrashDumps";
// Stacks of every thread plus the program's globals, where most of its state lives.
constexpr auto kDumpType = static_cast<MINIDUMP_TYPE>(MiniDumpNormal | MiniDumpWithDataSegs);
// How long a faulting thread waits for its dump before ending the process anyway: a writer stuck
// on a lock the faulting thread held must not keep a dead program on screen.
constexpr DWORD kDumpTimeoutMs = 30000;
// The writer thread gets the dump library and the folder ready this long after start-up, when the
// program is up and waiting for the user, rather than on the way to its first window.
constexpr DWORD kPrepareDelayMs = 3000;
// Stack kept back on the installing thread for the handler after a stack overflow.
constexpr ULONG kStackGuaranteeBytes = 64 * 1024;
// Windows 7 x64 swallows faults inside window procedures of 32-bit programs unless this flag of
// the user-mode exception policy is cleared (kernel32 has the calls from 7 SP1 on; Wine lacks them).
constexpr DWORD kProcessCallbackFilterEnabled = 0x1;

// Set once by Install, before the handlers can run; read by them.
struct CrashState {
    MiniDumpWriteDumpFunction writeDump = nullptr;
    SymInitializeFunction initializeSymbols = nullptr;
    wchar_t programName[MAX_PATH] = {};
    wchar_t folder[MAX_PATH] = {};
    HANDLE faultEvent = nullptr;  // set by the faulting thread: the writer starts
    HANDLE doneEvent = nullptr;   // set by the writer when the dump is closed
    DWORD writerThreadId = 0;
    bool prepared = false;  // written and read by the writer thread only
    // Filled by the first faulting thread only, before faultEvent is set.
    volatile LONG claimed = 0;
    DWORD faultingThreadId = 0;
    EXCEPTION_POINTERS* fault = nullptr;
    DWORD faultCode = 0;
};

CrashState g_crash;

// The program's name: its module's file name without folder and extension.
bool ReadProgramName(wchar_t* name, std::size_t capacity) {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(AfxGetInstanceHandle(), path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return false;
    }
    const wchar_t* slash = std::wcsrchr(path, L'\\');
    const wchar_t* start = slash != nullptr ? slash + 1 : path;
    wchar_t* dot = std::wcsrchr(path, L'.');
    if (dot != nullptr && dot > start) {
        *dot = L'\0';
    }
    return std::swprintf(name, capacity, L"%ls", start) > 0;
}

template <typename Function>
Function FindFunction(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

// By full path from the system folder, so that no dbghelp.dll beside the program is taken. Loaded
// at run time rather than imported: the program starts without it where it is missing, and it is
// in memory before any fault, when the loader may no longer be usable.
bool LoadDumpFunctions() {
    wchar_t path[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH ||
        std::swprintf(path + length, MAX_PATH - length, L"\\dbghelp.dll") < 0) {
        return false;
    }
    // Stays loaded for the life of the process: the handler may need it at any time.
    const HMODULE library = ::LoadLibraryW(path);
    if (library == nullptr) {
        return false;
    }
    g_crash.writeDump = FindFunction<MiniDumpWriteDumpFunction>(library, "MiniDumpWriteDump");
    g_crash.initializeSymbols = FindFunction<SymInitializeFunction>(library, "SymInitializeW");
    return g_crash.writeDump != nullptr && g_crash.initializeSymbols != nullptr;
}

// The writer's own thread says nothing about the fault; without its stack the dump is a few KB
// instead of 1 MB under Wine, which takes the whole stack of the thread that calls it.
BOOL CALLBACK LeaveOutWriterStack(void*, const PMINIDUMP_CALLBACK_INPUT input,
                                  PMINIDUMP_CALLBACK_OUTPUT output) {
    if (input->CallbackType == IncludeThreadCallback) {
        return input->IncludeThread.ThreadId != g_crash.writerThreadId;
    }
    if (input->CallbackType == ThreadCallback && input->Thread.ThreadId == g_crash.writerThreadId) {
        output->ThreadWriteFlags &= ~static_cast<ULONG>(ThreadWriteStack);
    }
    return TRUE;
}

void LetCallbackFaultsThrough() {
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    const auto getPolicy =
        FindFunction<GetUserModeExceptionPolicyFunction>(kernel, "GetProcessUserModeExceptionPolicy");
    const auto setPolicy =
        FindFunction<SetUserModeExceptionPolicyFunction>(kernel, "SetProcessUserModeExceptionPolicy");
    DWORD flags = 0;
    if (getPolicy != nullptr && setPolicy != nullptr && getPolicy(&flags)) {
        setPolicy(flags & ~kProcessCallbackFilterEnabled);
    }
}

}  // namespace

BOOL CCrashDumpWriter::GetDumpFolder(LPCWSTR programName, wchar_t* folder, std::size_t capacity) {
    wchar_t localAppData[MAX_PATH] = {};
    if (programName == nullptr || programName[0] == L'\0' ||
        FAILED(::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, localAppData))) {
        return FALSE;
    }
    const int written =
        std::swprintf(folder, capacity, L"%ls\\%ls\\%ls", localAppData, programName, kDumpSubfolder);
    return written > 0 && static_cast<std::size_t>(written) < capacity;
}

// What can fail here happens while the program is still well: the writer thread is waiting before
// the first window exists. It loads the dump library and names the folder itself, a little later
// (or at the first fault, if that comes sooner), so that start-up does not wait for them.
BOOL CCrashDumpWriter::Install() {
    if (g_crash.writerThreadId != 0) {
        return TRUE;
    }
    if (!ReadProgramName(g_crash.programName, MAX_PATH)) {
        return FALSE;
    }
    // The events and the thread live as long as the process.
    g_crash.faultEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    g_crash.doneEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (g_crash.faultEvent == nullptr || g_crash.doneEvent == nullptr) {
        return FALSE;
    }
    // A thread made now has a whole stack of its own when the faulting thread has none left (a
    // stack overflow); both Windows and Wine then still run a short filter on the faulting thread.
    // The thread runs on; nobody waits for it by handle.
    const CKernelHandle writer(
        ::CreateThread(nullptr, 0, &CCrashDumpWriter::RunWriter, nullptr, 0, &g_crash.writerThreadId));
    if (writer.Get() == nullptr) {
        return FALSE;
    }

    ULONG guarantee = kStackGuaranteeBytes;
    ::SetThreadStackGuarantee(&guarantee);  // more room for the filter if available; it needs little
    LetCallbackFaultsThrough();
    // No SEM_NOGPFAULTERRORBOX: the filter never returns, so the crash dialog cannot come anyway,
    // and programs the launcher starts would inherit the error mode and lose their own dialog.
    ::SetUnhandledExceptionFilter(&CCrashDumpWriter::OnUnhandledException);
    std::set_terminate(&CCrashDumpWriter::OnTerminate);
    return TRUE;
}

// Runs on the faulting thread, which may have almost no stack left: it only hands the fault to
// the writer thread, waits for the dump and ends the process. Any later fault, on the writer
// thread, on this thread again or on another one, ends the process too and never loops. It never
// returns to the system, so neither Windows' crash dialog nor Wine's debugger comes up.
LONG WINAPI CCrashDumpWriter::OnUnhandledException(EXCEPTION_POINTERS* info) {
    const DWORD code = info != nullptr && info->ExceptionRecord != nullptr
                           ? info->ExceptionRecord->ExceptionCode
                           : kUncaughtExceptionCode;
    const DWORD thread = ::GetCurrentThreadId();
    if (::InterlockedCompareExchange(&g_crash.claimed, 1, 0) != 0) {
        if (thread != g_crash.writerThreadId && thread != g_crash.faultingThreadId) {
            ::WaitForSingleObject(g_crash.doneEvent, kDumpTimeoutMs);  // let the first dump finish
        }
        ::TerminateProcess(::GetCurrentProcess(), g_crash.faultCode != 0 ? g_crash.faultCode : code);
        return EXCEPTION_EXECUTE_HANDLER;
    }
    g_crash.faultingThreadId = thread;
    g_crash.fault = info;
    g_crash.faultCode = code;
    ::SetEvent(g_crash.faultEvent);
    ::WaitForSingleObject(g_crash.doneEvent, kDumpTimeoutMs);
    ::TerminateProcess(::GetCurrentProcess(), code);
    return EXCEPTION_EXECUTE_HANDLER;
}

// Raised rather than dumped here, so that the dump shows the thread where the exception was left
// uncaught; the default handler would call abort(), whose message box the user would see.
void CCrashDumpWriter::OnTerminate() {
    ::RaiseException(kUncaughtExceptionCode, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    ::TerminateProcess(::GetCurrentProcess(), kUncaughtExceptionCode);  // a frame swallowed it
}

DWORD WINAPI CCrashDumpWriter::RunWriter(void*) {
    if (::WaitForSingleObject(g_crash.faultEvent, kPrepareDelayMs) == WAIT_TIMEOUT) {
        PrepareWriting();
        ::WaitForSingleObject(g_crash.faultEvent, INFINITE);
    }
    if (!g_crash.prepared) {
        PrepareWriting();
    }
    if (g_crash.writeDump != nullptr && g_crash.initializeSymbols != nullptr && g_crash.folder[0] != L'\0') {
        WriteDump();
    }
    ::SetEvent(g_crash.doneEvent);
    return 0;
}

void CCrashDumpWriter::PrepareWriting() {
    g_crash.prepared = true;
    if (!GetDumpFolder(g_crash.programName, g_crash.folder, MAX_PATH)) {
        g_crash.folder[0] = L'\0';
    }
    LoadDumpFunctions();
}

// Both folder levels are made as needed; an existing one is fine.
void CCrashDumpWriter::WriteDump() {
    wchar_t programFolder[MAX_PATH] = {};
    const wchar_t* lastSlash = std::wcsrchr(g_crash.folder, L'\\');
    const auto programFolderLength = static_cast<std::size_t>(lastSlash - g_crash.folder);
    std::wmemcpy(programFolder, g_crash.folder, programFolderLength);
    ::CreateDirectoryW(programFolder, nullptr);
    ::CreateDirectoryW(g_crash.folder, nullptr);

    SYSTEMTIME now = {};
    ::GetLocalTime(&now);
    wchar_t path[MAX_PATH] = {};
    const int written = std::swprintf(path, MAX_PATH, L"%ls\\%ls-%04u%02u%02u-%02u%02u%02u-%lu.dmp",
                                      g_crash.folder, g_crash.programName, now.wYear, now.wMonth, now.wDay,
                                      now.wHour, now.wMinute, now.wSecond, ::GetCurrentProcessId());
    if (written <= 0) {
        return;
    }
    const HANDLE created =
        ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created == INVALID_HANDLE_VALUE) {
        return;
    }
    const CKernelHandle file(created);
    MINIDUMP_EXCEPTION_INFORMATION exception = {g_crash.faultingThreadId, g_crash.fault, FALSE};
    // Wine's writer, given a process without a symbol handler, starts one that reads the debug
    // information of every module first: 11 s under emulation instead of 0.2 s. Windows uses
    // one that is there as it is. The process ends right after, so it is never cleaned up.
    g_crash.initializeSymbols(::GetCurrentProcess(), nullptr, FALSE);
    MINIDUMP_CALLBACK_INFORMATION callback = {&LeaveOutWriterStack, nullptr};
    g_crash.writeDump(::GetCurrentProcess(), ::GetCurrentProcessId(), file.Get(), kDumpType, &exception,
                      nullptr, &callback);
}
