#include "framework/ModalLoopScope.h"

#include "framework/Afx.h"

namespace {

struct ModalLoops {
    int running = 0;
    int unwinding = 0;
};

ModalLoops& ThreadLoops() {
    thread_local ModalLoops loops;
    return loops;
}

}  // namespace

CModalLoopScope::CModalLoopScope() : m_depth(++ThreadLoops().running) {}

CModalLoopScope::~CModalLoopScope() {
    ModalLoops& loops = ThreadLoops();
    --loops.running;
    if (m_unwinding) {
        // Every nested loop has ended by now; the quit message that ended them is ours.
        MSG quit;
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        --loops.unwinding;
    }
}

int CModalLoopScope::Running() { return ThreadLoops().running; }

// Every modal loop gives up on WM_QUIT and posts it again for the loop around it (the system's
// message boxes and dialogs do the same), so one quit message walks out to this loop, which
// has been told to end and takes it back.
void CModalLoopScope::UnwindNested(bool foreignLoopRunning) {
    ModalLoops& loops = ThreadLoops();
    if (m_unwinding || (loops.running <= m_depth && !foreignLoopRunning)) {
        return;
    }
    m_unwinding = true;
    ++loops.unwinding;
    PostQuitMessage(0);
}

bool CModalLoopScope::IsUnwinding() { return ThreadLoops().unwinding > 0; }
