// Runs the calling thread's queued messages, for tests that post rather than send.
#pragma once

#include <windows.h>

inline void PumpPendingMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}
