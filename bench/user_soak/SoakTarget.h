// The launcher as the soak sees it from outside: its process, its windows (found through the
// process id, never by title alone), the rows of its lists and the places of its tabs (read
// through memory both processes see), and the probe library run inside it.
#pragma once

#include "support/RemoteSharedMemory.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

struct CSoakRow {
    std::wstring name;
    std::wstring path;
    std::wstring target;
    bool operator<(const CSoakRow& other) const;
    bool operator==(const CSoakRow& other) const;
};

// The process's top-level windows, sorted by what they are.
struct CSoakWindows {
    HWND main = nullptr;
    int mains = 0;
    HWND prompt = nullptr;  // "请输入密码"
    int prompts = 0;
    HWND create = nullptr;  // "密码", where a password is made
    HWND about = nullptr;
    std::vector<HWND> boxes;  // shown message boxes
    HWND menu = nullptr;      // a shown pop-up menu
    std::vector<HWND> all;
};

class CSoakTarget {
public:
    CSoakTarget() = default;
    ~CSoakTarget();
    CSoakTarget(const CSoakTarget&) = delete;
    CSoakTarget& operator=(const CSoakTarget&) = delete;

    bool Start(const std::wstring& exe, const std::wstring& folder);
    bool Started() const { return m_process != nullptr; }
    DWORD Id() const { return m_id; }
    // STILL_ACTIVE while it runs, else its exit code.
    DWORD WaitForEnd(DWORD timeoutMs) const;
    void Kill();
    // Lets go of an ended process.
    void Close();

    CSoakWindows Windows() const;
    // Every window of the process, top-level and child.
    int WindowCount() const;
    // Message-box text (the static the system gives the id 0xFFFF), or the caption when it has none.
    static std::wstring BoxText(HWND box);

    int RowCount(HWND list) const;
    std::vector<CSoakRow> Rows(HWND list);
    // A row's icon, scrolled into view first, in screen coordinates; empty when it cannot be read.
    RECT RowRect(HWND list, int item);
    RECT TabRect(HWND tab, int index);

    // Loads user_soak_probe.dll into the process once; false when it cannot.
    bool LoadProbe(const std::wstring& dllPath);
    // Runs an export of the probe on a thread of the process with `data` copied into memory it
    // sees; the thread's exit code, or `failed` when it could not run in time.
    DWORD CallProbe(const char* exportName, const void* data, size_t size, DWORD timeoutMs, DWORD failed);

    // Every running process of that exe name.
    static std::vector<DWORD> ProcessesNamed(const wchar_t* exeName);
    // Processes whose parent is `parent`.
    static std::vector<DWORD> ChildrenOf(DWORD parent);

private:
    RemoteSharedMemory* Shared();
    std::wstring ItemText(HWND list, int item, int subItem);

    HANDLE m_process = nullptr;
    DWORD m_id = 0;
    std::unique_ptr<RemoteSharedMemory> m_shared;
    HMODULE m_probeLocal = nullptr;
    DWORD m_probeRemote = 0;
};
