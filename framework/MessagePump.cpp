#include "framework/MessagePump.h"

#include "framework/Dc.h"
#include "framework/Menu.h"
#include "framework/Wnd.h"

CMessagePump::Result CMessagePump::PumpMessage(HWND translateStop, MSG& msg) {
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        FreeTemporaries();  // idle: the temporaries handed out so far are no longer in use
    }
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
        return got == 0 ? Result::kQuit : Result::kFailed;
    }
    if (!CWnd::WalkPreTranslateTree(translateStop, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return Result::kDispatched;
}

void CMessagePump::FreeTemporaries() {
    CWnd::DeleteTempMap();
    CMenu::DeleteTempMap();
    CDC::DeleteTempMap();
}
