// crash_probe.exe KIND: installs the program's crash dump writer, then faults the way KIND says:
// access-violation, stack-overflow or uncaught-exception. The process should end with the fault's
// code and leave one dump; exit code 2 means the writer could not be installed, 3 an unknown KIND.
#include "framework/CrashDumpWriter.h"

#include <cwchar>
#include <stdexcept>

namespace {

volatile int* volatile g_nowhere = nullptr;
volatile bool g_stop = false;  // never set: keeps the compiler from proving the recursion endless

// Each level keeps a block on the stack and uses it after the call, so no level can be folded.
int Descend(int depth) {
    volatile char block[512];
    block[0] = static_cast<char>(depth);
    if (g_stop) {
        return 0;
    }
    return Descend(depth + 1) + block[0];
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    if (!CCrashDumpWriter::Install()) {
        return 2;
    }
    if (std::wcscmp(commandLine, L"access-violation") == 0) {
        *g_nowhere = 1;
    } else if (std::wcscmp(commandLine, L"stack-overflow") == 0) {
        return Descend(0);
    } else if (std::wcscmp(commandLine, L"uncaught-exception") == 0) {
        throw std::runtime_error("nobody catches this");
    }
    return 3;
}
