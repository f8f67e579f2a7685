#include "bench/user_soak/SoakWatchdog.h"

#include <atomic>
#include <cstdio>

namespace {

constexpr DWORD kLookEveryMs = 1000;

std::atomic<int> g_step{0};
std::atomic<const wchar_t*> g_stage{L"starting"};
std::atomic<DWORD> g_since{GetTickCount()};

}  // namespace

CSoakWatchdog::CSoakWatchdog(Report report, DWORD stuckMs, int exitCode)
    : m_report(std::move(report)), m_stuckMs(stuckMs), m_exitCode(exitCode) {
    g_since = GetTickCount();
    m_thread = std::thread([this] { Watch(); });
}

CSoakWatchdog::~CSoakWatchdog() {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_stop.notify_one();
    m_thread.join();
}

void CSoakWatchdog::Step(int step) {
    g_step = step;
    Stage(L"choosing");
}

void CSoakWatchdog::Stage(const wchar_t* stage) {
    g_stage = stage;
    g_since = GetTickCount();
}

void CSoakWatchdog::Watch() {
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stop.wait_for(lock, std::chrono::milliseconds(kLookEveryMs), [this] { return m_stopping; })) {
        const DWORD still = GetTickCount() - g_since;
        if (still < m_stuckMs) {
            continue;
        }
        m_report(L"user_soak: stuck at step " + std::to_wstring(g_step.load()) + L" (" + g_stage.load() +
                 L") for " + std::to_wstring(still / 1000) + L" s; foreground: " + Foreground());
        std::fflush(nullptr);
        ExitProcess(static_cast<UINT>(m_exitCode));
    }
}

std::wstring CSoakWatchdog::Foreground() {
    const HWND window = GetForegroundWindow();
    if (window == nullptr) {
        return L"none";
    }
    wchar_t className[64] = {};
    GetClassNameW(window, className, static_cast<int>(std::size(className)));
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return std::wstring(className) + L" of process " + std::to_wstring(process) +
           (IsHungAppWindow(window) ? L", not answering" : L"");
}
