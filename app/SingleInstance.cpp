#include "app/SingleInstance.h"

#include <vector>

namespace {

constexpr DWORD kPollIntervalMs = 50;
// How long the published window may take to answer one probe before it counts as hung.
constexpr UINT kAnswerTimeoutMs = 1000;
constexpr wchar_t kHolderMutexSuffix[] = L".Holder";

// Access to the holder mutex that a later start needs: to wait for it and, once it is abandoned
// or released, to hold it itself.
constexpr DWORD kHolderMutexAccess = SYNCHRONIZE | MUTEX_MODIFY_STATE;

// A full barrier around the read, as the holder writes with interlocked exchanges.
LONG ReadShared(const volatile LONG& value) {
    return InterlockedCompareExchange(const_cast<volatile LONG*>(&value), 0, 0);
}

bool TimeLeft(DWORD deadline) { return static_cast<LONG>(deadline - GetTickCount()) > 0; }

// The security of the shared objects: this user alone, at any integrity level up to the normal
// one. Made by an elevated copy, they would otherwise carry its high level and belong to the
// administrators, and a start without elevation could not open them: it would start a second copy.
class SharedObjectSecurity {
public:
    SharedObjectSecurity() { m_ready = Build(); }
    SECURITY_ATTRIBUTES* Attributes() { return m_ready ? &m_attributes : nullptr; }

private:
    bool Build() {
        if (!ReadUserSid() || !InitializeSecurityDescriptor(&m_descriptor, SECURITY_DESCRIPTOR_REVISION)) {
            return false;
        }
        auto* user = reinterpret_cast<PSID>(m_user.data());
        m_dacl.resize(sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(user));
        auto* dacl = reinterpret_cast<ACL*>(m_dacl.data());
        if (!InitializeAcl(dacl, static_cast<DWORD>(m_dacl.size()), ACL_REVISION) ||
            !AddAccessAllowedAce(dacl, ACL_REVISION, GENERIC_ALL, user) ||
            !SetSecurityDescriptorDacl(&m_descriptor, TRUE, dacl, FALSE)) {
            return false;
        }
        AddNormalLevelLabel();
        m_attributes = {sizeof(m_attributes), &m_descriptor, FALSE};
        return true;
    }

    bool ReadUserSid() {
        HANDLE rawToken = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &rawToken)) {
            return false;
        }
        const CKernelHandle token(rawToken);
        DWORD size = 0;
        GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
        if (size < sizeof(TOKEN_USER)) {
            return false;
        }
        std::vector<BYTE> buffer(size);
        if (!GetTokenInformation(token.Get(), TokenUser, buffer.data(), size, &size)) {
            return false;
        }
        PSID sid = reinterpret_cast<const TOKEN_USER*>(buffer.data())->User.Sid;
        if (sid == nullptr || !IsValidSid(sid)) {
            return false;
        }
        m_user.resize(GetLengthSid(sid));
        return CopySid(static_cast<DWORD>(m_user.size()), m_user.data(), sid) != FALSE;
    }

    // Without a label the objects of an elevated copy take its high level, which a normal start may
    // not write to. A system that has no labels keeps the objects as they are.
    void AddNormalLevelLabel() {
        SID_IDENTIFIER_AUTHORITY authority = SECURITY_MANDATORY_LABEL_AUTHORITY;
        m_label.resize(GetSidLengthRequired(1));
        auto* label = reinterpret_cast<PSID>(m_label.data());
        if (!InitializeSid(label, &authority, 1)) {
            return;
        }
        *GetSidSubAuthority(label, 0) = SECURITY_MANDATORY_MEDIUM_RID;
        m_sacl.resize(sizeof(ACL) + sizeof(SYSTEM_MANDATORY_LABEL_ACE) + GetLengthSid(label));
        auto* sacl = reinterpret_cast<ACL*>(m_sacl.data());
        if (InitializeAcl(sacl, static_cast<DWORD>(m_sacl.size()), ACL_REVISION) &&
            AddMandatoryAce(sacl, ACL_REVISION, 0, SYSTEM_MANDATORY_LABEL_NO_WRITE_UP, label)) {
            SetSecurityDescriptorSacl(&m_descriptor, TRUE, sacl, FALSE);
        }
    }

    bool m_ready = false;
    std::vector<BYTE> m_user;
    std::vector<BYTE> m_label;
    std::vector<BYTE> m_dacl;
    std::vector<BYTE> m_sacl;
    SECURITY_DESCRIPTOR m_descriptor = {};
    SECURITY_ATTRIBUTES m_attributes = {};
};

// A window that does not answer a probe in time is hung; a posted message alone would count as
// delivered to it.
bool Answers(HWND window) {
    DWORD_PTR answer = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kAnswerTimeoutMs,
                               &answer) != 0;
}

}  // namespace

CSingleInstance::CSingleInstance(LPCWSTR name) : m_name(name != nullptr ? name : L"") {}

CSingleInstance::~CSingleInstance() { Close(); }

BOOL CSingleInstance::Claim() {
    if (m_holderMutex.Get() != nullptr) {
        return m_holder;
    }
    SharedObjectSecurity security;
    const std::wstring mutexName = m_name + kHolderMutexSuffix;
    m_holderMutex.Attach(CreateMutexExW(security.Attributes(), mutexName.c_str(), 0, kHolderMutexAccess));
    if (m_holderMutex.Get() == nullptr) {
        return TRUE;
    }
    m_mapping.Attach(CreateFileMappingW(INVALID_HANDLE_VALUE, security.Attributes(), PAGE_READWRITE, 0,
                                        sizeof(Record), m_name.c_str()));
    m_view.Map(m_mapping.Get(), FILE_MAP_READ | FILE_MAP_WRITE, sizeof(Record));
    const DWORD waited = WaitForSingleObject(m_holderMutex.Get(), 0);
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) {
        BecomeHolder();
    }
    return m_holder || SharedRecord() == nullptr;
}

// The record is this process's from now on; its window is published once it can take requests.
void CSingleInstance::BecomeHolder() {
    m_holder = true;
    if (Record* record = SharedRecord()) {
        InterlockedExchange(&record->window, 0);
        InterlockedExchange(&record->processId, static_cast<LONG>(GetCurrentProcessId()));
    }
}

void CSingleInstance::PublishWindow(HWND window) {
    Record* record = SharedRecord();
    if (m_holder && record != nullptr) {
        InterlockedExchange(&record->window, HandleToLong(window));
    }
}

void CSingleInstance::WithdrawWindow() { PublishWindow(nullptr); }

// Only a window that still exists and belongs to the process that published it: a window handle
// of a holder that has gone may be reused by another program.
HWND CSingleInstance::PublishedWindow() const {
    const Record* record = SharedRecord();
    if (record == nullptr) {
        return nullptr;
    }
    const auto processId = static_cast<DWORD>(ReadShared(record->processId));
    const HWND window = static_cast<HWND>(LongToHandle(ReadShared(record->window)));
    DWORD owner = 0;
    if (window == nullptr || !IsWindow(window) || GetWindowThreadProcessId(window, &owner) == 0 ||
        owner != processId) {
        return nullptr;
    }
    return window;
}

// The wait for the holder's mutex is also the pause between two looks: a holder that dies or ends
// meanwhile leaves its place to this process at once. While the holder has no window published it
// is starting (its first scan of a large desktop may take long) or ending: wait for it. Only a
// holder that is up and does not answer in time is reported.
CSingleInstance::HandOverResult CSingleInstance::HandOver(UINT message, DWORD answerTimeoutMs,
                                                          DWORD startingLimitMs) {
    if (m_holder) {
        return HandOverResult::kTakenOver;
    }
    if (m_holderMutex.Get() == nullptr || SharedRecord() == nullptr || message == 0) {
        return HandOverResult::kNoAnswer;
    }
    const DWORD startingDeadline = GetTickCount() + startingLimitMs;
    DWORD answerDeadline = 0;
    bool upSeen = false;
    bool foregroundAllowed = false;
    for (;;) {
        const DWORD waited = WaitForSingleObject(m_holderMutex.Get(), kPollIntervalMs);
        if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) {
            BecomeHolder();
            return HandOverResult::kTakenOver;
        }
        if (waited != WAIT_TIMEOUT) {
            return HandOverResult::kNoAnswer;
        }
        const HWND window = PublishedWindow();
        if (window == nullptr) {
            if (!TimeLeft(startingDeadline)) {
                return HandOverResult::kNoAnswer;
            }
            continue;
        }
        if (!upSeen) {
            upSeen = true;
            answerDeadline = GetTickCount() + answerTimeoutMs;
        }
        if (!foregroundAllowed) {
            // This start came from the user, so it may pass the foreground on to the running copy.
            DWORD holder = 0;
            GetWindowThreadProcessId(window, &holder);
            AllowSetForegroundWindow(holder);
            foregroundAllowed = true;
        }
        if (Answers(window) && PostMessageW(window, message, 0, 0)) {
            return HandOverResult::kDelivered;
        }
        if (!TimeLeft(answerDeadline)) {
            return HandOverResult::kNoAnswer;
        }
    }
}

void CSingleInstance::Close() {
    if (m_holder) {
        WithdrawWindow();
        ReleaseMutex(m_holderMutex.Get());  // a later start takes the place at once
        m_holder = false;
    }
    m_view.Close();
    m_mapping.Close();
    m_holderMutex.Close();
}
