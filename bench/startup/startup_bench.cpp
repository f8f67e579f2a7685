// startup_bench.exe [RUNS]: how long Dalvorin.exe takes from CreateProcess until its main window is
// shown and idle, against three programs measured the same way in the same run: floor_dialog.exe,
// the smallest dialog program we can write; platform_floor.exe, a dialog that does only the
// platform's share of Dalvorin's start (common controls 6, the shell and COM libraries, one shell
// icon query, a tab control and a list view); and window_twin.exe, Dalvorin's own window (templates,
// pages, icons, notification-area icon, drop target) built with direct calls and none of our code.
// Runs alternate between them so that a slow spell of the machine hits all. Prints the medians and
// peak working sets, the ratio against the twin (the cost of our own code), the ratio against the
// bare dialog, then the headline "startup ratio: X.XX" (Dalvorin / platform floor).
#include <windows.h>
#include <psapi.h>
#include <fcntl.h>
#include <io.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr DWORD kStartTimeoutMs = 120000;
constexpr DWORD kExitTimeoutMs = 20000;
constexpr int kDefaultRuns = 15;

struct CProgram {
    const wchar_t* m_file;
    const wchar_t* m_title;
    const char* m_label;
    std::vector<double> m_samplesMs;
    std::vector<double> m_peakWorkingSetMiB;
};

struct CWindowSearch {
    DWORD m_processId;
    const wchar_t* m_title;
    HWND m_found;
};

BOOL CALLBACK CheckWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<CWindowSearch*>(param);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (search->m_processId != 0 && processId != search->m_processId)
        return TRUE;
    if (!IsWindowVisible(window))
        return TRUE;
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    if (wcscmp(text, search->m_title) != 0)
        return TRUE;
    search->m_found = window;
    return FALSE;
}

// The visible top-level window titled TITLE, of process PROCESSID (any process when 0).
HWND FindVisibleWindow(DWORD processId, const wchar_t* title) {
    CWindowSearch search = {processId, title, nullptr};
    EnumWindows(CheckWindow, reinterpret_cast<LPARAM>(&search));
    return search.m_found;
}

std::wstring ModuleFolder() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    const size_t slash = folder.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".") : folder.substr(0, slash);
}

double ElapsedMs(const LARGE_INTEGER& start) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 /
           static_cast<double>(frequency.QuadPart);
}

double PeakWorkingSetMiB(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(process, &counters, sizeof(counters))) {
        return 0;
    }
    return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

// Starts the program, waits for its window, notes its peak working set, closes it again. Returns
// the start-up time in ms, or a negative number when the window did not appear.
double MeasureOnce(const std::wstring& folder, CProgram& program) {
    const std::wstring path = folder + L"\\" + program.m_file;
    std::wstring commandLine = L"\"" + path + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};

    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &process)) {
        std::fprintf(stderr, "cannot start %ls (error %lu)\n", path.c_str(), GetLastError());
        return -1;
    }
    WaitForInputIdle(process.hProcess, kStartTimeoutMs);
    HWND window = FindVisibleWindow(process.dwProcessId, program.m_title);
    while (!window && ElapsedMs(start) < kStartTimeoutMs &&
           WaitForSingleObject(process.hProcess, 1) == WAIT_TIMEOUT) {
        window = FindVisibleWindow(process.dwProcessId, program.m_title);
    }
    const double elapsed = ElapsedMs(start);
    if (window)
        program.m_peakWorkingSetMiB.push_back(PeakWorkingSetMiB(process.hProcess));

    if (window)
        PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, window ? kExitTimeoutMs : 0) != WAIT_OBJECT_0) {
        if (window)
            std::fprintf(stderr, "%s did not exit after WM_CLOSE; terminating it\n", program.m_label);
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, kExitTimeoutMs);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (!window) {
        std::fprintf(stderr, "%s: no visible window \"%ls\" appeared\n", program.m_label, program.m_title);
        return -1;
    }
    return elapsed;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);  // plain "\n" line ends for the scripts that read this
    const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : kDefaultRuns;
    const std::wstring folder = ModuleFolder();
    CProgram programs[] = {
        {L"Dalvorin.exe", L"Nivvo桌面管理", "Dalvorin", {}, {}},
        {L"floor_dialog.exe", L"floor", "floor", {}, {}},
        {L"platform_floor.exe", L"platform floor", "platform floor", {}, {}},
        {L"window_twin.exe", L"window twin", "window twin", {}, {}},
    };

    for (const CProgram& program : programs) {
        if (FindVisibleWindow(0, program.m_title)) {
            std::fprintf(stderr, "%s is already running; close it first\n", program.m_label);
            return 1;
        }
    }
    // One unmeasured start each: the first start also pays for filling the disk cache.
    for (CProgram& program : programs) {
        if (MeasureOnce(folder, program) < 0)
            return 1;
    }
    for (int run = 0; run < runs; ++run) {
        for (CProgram& program : programs) {
            const double elapsed = MeasureOnce(folder, program);
            if (elapsed < 0)
                return 1;
            program.m_samplesMs.push_back(elapsed);
        }
    }

    const double dalvorinMs = Median(programs[0].m_samplesMs);
    const double floorMs = Median(programs[1].m_samplesMs);
    const double platformMs = Median(programs[2].m_samplesMs);
    const double twinMs = Median(programs[3].m_samplesMs);
    std::printf("Dalvorin.exe median: %.1f ms (%d runs), peak working set after start-up %.1f MiB\n",
                dalvorinMs, runs, Median(programs[0].m_peakWorkingSetMiB));
    std::printf("floor_dialog.exe median: %.1f ms, peak working set %.1f MiB\n", floorMs,
                Median(programs[1].m_peakWorkingSetMiB));
    std::printf("platform_floor.exe median: %.1f ms, peak working set %.1f MiB\n", platformMs,
                Median(programs[2].m_peakWorkingSetMiB));
    std::printf("window_twin.exe median: %.1f ms, peak working set %.1f MiB\n", twinMs,
                Median(programs[3].m_peakWorkingSetMiB));
    std::printf("startup ratio against the same window built with direct calls: %.2f\n", dalvorinMs / twinMs);
    std::printf("startup ratio against the bare dialog: %.2f\n", dalvorinMs / floorMs);
    std::printf("startup ratio: %.2f\n", dalvorinMs / platformMs);
    std::fflush(stdout);
    return 0;
}
