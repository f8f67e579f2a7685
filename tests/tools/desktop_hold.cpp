// desktop_hold.exe SECONDS [READYFILE]: stays attached to the Wine desktop so that the desktop
// process does not quit about a second after each short-lived test process (and is not started
// again by the next one). Started in the background before ctest, ended by its PID afterwards;
// READYFILE is created once the desktop exists.
#include <windows.h>
#include <shellapi.h>
#include <cstdlib>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 2)
        return 2;
    const int seconds = _wtoi(argv[1]);
    GetDesktopWindow();  // starts the desktop process if needed and waits for it
    HWND holder = CreateWindowW(L"STATIC", L"hold", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    if (argc > 2) {
        HANDLE ready = CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (ready != INVALID_HANDLE_VALUE)
            CloseHandle(ready);
    }
    LocalFree(argv);
    Sleep(static_cast<DWORD>(seconds) * 1000u);
    DestroyWindow(holder);
    return 0;
}
