// wait_window.exe TITLE SECONDS: waits until a visible top-level window titled exactly TITLE
// exists. Exit code 0 when it appears, 1 on timeout, 2 on bad arguments. The title is read as
// UTF-16 from the command line, so Chinese titles pass through unchanged.
#include <windows.h>
#include <shellapi.h>
#include <cstdlib>
#include <string>

namespace {

struct CTitleSearch {
    const wchar_t* m_title;
    bool m_found;
};

BOOL CALLBACK CheckWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<CTitleSearch*>(param);
    if (!IsWindowVisible(window))
        return TRUE;
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), length + 1)));
    if (text == search->m_title) {
        search->m_found = true;
        return FALSE;
    }
    return TRUE;
}

bool VisibleWindowExists(const wchar_t* title) {
    CTitleSearch search = {title, false};
    // FindWindowW first: cheap, and it sees the window as soon as it has its title.
    HWND window = FindWindowW(nullptr, title);
    if (window && IsWindowVisible(window))
        return true;
    EnumWindows(CheckWindow, reinterpret_cast<LPARAM>(&search));
    return search.m_found;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 3)
        return 2;
    const std::wstring title = argv[1];
    const DWORD timeoutMs = static_cast<DWORD>(_wtoi(argv[2])) * 1000u;
    LocalFree(argv);

    const DWORD start = GetTickCount();
    for (;;) {
        if (VisibleWindowExists(title.c_str()))
            return 0;
        if (GetTickCount() - start >= timeoutMs)
            return 1;
        Sleep(100);
    }
}
