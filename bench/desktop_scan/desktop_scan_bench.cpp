// desktop_scan_bench.exe [SHORTCUTS] [ROUNDS]: puts SHORTCUTS program shortcuts (1,000 by default) on
// the user's desktop and times how long the "常用软件" page takes to fill its list from them, against a
// floor loop in the same run that does only the shell work no fill can avoid: resolve each link,
// fetch its icon, add the icon to an image list. Rounds alternate between the two so that a slow
// spell of the machine hits both; the medians are compared. Headline "desktop_scan ratio: X.XX"
// (page / floor). The shortcuts and their targets are removed again at the end.
#include "framework/AfxWin.h"
#include "pages/FileToolDlg.h"

#include <fcntl.h>
#include <io.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kDefaultShortcuts = 1000;
constexpr int kDefaultRounds = 3;
constexpr wchar_t kLinkPrefix[] = L"bench-program-";

double NowMs() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

std::wstring DesktopFolder() {
    wchar_t path[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, path, CSIDL_DESKTOPDIRECTORY, FALSE);
    return path;
}

std::wstring Numbered(int number) {
    wchar_t digits[16];
    wsprintfW(digits, L"%04d", number);
    return digits;
}

// The shortcuts on the desktop and the program files they point at.
class CShortcutDesktop {
public:
    explicit CShortcutDesktop(int count) {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        m_targets = std::wstring(temp) + L"desktop-scan-targets";
        CreateDirectoryW(m_targets.c_str(), nullptr);
        const std::wstring desktop = DesktopFolder();
        CoInitialize(nullptr);
        for (int i = 0; i < count; ++i) {
            const std::wstring target = m_targets + L"\\program" + Numbered(i) + L".exe";
            HANDLE file = CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            if (file != INVALID_HANDLE_VALUE) {
                CloseHandle(file);
            }
            m_files.push_back(target);
            const std::wstring link = desktop + L"\\" + kLinkPrefix + Numbered(i) + L".lnk";
            if (WriteShortcut(link, target)) {
                m_links.push_back(link);
            }
        }
        CoUninitialize();
    }
    ~CShortcutDesktop() {
        for (const std::wstring& path : m_links) {
            DeleteFileW(path.c_str());
        }
        for (const std::wstring& path : m_files) {
            DeleteFileW(path.c_str());
        }
        RemoveDirectoryW(m_targets.c_str());
    }
    CShortcutDesktop(const CShortcutDesktop&) = delete;
    CShortcutDesktop& operator=(const CShortcutDesktop&) = delete;

    const std::vector<std::wstring>& Links() const { return m_links; }

private:
    // The link is saved into memory and written out here: saving it straight to a file also makes
    // some systems start a helper program per link, which would dominate the set-up time.
    static bool WriteShortcut(const std::wstring& link, const std::wstring& target) {
        IShellLinkW* shellLink = nullptr;
        if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                    reinterpret_cast<void**>(&shellLink)))) {
            return false;
        }
        bool saved = false;
        IPersistStream* persist = nullptr;
        IStream* stream = nullptr;
        if (SUCCEEDED(shellLink->SetPath(target.c_str())) &&
            SUCCEEDED(shellLink->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(&persist))) &&
            SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)) &&
            SUCCEEDED(persist->Save(stream, TRUE))) {
            HGLOBAL memory = nullptr;
            GetHGlobalFromStream(stream, &memory);
            STATSTG stat = {};
            stream->Stat(&stat, STATFLAG_NONAME);
            HANDLE file = CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            if (file != INVALID_HANDLE_VALUE) {
                DWORD written = 0;
                const auto size = static_cast<DWORD>(stat.cbSize.QuadPart);
                saved = WriteFile(file, GlobalLock(memory), size, &written, nullptr) && written == size;
                GlobalUnlock(memory);
                CloseHandle(file);
            }
        }
        if (stream != nullptr) {
            stream->Release();
        }
        if (persist != nullptr) {
            persist->Release();
        }
        shellLink->Release();
        return saved;
    }

    std::wstring m_targets;
    std::vector<std::wstring> m_files;
    std::vector<std::wstring> m_links;
};

// The unavoidable work: COM once for the whole loop, then per link one resolve, one type icon from
// the shell and one image-list add, made as the page makes its image list.
double FloorMs(const std::vector<std::wstring>& links, int* resolved) {
    const double start = NowMs();
    CoInitialize(nullptr);
    HIMAGELIST images = ImageList_Create(32, 32, ILC_COLOR24 | ILC_MASK, 1, 0);
    *resolved = 0;
    for (const std::wstring& link : links) {
        IShellLinkW* shellLink = nullptr;
        if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                       reinterpret_cast<void**>(&shellLink)))) {
            IPersistFile* file = nullptr;
            if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
                wchar_t target[MAX_PATH] = {};
                if (SUCCEEDED(file->Load(link.c_str(), STGM_READ)) &&
                    SUCCEEDED(shellLink->GetPath(target, MAX_PATH, nullptr, 0)) && target[0] != L'\0') {
                    ++*resolved;
                }
                file->Release();
            }
            shellLink->Release();
        }
        SHFILEINFOW info = {};
        SHGetFileInfoW(link.c_str(), 0, &info, sizeof(info), SHGFI_ICON | SHGFI_USEFILEATTRIBUTES);
        ImageList_ReplaceIcon(images, -1, info.hIcon);
        if (info.hIcon != nullptr) {
            DestroyIcon(info.hIcon);
        }
    }
    ImageList_Destroy(images);
    CoUninitialize();
    return NowMs() - start;
}

// Makes the page as the main window does (a child made from its template; the fill runs while it
// is made), and destroys it again.
double PageFillMs(HWND host, int* rows) {
    CWnd parent;
    parent.Attach(host);
    double elapsed = -1;
    {
        CFileToolDlg page;
        const double start = NowMs();
        if (page.Create(CFileToolDlg::IDD, &parent)) {
            elapsed = NowMs() - start;
            *rows = page.m_list.GetItemCount();
        }
        page.DestroyWindow();
    }
    parent.Detach();
    return elapsed;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    const int count = argc > 1 ? std::max(1, _wtoi(argv[1])) : kDefaultShortcuts;
    const int rounds = argc > 2 ? std::max(1, _wtoi(argv[2])) : kDefaultRounds;

    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    HWND host = CreateWindowExW(0, L"STATIC", L"desktop_scan", WS_POPUP, 0, 0, 500, 700, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);

    const double setupStart = NowMs();
    CShortcutDesktop desktop(count);
    const std::vector<std::wstring>& links = desktop.Links();
    std::printf("desktop: %zu program shortcuts written in %.0f ms\n", links.size(), NowMs() - setupStart);
    if (static_cast<int>(links.size()) != count) {
        std::fprintf(stderr, "could not write every shortcut\n");
        return 1;
    }

    int resolved = 0;
    int rows = 0;
    FloorMs(links, &resolved);  // unmeasured: the first pass also fills the disk and shell caches
    std::vector<double> floorSamples;
    std::vector<double> pageSamples;
    for (int round = 0; round < rounds; ++round) {
        pageSamples.push_back(PageFillMs(host, &rows));
        floorSamples.push_back(FloorMs(links, &resolved));
        if (pageSamples.back() < 0 || rows != count + 1 || resolved != count) {
            std::fprintf(stderr, "wrong result: %d rows, %d links resolved, %d shortcuts\n", rows, resolved,
                         count);
            return 1;
        }
    }
    DestroyWindow(host);

    const double floorMs = Median(floorSamples);
    const double pageMs = Median(pageSamples);
    std::printf("floor (resolve, icon, image add): %.0f ms, %.2f ms per link (median of %d)\n", floorMs,
                floorMs / count, rounds);
    std::printf("page fill: %.0f ms, %.2f ms per link, %d rows (median of %d)\n", pageMs, pageMs / count,
                rows, rounds);
    std::printf("desktop_scan ratio: %.2f\n", pageMs / floorMs);
    std::fflush(stdout);
    return 0;
}
