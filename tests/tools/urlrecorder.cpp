// urlrecorder.exe LOGFILE URL: appends URL (UTF-8) and "\n" to LOGFILE. Registered as the http/https
// "open" command of a test prefix, it makes what ShellExecute would open observable.
#include <windows.h>
#include <shellapi.h>
#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 3)
        return 2;
    const std::wstring url = argv[2];
    const int size = static_cast<int>(url.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, url.c_str(), size, nullptr, 0, nullptr, nullptr);
    std::string line(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, url.c_str(), size, line.data(), length, nullptr, nullptr);
    line += "\n";
    HANDLE log = CreateFileW(argv[1], FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    LocalFree(argv);
    if (log == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    const BOOL ok = WriteFile(log, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(log);
    return ok && written == line.size() ? 0 : 1;
}
