// user_soak_probe.dll: loaded into the running launcher by user_soak_bench.exe (a thread of its own
// runs LoadLibraryW there), which then runs the exports below on threads of their own; a thread's
// exit code is the answer. Nothing of the shipped program changes.
//   SoakObjectCount: the GDI objects and the USER objects other than windows that the process
//     holds (GDI in the low 16 bits, USER in the high ones).
//   SoakPostDrop: posts WM_DROPFILES with a block allocated in this process, as the shell does for
//     a window that takes dropped files; 1 when posted.
#include "bench/user_soak/SoakDropRequest.h"
#include "tests/common/DropFiles.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Handle tables: GDI handles are table indices (a handle whose upper word is 0 names whatever lives
// at that index), USER handles are 0x20 + 2 × index up to 0xFFEF.
constexpr UINT kGdiHandles = 0x10000;
constexpr UINT kFirstUserHandle = 0x20;
constexpr UINT kLastUserHandle = 0xFFEF;

using CursorFrameInfo = HCURSOR(WINAPI*)(HCURSOR, DWORD, DWORD, DWORD*, DWORD*);

// GetGuiResources answers 0 under Wine: there the tables are walked instead. A GDI handle's type
// is read from the process's own table; an icon, cursor or menu at a USER index is found only
// when this process made it (the system tells other processes' objects apart without asking the
// server). Windows are not counted here: asking about each index would cost a server round trip,
// and the soak counts the process's windows from outside.
DWORD CountByTables() {
    DWORD gdi = 0;
    for (UINT index = 1; index < kGdiHandles; ++index) {
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(static_cast<ULONG_PTR>(index))) != 0) {
            ++gdi;
        }
    }
    const auto frameInfo = reinterpret_cast<CursorFrameInfo>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetCursorFrameInfo")));
    DWORD user = 0;
    for (UINT value = kFirstUserHandle; value <= kLastUserHandle; value += 2) {
        const auto handle = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(value));
        DWORD rate = 0;
        DWORD steps = 0;
        if (IsMenu(static_cast<HMENU>(handle))) {
            ++user;
        } else if (frameInfo != nullptr &&
                   frameInfo(static_cast<HCURSOR>(handle), 0, 0, &rate, &steps) != nullptr) {
            ++user;
        }
    }
    return (std::min<DWORD>(user, 0xFFFF) << 16) | std::min<DWORD>(gdi, 0xFFFF);
}

}  // namespace

extern "C" {

// What the GDI objects are, for the log: bitmaps, brushes, fonts and device contexts, each counted
// modulo 256 in one byte (only their changes are read; the rest is the total less these).
__declspec(dllexport) DWORD WINAPI SoakGdiKinds(void*) {
    DWORD kinds[4] = {};
    for (UINT index = 1; index < kGdiHandles; ++index) {
        switch (GetObjectType(reinterpret_cast<HGDIOBJ>(static_cast<ULONG_PTR>(index)))) {
            case OBJ_BITMAP:
                ++kinds[0];
                break;
            case OBJ_BRUSH:
                ++kinds[1];
                break;
            case OBJ_FONT:
                ++kinds[2];
                break;
            case OBJ_DC:
            case OBJ_MEMDC:
                ++kinds[3];
                break;
            default:
                break;
        }
    }
    return (kinds[0] & 0xFF) | ((kinds[1] & 0xFF) << 8) | ((kinds[2] & 0xFF) << 16) |
           ((kinds[3] & 0xFF) << 24);
}

__declspec(dllexport) DWORD WINAPI SoakObjectCount(void*) {
    const HANDLE self = GetCurrentProcess();
    const DWORD gdi = GetGuiResources(self, GR_GDIOBJECTS);
    const DWORD user = GetGuiResources(self, GR_USEROBJECTS);
    if (gdi != 0 || user != 0) {
        return (std::min<DWORD>(user, 0xFFFF) << 16) | std::min<DWORD>(gdi, 0xFFFF);
    }
    return CountByTables();
}

__declspec(dllexport) DWORD WINAPI SoakPostDrop(void* parameter) {
    const auto* request = static_cast<const SoakDropRequest*>(parameter);
    std::vector<std::wstring> paths;
    const wchar_t* text = request->paths;
    for (DWORD i = 0; i < request->count; ++i) {
        paths.emplace_back(text);
        text += paths.back().size() + 1;
    }
    const HDROP drop = MakeDrop(paths);
    const HWND target = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(request->window));
    if (!PostMessageW(target, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0)) {
        GlobalFree(drop);
        return 0;
    }
    return 1;
}

}  // extern "C"
