// What user_soak_bench.exe hands to SoakPostDrop in the launcher's process, in memory both see:
// the receiving window and the paths, each ended by a NUL.
#pragma once

#include <windows.h>

struct SoakDropRequest {
    DWORD window;  // a window handle fits 32 bits on every Windows
    DWORD count;
    wchar_t paths[1];
};
