// A fault that escapes every boundary ends the process with its code and leaves one readable dump:
// crash_probe.exe installs the program's writer and faults in the way it is told.
#include "framework/CrashDumpWriter.h"
#include "tests/common/TestPaths.h"

#include <dbghelp.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <ostream>
#include <set>
#include <string>

namespace {

constexpr wchar_t kProbeName[] = L"crash_probe";
// Generous for a process start under emulation plus the dump; a hang would be far longer.
constexpr DWORD kExitTimeoutMs = 20000;

struct FaultKind {
    const char* name;
    const wchar_t* argument;
    DWORD code;
    // Wine run through QEMU's user-mode emulation gets no trap number with a page fault and calls
    // a write to address 0 an illegal instruction; elsewhere the code above is the only one.
    DWORD emulatedCode;
};

std::wstring DumpFolder() {
    wchar_t folder[MAX_PATH] = {};
    return CCrashDumpWriter::GetDumpFolder(kProbeName, folder, MAX_PATH) ? folder : L"";
}

std::set<std::wstring> DumpsIn(const std::wstring& folder) {
    std::set<std::wstring> names;
    WIN32_FIND_DATAW found = {};
    const HANDLE search = FindFirstFileW((folder + L"\\*.dmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        names.insert(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

// The code in the dump's exception stream, or 0 when the file is no dump or has none.
DWORD ExceptionCodeInDump(const std::wstring& path, bool* hasSignature) {
    DWORD code = 0;
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 0;
    }
    const HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    void* view = mapping != nullptr ? MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0) : nullptr;
    if (view != nullptr) {
        *hasSignature = std::memcmp(view, "MDMP", 4) == 0;
        MINIDUMP_DIRECTORY* directory = nullptr;
        void* stream = nullptr;
        ULONG size = 0;
        if (MiniDumpReadDumpStream(view, ExceptionStream, &directory, &stream, &size) &&
            size >= sizeof(MINIDUMP_EXCEPTION_STREAM)) {
            code = static_cast<const MINIDUMP_EXCEPTION_STREAM*>(stream)->ExceptionRecord.ExceptionCode;
        }
        UnmapViewOfFile(view);
    }
    if (mapping != nullptr) {
        CloseHandle(mapping);
    }
    CloseHandle(file);
    return code;
}

// The case's name stands for it in ctest's list instead of its bytes.
void PrintTo(const FaultKind& kind, std::ostream* out) { *out << kind.name; }

class CrashDump : public testing::TestWithParam<FaultKind> {};

}  // namespace

TEST_P(CrashDump, EndsTheProcessWithItsCodeAndLeavesOneDump) {
    const std::wstring folder = DumpFolder();
    ASSERT_FALSE(folder.empty());
    const std::set<std::wstring> before = DumpsIn(folder);

    std::wstring commandLine = L"\"" + test_paths::BinFile(L"crash_probe.exe") + L"\" " + GetParam().argument;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process));
    const DWORD waited = WaitForSingleObject(process.hProcess, kExitTimeoutMs);
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    if (waited != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    ASSERT_EQ(WAIT_OBJECT_0, waited) << "the faulting process hung";
    EXPECT_TRUE(exitCode == GetParam().code || exitCode == GetParam().emulatedCode) << std::hex << exitCode;

    std::set<std::wstring> made;
    for (const std::wstring& name : DumpsIn(folder)) {
        if (before.count(name) == 0) {
            made.insert(name);
        }
    }
    ASSERT_EQ(1u, made.size());
    const std::wstring name = *made.begin();
    const std::wstring path = folder + L"\\" + name;
    EXPECT_EQ(0u, name.find(std::wstring(kProbeName) + L"-"));
    EXPECT_NE(std::wstring::npos, name.find(L"-" + std::to_wstring(process.dwProcessId) + L".dmp"));
    bool hasSignature = false;
    EXPECT_EQ(exitCode, ExceptionCodeInDump(path, &hasSignature));
    EXPECT_TRUE(hasSignature);

    WIN32_FILE_ATTRIBUTE_DATA attributes = {};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &attributes);
    RecordProperty("dump_bytes", static_cast<int>(attributes.nFileSizeLow));
    RecordProperty("seconds_to_exit", std::to_string(seconds));
    std::printf("%ls: %lu bytes, process ended after %.2f s\n", GetParam().argument, attributes.nFileSizeLow,
                seconds);
    DeleteFileW(path.c_str());
}

INSTANTIATE_TEST_SUITE_P(Faults, CrashDump,
                         testing::Values(FaultKind{"AccessViolation", L"access-violation",
                                                   EXCEPTION_ACCESS_VIOLATION, EXCEPTION_ILLEGAL_INSTRUCTION},
                                         FaultKind{"StackOverflow", L"stack-overflow",
                                                   EXCEPTION_STACK_OVERFLOW, EXCEPTION_STACK_OVERFLOW},
                                         FaultKind{"UncaughtException", L"uncaught-exception",
                                                   CCrashDumpWriter::kUncaughtExceptionCode,
                                                   CCrashDumpWriter::kUncaughtExceptionCode}),
                         [](const testing::TestParamInfo<FaultKind>& info) {
                             return std::string(info.param.name);
                         });
