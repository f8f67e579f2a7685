#include "framework/MessageFilter.h"

#include <vector>

namespace {

// Carries the dropped file list from the file manager to the window; not in the public headers.
constexpr UINT kCopyGlobalDataMessage = 0x0049;
constexpr UINT kDropMessages[] = {WM_DROPFILES, WM_COPYDATA, kCopyGlobalDataMessage};
using ChangeWindowMessageFilterExFn = decltype(&ChangeWindowMessageFilterEx);

// Looked up at run time: user32 has it only from Windows 7 on, so a direct import would stop the
// program from starting on older systems.
ChangeWindowMessageFilterExFn FindChangeWindowMessageFilterEx() {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<ChangeWindowMessageFilterExFn>(
        reinterpret_cast<void*>(GetProcAddress(user32, "ChangeWindowMessageFilterEx")));
}

// Owns one kernel handle (process or token).
class CKernelHandle {
public:
    explicit CKernelHandle(HANDLE handle) : m_handle(handle) {}
    ~CKernelHandle() {
        if (m_handle != nullptr) {
            CloseHandle(m_handle);
        }
    }
    CKernelHandle(const CKernelHandle&) = delete;
    CKernelHandle& operator=(const CKernelHandle&) = delete;
    HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle;
};

// The mandatory integrity level (a SECURITY_MANDATORY_*_RID) of `process`, or 0 when unknown.
DWORD IntegrityLevelOf(HANDLE process) {
    HANDLE rawToken = nullptr;
    if (process == nullptr || !OpenProcessToken(process, TOKEN_QUERY, &rawToken)) {
        return 0;
    }
    const CKernelHandle token(rawToken);
    DWORD size = 0;
    GetTokenInformation(token.Get(), TokenIntegrityLevel, nullptr, 0, &size);
    if (size < sizeof(TOKEN_MANDATORY_LABEL)) {
        return 0;
    }
    std::vector<BYTE> buffer(size);
    if (!GetTokenInformation(token.Get(), TokenIntegrityLevel, buffer.data(), size, &size)) {
        return 0;
    }
    PSID sid = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(buffer.data())->Label.Sid;
    if (sid == nullptr || !IsValidSid(sid) || *GetSidSubAuthorityCount(sid) == 0) {
        return 0;
    }
    return *GetSidSubAuthority(sid, *GetSidSubAuthorityCount(sid) - 1u);
}

}  // namespace

bool IsShellBelowOurIntegrity() {
    DWORD shellProcessId = 0;
    HWND shell = GetShellWindow();
    if (shell == nullptr || GetWindowThreadProcessId(shell, &shellProcessId) == 0) {
        return false;
    }
    const CKernelHandle shellProcess(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, shellProcessId));
    const DWORD shellLevel = IntegrityLevelOf(shellProcess.Get());
    const DWORD ourLevel = IntegrityLevelOf(GetCurrentProcess());
    return shellLevel != 0 && ourLevel != 0 && shellLevel < ourLevel;
}

bool AllowDropMessagesThroughFilter(HWND window) {
    static const ChangeWindowMessageFilterExFn change = FindChangeWindowMessageFilterEx();
    if (change == nullptr || window == nullptr) {
        return false;
    }
    bool allowed = true;
    for (const UINT message : kDropMessages) {
        allowed = change(window, message, MSGFLT_ALLOW, nullptr) != FALSE && allowed;
    }
    return allowed;
}
