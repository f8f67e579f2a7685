#include "framework/BoundsFault.h"

#include <cstdio>
#include <cstdlib>

namespace {

thread_local int t_expectedFaults = 0;

}  // namespace

void CBoundsFault::Report(const char* what) {
#ifdef _GLIBCXX_ASSERTIONS
    if (t_expectedFaults > 0) {
        return;
    }
    (void)std::fprintf(stderr, "bounds fault: %s\n", what);
    (void)std::fflush(stderr);
    const bool indexInBounds = false;
    __glibcxx_assert(indexInBounds);
#else
    (void)what;
#endif
}

bool CBoundsFault::Asserts() {
#ifdef _GLIBCXX_ASSERTIONS
    return true;
#else
    return false;
#endif
}

CBoundsFault::Expected::Expected() { ++t_expectedFaults; }

CBoundsFault::Expected::~Expected() { --t_expectedFaults; }
