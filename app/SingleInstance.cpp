#include "app/SingleInstance.h"

namespace {

constexpr DWORD kPollIntervalMs = 50;

struct DialogSearch {
    DWORD processId;
    UINT message;
    int posted;
};

// Every top-level dialog of the holder gets the request; only its main window acts on it.
BOOL CALLBACK PostToDialogsOfProcess(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<DialogSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId) {
        return TRUE;
    }
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (lstrcmpW(className, L"#32770") == 0 && PostMessageW(window, search->message, 0, 0)) {
        ++search->posted;
    }
    return TRUE;
}

bool TimeLeft(DWORD deadline) { return static_cast<LONG>(deadline - GetTickCount()) > 0; }

}  // namespace

CSingleInstance::CSingleInstance(LPCWSTR name) : m_name(name) {}

CSingleInstance::~CSingleInstance() {
    if (m_record != nullptr) {
        UnmapViewOfFile(m_record);
    }
    if (m_mapping != nullptr) {
        CloseHandle(m_mapping);
    }
}

BOOL CSingleInstance::Claim() {
    if (m_mapping != nullptr) {
        return m_holder;
    }
    m_mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Record), m_name);
    if (m_mapping == nullptr) {
        return TRUE;
    }
    m_holder = GetLastError() != ERROR_ALREADY_EXISTS;
    m_record = static_cast<Record*>(MapViewOfFile(m_mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Record)));
    if (m_holder && m_record != nullptr) {
        InterlockedExchange(&m_record->processId, static_cast<LONG>(GetCurrentProcessId()));
    }
    return m_holder || m_record == nullptr;
}

// The holder writes its id right after making the object; a start at that very moment waits.
DWORD CSingleInstance::WaitForHolder(DWORD deadline) const {
    for (;;) {
        const auto processId = static_cast<DWORD>(InterlockedCompareExchange(&m_record->processId, 0, 0));
        if (processId != 0 || !TimeLeft(deadline)) {
            return processId;
        }
        Sleep(kPollIntervalMs);
    }
}

// The holder may still be starting, with no window yet: try until the time is up.
BOOL CSingleInstance::HandOver(UINT message, DWORD timeoutMs) const {
    if (m_holder || m_record == nullptr || message == 0) {
        return FALSE;
    }
    const DWORD deadline = GetTickCount() + timeoutMs;
    const DWORD holder = WaitForHolder(deadline);
    if (holder == 0) {
        return FALSE;
    }
    // This start came from the user, so it may pass the foreground on to the running copy.
    AllowSetForegroundWindow(holder);
    for (;;) {
        DialogSearch search = {holder, message, 0};
        EnumWindows(PostToDialogsOfProcess, reinterpret_cast<LPARAM>(&search));
        if (search.posted > 0) {
            return TRUE;
        }
        if (!TimeLeft(deadline)) {
            return FALSE;
        }
        Sleep(kPollIntervalMs);
    }
}
