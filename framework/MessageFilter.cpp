#include "framework/MessageFilter.h"

#include "framework/KernelHandle.h"
#include "framework/ShellCalls.h"

#include <vector>

namespace {

// Carries the dropped file list from the file manager to the window; not in the public headers.
constexpr UINT kCopyGlobalDataMessage = 0x0049;
constexpr UINT kDropMessages[] = {WM_DROPFILES, WM_COPYDATA, kCopyGlobalDataMessage};

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

bool AllowMessageThroughFilter(HWND window, UINT message) {
    const auto change = AfxGetShellCalls().changeWindowMessageFilterEx;
    return change != nullptr && window != nullptr && change(window, message, MSGFLT_ALLOW, nullptr) != FALSE;
}

bool AllowDropMessagesThroughFilter(HWND window) {
    bool allowed = true;
    for (const UINT message : kDropMessages) {
        allowed = AllowMessageThroughFilter(window, message) && allowed;
    }
    return allowed;
}
