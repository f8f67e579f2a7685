#include "bench/user_soak/SoakTarget.h"

#include "res/resource.h"
#include "support/ScreenSpots.h"

#include <commctrl.h>
#include <tlhelp32.h>

#include <tuple>

namespace {

constexpr size_t kSharedBytes = 8192;
constexpr int kTextChars = 1024;
// A window of the program that does not answer in this time counts as hung for one read.
constexpr UINT kAnswerMs = 3000;
constexpr int kMessageBoxTextId = 0xFFFF;

struct TextRequest {
    LVITEMW item;
    wchar_t text[kTextChars];
};

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring TitleOf(HWND window) {
    wchar_t title[256] = {};
    GetWindowTextW(window, title, 256);
    return title;
}

struct WindowSearch {
    DWORD process;
    CSoakWindows* found;
};

BOOL CALLBACK SortWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    if (CScreenSpots::ProcessOf(window) != search->process) {
        return TRUE;
    }
    CSoakWindows& found = *search->found;
    found.all.push_back(window);
    const std::wstring className = ClassOf(window);
    if (className == L"#32768") {
        if (IsWindowVisible(window)) {
            found.menu = window;
        }
        return TRUE;
    }
    if (className != L"#32770") {
        return TRUE;
    }
    const std::wstring title = TitleOf(window);
    if (GetDlgItem(window, IDC_TAB) != nullptr && GetDlgItem(window, IDC_START_BUTTON) != nullptr) {
        found.main = window;
        ++found.mains;
    } else if (GetDlgItem(window, IDC_PASSWORD_EDIT) != nullptr && title == L"请输入密码") {
        found.prompt = window;
        ++found.prompts;
    } else if (GetDlgItem(window, IDC_PASSWORD_EDIT) != nullptr && title == L"密码") {
        found.create = window;
    } else if (title == L"关于 Dalvorin") {
        found.about = window;
    } else if (IsWindowVisible(window)) {
        found.boxes.push_back(window);
    }
    return TRUE;
}

std::vector<PROCESSENTRY32W> AllProcesses() {
    std::vector<PROCESSENTRY32W> processes;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return processes;
    }
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        processes.push_back(entry);
    }
    CloseHandle(snapshot);
    return processes;
}

}  // namespace

bool CSoakRow::operator<(const CSoakRow& other) const {
    return std::tie(name, path, target) < std::tie(other.name, other.path, other.target);
}

bool CSoakRow::operator==(const CSoakRow& other) const {
    return name == other.name && path == other.path && target == other.target;
}

CSoakTarget::~CSoakTarget() { Close(); }

bool CSoakTarget::Start(const std::wstring& exe, const std::wstring& folder) {
    Close();
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &info)) {
        return false;
    }
    CloseHandle(info.hThread);
    m_process = info.hProcess;
    m_id = info.dwProcessId;
    return true;
}

DWORD CSoakTarget::WaitForEnd(DWORD timeoutMs) const {
    DWORD code = STILL_ACTIVE;
    if (m_process != nullptr && WaitForSingleObject(m_process, timeoutMs) == WAIT_OBJECT_0) {
        GetExitCodeProcess(m_process, &code);
    }
    return code;
}

void CSoakTarget::Kill() {
    if (m_process != nullptr && WaitForEnd(0) == STILL_ACTIVE) {
        TerminateProcess(m_process, 1);
        WaitForSingleObject(m_process, 5000);
    }
}

void CSoakTarget::Close() {
    m_shared.reset();
    if (m_process != nullptr) {
        CloseHandle(m_process);
    }
    m_process = nullptr;
    m_id = 0;
    m_probeRemote = 0;
}

CSoakWindows CSoakTarget::Windows() const {
    CSoakWindows found;
    if (m_id != 0) {
        WindowSearch search = {m_id, &found};
        EnumWindows(SortWindow, reinterpret_cast<LPARAM>(&search));
    }
    return found;
}

namespace {

BOOL CALLBACK CountChild(HWND, LPARAM param) {
    ++*reinterpret_cast<int*>(param);
    return TRUE;
}

}  // namespace

int CSoakTarget::WindowCount() const {
    int count = 0;
    for (const HWND window : Windows().all) {
        ++count;
        EnumChildWindows(window, CountChild, reinterpret_cast<LPARAM>(&count));
    }
    return count;
}

std::wstring CSoakTarget::BoxText(HWND box) {
    const HWND text = GetDlgItem(box, kMessageBoxTextId);
    return text != nullptr ? TitleOf(text) : TitleOf(box);
}

RemoteSharedMemory* CSoakTarget::Shared() {
    if (!m_shared && m_process != nullptr) {
        m_shared = std::make_unique<RemoteSharedMemory>(m_process, kSharedBytes);
    }
    return m_shared && m_shared->Valid() ? m_shared.get() : nullptr;
}

int CSoakTarget::RowCount(HWND list) const {
    DWORD_PTR count = 0;
    if (!SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &count)) {
        return -1;
    }
    return static_cast<int>(count);
}

std::wstring CSoakTarget::ItemText(HWND list, int item, int subItem) {
    RemoteSharedMemory* memory = Shared();
    if (memory == nullptr) {
        return L"<unreadable>";
    }
    auto* local = memory->Local<TextRequest>();
    local->item = LVITEMW{};
    local->item.iSubItem = subItem;
    local->item.pszText = memory->Remote<TextRequest>()->text;
    local->item.cchTextMax = kTextChars;
    local->text[0] = L'\0';
    DWORD_PTR length = 0;
    SendMessageTimeoutW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item),
                        reinterpret_cast<LPARAM>(&memory->Remote<TextRequest>()->item), SMTO_ABORTIFHUNG,
                        kAnswerMs, &length);
    local->text[kTextChars - 1] = L'\0';
    return local->text;
}

std::vector<CSoakRow> CSoakTarget::Rows(HWND list) {
    std::vector<CSoakRow> rows;
    const int count = RowCount(list);
    for (int i = 0; i < count; ++i) {
        rows.push_back({ItemText(list, i, 0), ItemText(list, i, 1), ItemText(list, i, 2)});
    }
    return rows;
}

RECT CSoakTarget::RowRect(HWND list, int item) {
    RECT rect = {};
    RemoteSharedMemory* memory = Shared();
    DWORD_PTR answer = 0;
    if (memory == nullptr || !SendMessageTimeoutW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), FALSE,
                                                  SMTO_ABORTIFHUNG, kAnswerMs, &answer)) {
        return rect;
    }
    memory->Local<RECT>()->left = LVIR_ICON;
    if (SendMessageTimeoutW(list, LVM_GETITEMRECT, static_cast<WPARAM>(item),
                            reinterpret_cast<LPARAM>(memory->Remote<RECT>()), SMTO_ABORTIFHUNG, kAnswerMs,
                            &answer) &&
        answer != 0) {
        rect = *memory->Local<RECT>();
        MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    }
    return rect;
}

RECT CSoakTarget::TabRect(HWND tab, int index) {
    RECT rect = {};
    RemoteSharedMemory* memory = Shared();
    DWORD_PTR answer = 0;
    if (memory != nullptr &&
        SendMessageTimeoutW(tab, TCM_GETITEMRECT, static_cast<WPARAM>(index),
                            reinterpret_cast<LPARAM>(memory->Remote<RECT>()), SMTO_ABORTIFHUNG, kAnswerMs,
                            &answer) &&
        answer != 0) {
        rect = *memory->Local<RECT>();
        MapWindowPoints(tab, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    }
    return rect;
}

// Every Wine process maps kernel32 at the same place, as Windows does within a boot: LoadLibraryW
// has the same address there as here.
bool CSoakTarget::LoadProbe(const std::wstring& dllPath) {
    if (m_probeRemote != 0) {
        return true;
    }
    if (m_probeLocal == nullptr) {
        m_probeLocal = LoadLibraryW(dllPath.c_str());
    }
    const auto loadLibrary = reinterpret_cast<ULONG_PTR>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW")));
    if (m_probeLocal == nullptr || loadLibrary == 0 || m_process == nullptr) {
        return false;
    }
    RemoteSharedMemory path(m_process, (dllPath.size() + 1) * sizeof(wchar_t));
    if (!path.Valid()) {
        return false;
    }
    lstrcpyW(path.Local<wchar_t>(), dllPath.c_str());
    const HANDLE thread =
        CreateRemoteThread(m_process, nullptr, 0, reinterpret_cast<LPTHREAD_START_ROUTINE>(loadLibrary),
                           path.Remote<wchar_t>(), 0, nullptr);
    if (thread == nullptr) {
        return false;
    }
    DWORD module = 0;
    if (WaitForSingleObject(thread, 10000) == WAIT_OBJECT_0) {
        GetExitCodeThread(thread, &module);
    }
    CloseHandle(thread);
    m_probeRemote = module;
    return m_probeRemote != 0;
}

DWORD CSoakTarget::CallProbe(const char* exportName, const void* data, size_t size, DWORD timeoutMs,
                             DWORD failed) {
    const auto local =
        reinterpret_cast<ULONG_PTR>(reinterpret_cast<void*>(GetProcAddress(m_probeLocal, exportName)));
    if (m_probeRemote == 0 || local == 0) {
        return failed;
    }
    const ULONG_PTR remote = local - reinterpret_cast<ULONG_PTR>(m_probeLocal) + m_probeRemote;
    RemoteSharedMemory memory(m_process, size > 0 ? size : 4);
    if (!memory.Valid()) {
        return failed;
    }
    if (size > 0) {
        CopyMemory(memory.Local<void>(), data, size);
    }
    const HANDLE thread =
        CreateRemoteThread(m_process, nullptr, 0, reinterpret_cast<LPTHREAD_START_ROUTINE>(remote),
                           memory.Remote<void>(), 0, nullptr);
    if (thread == nullptr) {
        return failed;
    }
    DWORD result = failed;
    if (WaitForSingleObject(thread, timeoutMs) == WAIT_OBJECT_0) {
        GetExitCodeThread(thread, &result);
    }
    CloseHandle(thread);
    return result;
}

std::vector<DWORD> CSoakTarget::ProcessesNamed(const wchar_t* exeName) {
    std::vector<DWORD> found;
    for (const PROCESSENTRY32W& entry : AllProcesses()) {
        if (lstrcmpiW(entry.szExeFile, exeName) == 0) {
            found.push_back(entry.th32ProcessID);
        }
    }
    return found;
}

std::vector<DWORD> CSoakTarget::ChildrenOf(DWORD parent) {
    std::vector<DWORD> found;
    for (const PROCESSENTRY32W& entry : AllProcesses()) {
        if (entry.th32ParentProcessID == parent) {
            found.push_back(entry.th32ProcessID);
        }
    }
    return found;
}
