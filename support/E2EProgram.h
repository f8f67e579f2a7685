// The real program started from a test or a tool, and its windows found from outside by process id (a
// title alone is no identity). Waiting is unavoidable across processes: every wait polls, bounded.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// A started program, ended on the way out if it still runs.
class Program {
public:
    explicit Program(std::wstring path, const std::wstring& startFolder = L"") {
        std::wstring commandLine = L"\"" + path + L"\"";
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        m_started =
            CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           startFolder.empty() ? nullptr : startFolder.c_str(), &startup, &m_info) != 0;
    }
    ~Program() {
        if (m_started && WaitForExit(0) == STILL_ACTIVE) {
            TerminateProcess(m_info.hProcess, 1);
            WaitForSingleObject(m_info.hProcess, 10000);
        }
        if (m_started) {
            CloseHandle(m_info.hThread);
            CloseHandle(m_info.hProcess);
        }
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool Started() const { return m_started; }
    DWORD Id() const { return m_info.dwProcessId; }
    HANDLE Process() const { return m_info.hProcess; }
    DWORD WaitForExit(DWORD timeoutMs) const {
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(m_info.hProcess, timeoutMs) == WAIT_OBJECT_0) {
            GetExitCodeProcess(m_info.hProcess, &code);
        }
        return code;
    }

private:
    PROCESS_INFORMATION m_info = {};
    bool m_started = false;
};

inline bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 20000) {
    for (const DWORD start = GetTickCount(); !condition(); Sleep(50)) {
        if (GetTickCount() - start >= timeoutMs) {
            return false;
        }
    }
    return true;
}

// The top-level windows with this title, of one process (0: of any).
inline std::vector<HWND> Windows(const wchar_t* title, DWORD processId) {
    std::vector<HWND> found;
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, nullptr, title)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (processId == 0 || owner == processId) {
            found.push_back(window);
        }
    }
    return found;
}

inline HWND WaitForVisibleWindow(const wchar_t* title, DWORD processId, DWORD timeoutMs = 30000) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : Windows(title, processId)) {
                found = IsWindowVisible(window) ? window : found;
            }
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

}  // namespace e2e
