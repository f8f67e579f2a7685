// user_soak_probe.dll: loaded into the running launcher by user_soak_bench.exe (a thread of its own
// runs LoadLibraryW there), which then runs the exports below on threads of their own; a thread's
// exit code is the answer. Nothing of the shipped program changes.
//   SoakIconHeadroom, SoakBrushHeadroom: how many more icons (USER) or brushes (GDI) the process can
//     still make (bench/common/Headroom.h); GetGuiResources answers 0 under Wine.
//   SoakPostDrop: posts WM_DROPFILES with a block allocated in this process, as the shell does for
//     a window that takes dropped files; 1 when posted.
#include "bench/common/Headroom.h"
#include "bench/user_soak/SoakDropRequest.h"
#include "tests/common/DropFiles.h"

#include <windows.h>

#include <string>
#include <vector>

extern "C" {

__declspec(dllexport) DWORD WINAPI SoakIconHeadroom(void*) {
    return static_cast<DWORD>(bench::IconHeadroom());
}

__declspec(dllexport) DWORD WINAPI SoakBrushHeadroom(void*) {
    return static_cast<DWORD>(bench::BrushHeadroom());
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
