// Notices a soak that stopped moving. Every wait of the soak's own is bounded, but a call into the
// system may not be (a window that never answers, a runtime that hangs): after a stretch with no
// new stage the watchdog says where the soak stood and what had the foreground, and ends the run,
// so that a hang is reported with its step instead of ending in the suite's time limit.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class CSoakWatchdog {
public:
    using Report = std::function<void(const std::wstring&)>;
    // `report` is called from the watchdog's thread, once, before the process ends with `exitCode`.
    CSoakWatchdog(Report report, DWORD stuckMs, int exitCode);
    ~CSoakWatchdog();
    CSoakWatchdog(const CSoakWatchdog&) = delete;
    CSoakWatchdog& operator=(const CSoakWatchdog&) = delete;

    // Where the soak is: a step, then what it does in it (text that lives for the whole run).
    static void Step(int step);
    static void Stage(const wchar_t* stage);

private:
    void Watch();
    static std::wstring Foreground();

    Report m_report;
    DWORD m_stuckMs;
    int m_exitCode;
    std::mutex m_mutex;
    std::condition_variable m_stop;
    bool m_stopping = false;
    std::thread m_thread;
};
