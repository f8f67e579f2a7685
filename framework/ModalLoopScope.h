// Counts the modal loops that the framework runs on this thread (modal dialogs and message
// boxes), innermost last, and lets one of them end every loop nested inside it.
#pragma once

class CModalLoopScope {
public:
    CModalLoopScope();
    // Takes back the quit message of an unwinding that this loop started.
    ~CModalLoopScope();
    CModalLoopScope(const CModalLoopScope&) = delete;
    CModalLoopScope& operator=(const CModalLoopScope&) = delete;

    // This loop's place: 1 for the outermost.
    int Depth() const { return m_depth; }
    // How many loops run on this thread now.
    static int Running();

    // Ends the loops running inside this one, if any; `foreignLoopRunning` says that a loop this
    // class does not count (a box the system shows for a call) may run inside it.
    void UnwindNested(bool foreignLoopRunning = false);
    // Whether loops are being unwound on this thread: code that goes on after its box or dialog
    // has ended should then show nothing more.
    static bool IsUnwinding();

private:
    int m_depth;
    bool m_unwinding = false;
};
