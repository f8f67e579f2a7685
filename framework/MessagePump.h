// The one message loop step that the thread's loop (CWinThread::Run) and the modal dialog loop
// share: idle clean-up, pre-translation, translation and dispatch.
#pragma once

#include "framework/Afx.h"

class CMessagePump {
public:
    enum class Result { kDispatched, kQuit, kFailed };

    // Frees the temporary wrappers when the queue is idle, waits for the next message, lets the
    // bound windows from its target up to `translateStop` (nullptr: the top) translate it first,
    // and otherwise translates and dispatches it. On kQuit `msg.wParam` holds the exit code.
    static Result PumpMessage(HWND translateStop, MSG& msg);

    // Frees the temporary windows, menus and DCs that FromHandle handed out on this thread.
    static void FreeTemporaries();
};
