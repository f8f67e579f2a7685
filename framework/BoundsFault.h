// An index or length outside one of our checked containers or buffers, or a wrapper of a window,
// menu or DC used with no handle. Every such check reports
// here before its fallback (an exception or a clamp). The test build, which has the standard
// library's assertions on, stops at that same assertion, as it does for a std::vector index out of
// range, so a stray index anywhere fails the suite loudly instead of being caught and forgotten. The
// shipped program only takes the fallback.
#pragma once

class CBoundsFault {
public:
    // Called by a check that found an index or length outside its container; `what` names the check.
    static void Report(const char* what);
    // Whether Report stops the process (the test build) or returns to the caller's fallback.
    static bool Asserts();

    // Declares, for its lifetime on this thread, that a fault is expected: a test of the fallback
    // itself. Report then returns.
    class Expected {
    public:
        Expected();
        ~Expected();
        Expected(const Expected&) = delete;
        Expected& operator=(const Expected&) = delete;
    };
};
