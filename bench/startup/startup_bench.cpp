// startup_bench.exe [RUNS] [SHORTCUTS]: how long Dalvorin.exe takes from CreateProcess until its
// main window is shown and idle, against three programs measured the same way in the same run:
// window_twin.exe, Dalvorin's own window (templates, pages, icons, notification-area icon, drop
// target, the desktop's program shortcuts each resolved and given its row and icon) built with
// direct calls and none of our code; platform_floor.exe, a dialog that does only the platform's
// share of Dalvorin's start (common controls 6, the shell and COM libraries, one shell icon query,
// a tab control and a list view); and floor_dialog.exe, the smallest dialog program we can write.
// All four are timed on an empty desktop, then on one of SHORTCUTS (50) program shortcuts, as a
// user's desktop holds; runs alternate between the programs so that a slow spell of the machine
// hits all. Dalvorin and the twin must show a row per shortcut. Prints each program's lower
// quartile and median and its peak working set on each desktop, the ratios of the lower quartiles
// (and, for the twin, of the medians), then the headline "startup ratio: X.XX": Dalvorin over the
// twin on whichever desktop that ratio is larger.
#include "bench/common/ShortcutDesktop.h"

#include <windows.h>
#include <commctrl.h>
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
constexpr int kDefaultRuns = 30;
constexpr int kDefaultShortcuts = 50;

struct CProgram {
    const wchar_t* m_file;
    const wchar_t* m_title;
    const char* m_label;
    bool m_listsDesktop;  // shows a row per program shortcut, and one more for the hint
    std::vector<double> m_samplesMs;
    std::vector<double> m_peakWorkingSetMiB;
};

enum ProgramIndex { kDalvorin, kTwin, kPlatformFloor, kBareDialog, kProgramCount };

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

BOOL CALLBACK CountRows(HWND child, LPARAM param) {
    wchar_t className[64] = {};
    GetClassNameW(child, className, 64);
    if (lstrcmpiW(className, WC_LISTVIEWW) == 0) {
        auto* most = reinterpret_cast<int*>(param);
        *most = std::max(*most, static_cast<int>(SendMessageW(child, LVM_GETITEMCOUNT, 0, 0)));
    }
    return TRUE;
}

// The most rows any list in the window holds: the desktop page's, as the other lists hold one.
int MostListRows(HWND window) {
    int most = 0;
    EnumChildWindows(window, CountRows, reinterpret_cast<LPARAM>(&most));
    return most;
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

// Starts the program, waits for its window, notes its peak working set and the rows of its lists,
// closes it again. Returns the start-up time in ms, or a negative number when the window did not
// appear.
double MeasureOnce(const std::wstring& folder, CProgram& program, int* rows) {
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
    if (window) {
        program.m_peakWorkingSetMiB.push_back(PeakWorkingSetMiB(process.hProcess));
        *rows = MostListRows(window);
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
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

// The value below which the share `fraction` of the values lie, between neighbours where it falls
// between two.
double Quantile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    const double at = fraction * static_cast<double>(values.size() - 1);
    const size_t below = static_cast<size_t>(at);
    const size_t above = std::min(below + 1, values.size() - 1);
    return values[below] + (at - static_cast<double>(below)) * (values[above] - values[below]);
}

double Median(const std::vector<double>& values) { return Quantile(values, 0.5); }

// Other load on the machine only ever makes a start slower, and on a busy machine it slows about
// half of them by a large step: the median then falls on either side of the step from one run to
// the next. The quickest quarter of the starts is what the program itself costs.
double LowerQuartile(const std::vector<double>& values) { return Quantile(values, 0.25); }

// The medians of every program over RUNS alternating runs on the desktop as it is, which holds
// SHORTCUTS program shortcuts; false when a program failed or a list lacked rows.
bool MeasureDesktop(const std::wstring& folder, CProgram (&programs)[kProgramCount], int runs,
                    int shortcuts) {
    for (CProgram& program : programs) {
        program.m_samplesMs.clear();
        program.m_peakWorkingSetMiB.clear();
    }
    // One unmeasured start each: the first start also pays for filling the disk cache.
    for (int run = -1; run < runs; ++run) {
        for (CProgram& program : programs) {
            int rows = 0;
            const double elapsed = MeasureOnce(folder, program, &rows);
            if (elapsed < 0)
                return false;
            if (program.m_listsDesktop && rows != shortcuts + 1) {
                std::fprintf(stderr, "%s showed %d rows for %d program shortcuts and the hint\n",
                             program.m_label, rows, shortcuts);
                return false;
            }
            if (run >= 0)
                program.m_samplesMs.push_back(elapsed);
        }
    }
    std::printf("desktop of %d program shortcuts, %d runs:\n", shortcuts, runs);
    for (const CProgram& program : programs) {
        std::printf("  %ls: lower quartile %.1f ms, median %.1f ms, peak working set %.1f MiB\n",
                    program.m_file, LowerQuartile(program.m_samplesMs), Median(program.m_samplesMs),
                    Median(program.m_peakWorkingSetMiB));
    }
    std::fflush(stdout);
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);  // plain "\n" line ends for the scripts that read this
    const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : kDefaultRuns;
    const int shortcuts = argc > 2 ? std::max(1, _wtoi(argv[2])) : kDefaultShortcuts;
    const std::wstring folder = ModuleFolder();
    CProgram programs[kProgramCount] = {
        {L"Dalvorin.exe", L"Nivvo桌面管理", "Dalvorin", true, {}, {}},
        {L"window_twin.exe", L"window twin", "window twin", true, {}, {}},
        {L"platform_floor.exe", L"platform floor", "platform floor", false, {}, {}},
        {L"floor_dialog.exe", L"floor", "floor", false, {}, {}},
    };

    for (const CProgram& program : programs) {
        if (FindVisibleWindow(0, program.m_title)) {
            std::fprintf(stderr, "%s is already running; close it first\n", program.m_label);
            return 1;
        }
    }
    const int leftovers = bench::DesktopEntryCount();
    if (leftovers != 0) {
        std::fprintf(stderr, "the desktop holds %d entries; start-up is measured from an empty one\n",
                     leftovers);
        return 1;
    }

    // The desktop's two states, each as the ratios over it: empty, then a user's program shortcuts.
    const int desktopSizes[2] = {0, shortcuts};
    double quartiles[2][kProgramCount] = {};
    double medians[2][kProgramCount] = {};
    {
        // The targets are real programs, copies of the bare dialog.
        bench::CShortcutDesktop desktop(L"startup-targets", folder + L"\\floor_dialog.exe");
        for (int i = 0; i < 2; ++i) {
            if (!desktop.GrowTo(desktopSizes[i])) {
                std::fprintf(stderr, "could not write every shortcut\n");
                return 1;
            }
            if (!MeasureDesktop(folder, programs, runs, desktopSizes[i]))
                return 1;
            for (int program = 0; program < kProgramCount; ++program) {
                quartiles[i][program] = LowerQuartile(programs[program].m_samplesMs);
                medians[i][program] = Median(programs[program].m_samplesMs);
            }
        }
    }

    // Each desktop's ratio of Dalvorin over another program, from the lower quartiles or the medians.
    const auto ratio = [&](const double(&times)[2][kProgramCount], int desktop, int other) {
        return times[desktop][kDalvorin] / times[desktop][other];
    };
    const auto printRatios = [&](const char* against, int other) {
        std::printf("startup ratio against %s: %.2f (empty desktop), %.2f (%d shortcuts)\n", against,
                    ratio(quartiles, 0, other), ratio(quartiles, 1, other), shortcuts);
    };
    printRatios("the bare dialog", kBareDialog);
    printRatios("the platform floor", kPlatformFloor);
    std::printf(
        "startup ratio against the twin from the medians: %.2f (empty desktop), %.2f (%d shortcuts)\n",
        ratio(medians, 0, kTwin), ratio(medians, 1, kTwin), shortcuts);
    printRatios("the same window built with direct calls", kTwin);
    const double headline = std::max(ratio(quartiles, 0, kTwin), ratio(quartiles, 1, kTwin));
    std::printf("startup ratio: %.2f\n", headline);
    std::fflush(stdout);
    return 0;
}
