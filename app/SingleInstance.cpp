#include "app/SingleInstance.h"

namespace {

constexpr DWORD kPollIntervalMs = 50;
// How long a window of the running copy may take to answer before it counts as hung.
constexpr UINT kAnswerTimeoutMs = 1000;

struct DialogSearch {
    DWORD processId;
    UINT message;
    int posted;
};

// Every top-level dialog of the holder that answers gets the request; only its main window acts
// on it. A posted message alone would count as delivered to a window that hangs.
BOOL CALLBACK PostToDialogsOfProcess(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<DialogSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId) {
        return TRUE;
    }
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (lstrcmpW(className, L"#32770") != 0) {
        return TRUE;
    }
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kAnswerTimeoutMs,
                            &answer) != 0 &&
        PostMessageW(window, search->message, 0, 0)) {
        ++search->posted;
    }
    return TRUE;
}

bool TimeLeft(DWORD deadline) { return static_cast<LONG>(deadline - GetTickCount()) > 0; }

bool ProcessIsAlive(DWORD processId) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (process == nullptr) {
        return GetLastError() == ERROR_ACCESS_DENIED;  // there, but not ours to open
    }
    const bool alive = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return alive;
}

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

DWORD CSingleInstance::Holder() const {
    return static_cast<DWORD>(InterlockedCompareExchange(&m_record->processId, 0, 0));
}

// Only one of several later starts that find the holder gone takes its place.
bool CSingleInstance::TakeOver(DWORD gone) {
    const auto self = static_cast<LONG>(GetCurrentProcessId());
    m_holder = InterlockedCompareExchange(&m_record->processId, self, static_cast<LONG>(gone)) ==
               static_cast<LONG>(gone);
    return m_holder;
}

// The holder may still be starting (no id or no window yet) or ending (no window any more): try
// until the time is up. A holder that has gone meanwhile leaves its place to this process.
CSingleInstance::HandOverResult CSingleInstance::HandOver(UINT message, DWORD timeoutMs) {
    if (m_holder || m_record == nullptr || message == 0) {
        return m_holder ? HandOverResult::kTakenOver : HandOverResult::kNoAnswer;
    }
    const DWORD deadline = GetTickCount() + timeoutMs;
    bool foregroundAllowed = false;
    for (;;) {
        const DWORD holder = Holder();
        const bool timeLeft = TimeLeft(deadline);
        if (holder != 0 && !ProcessIsAlive(holder)) {
            if (TakeOver(holder)) {
                return HandOverResult::kTakenOver;
            }
            continue;  // another start took the place first: hand over to it
        }
        if (holder == 0 && !timeLeft) {
            // The copy that made the object never said who it is: it died starting.
            return TakeOver(0) ? HandOverResult::kTakenOver : HandOverResult::kNoAnswer;
        }
        if (holder != 0) {
            if (!foregroundAllowed) {
                // This start came from the user, so it may pass the foreground on to the running copy.
                AllowSetForegroundWindow(holder);
                foregroundAllowed = true;
            }
            DialogSearch search = {holder, message, 0};
            EnumWindows(PostToDialogsOfProcess, reinterpret_cast<LPARAM>(&search));
            if (search.posted > 0) {
                return HandOverResult::kDelivered;
            }
        }
        if (!timeLeft) {
            return HandOverResult::kNoAnswer;
        }
        Sleep(kPollIntervalMs);
    }
}
