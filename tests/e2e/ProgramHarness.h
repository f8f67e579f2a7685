// Starts copies of the real program and finds their windows from outside, as a user's tools
// would. Every wait is bounded.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// A started program; ended on the way out if it still runs.
class Program {
public:
    explicit Program(const std::wstring& path, const std::wstring& workingFolder = L"") {
        std::wstring commandLine = L"\"" + path + L"\"";
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        m_started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup,
                                   &m_process) != FALSE;
    }
    ~Program() {
        if (!m_started) {
            return;
        }
        if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(m_process.hProcess, 1);
            WaitForSingleObject(m_process.hProcess, 10000);
        }
        CloseHandle(m_process.hThread);
        CloseHandle(m_process.hProcess);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool Started() const { return m_started; }
    DWORD Id() const { return m_process.dwProcessId; }
    HANDLE Process() const { return m_process.hProcess; }
    // The exit code once the program has ended within the time, otherwise STILL_ACTIVE.
    DWORD WaitForExit(DWORD timeoutMs) const {
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(m_process.hProcess, timeoutMs) == WAIT_OBJECT_0) {
            GetExitCodeProcess(m_process.hProcess, &code);
        }
        return code;
    }

private:
    PROCESS_INFORMATION m_process = {};
    bool m_started = false;
};

inline std::wstring Text(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

// Polls `condition` every 50 ms until it holds or the time is up.
inline bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) {
            return true;
        }
        if (GetTickCount() - start >= timeoutMs) {
            return false;
        }
        Sleep(50);
    }
}

struct WindowSearch {
    const std::wstring* title;
    DWORD processId;
    std::vector<HWND> found;
};

// Win32 callbacks are named functions: on i686 a lambda converts only to a __cdecl pointer.
inline BOOL CALLBACK CollectTitledWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if ((search->processId == 0 || owner == search->processId) && Text(window) == *search->title) {
        search->found.push_back(window);
    }
    return TRUE;
}

inline BOOL CALLBACK CollectStaticText(HWND child, LPARAM param) {
    wchar_t className[16] = {};
    GetClassNameW(child, className, 16);
    const bool icon = (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
    if (lstrcmpiW(className, L"Static") == 0 && !icon) {
        reinterpret_cast<std::vector<std::wstring>*>(param)->push_back(Text(child));
    }
    return TRUE;
}

// Top-level windows with this title, of the given process (0: of any process).
inline std::vector<HWND> TopLevelWindows(const std::wstring& title, DWORD processId) {
    WindowSearch search = {&title, processId, {}};
    EnumWindows(CollectTitledWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The visible top-level window with this title of the process, waited for.
inline HWND WaitForWindow(const std::wstring& title, DWORD processId, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : TopLevelWindows(title, processId)) {
                if (IsWindowVisible(window)) {
                    found = window;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

// The texts of a window's static controls, in order.
inline std::vector<std::wstring> StaticTexts(HWND dialog) {
    std::vector<std::wstring> texts;
    EnumChildWindows(dialog, CollectStaticText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

}  // namespace e2e
