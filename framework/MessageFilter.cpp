#include "framework/MessageFilter.h"

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

}  // namespace

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
