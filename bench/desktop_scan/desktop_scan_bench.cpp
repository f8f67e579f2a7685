// desktop_scan_bench.exe [SMALL] [LARGE] [ROUNDS]: puts SMALL program shortcuts (1,000 by default) on the
// user's desktop and times how long the "常用软件" page takes to fill its list from them, then grows the
// desktop to LARGE shortcuts (10,000) and times it again. Beside each fill runs a floor loop that does
// only the shell work no fill can avoid: resolve each link, fetch its icon, add the icon to an image
// list. Rounds alternate between page and floor so that a slow spell of the machine hits both; medians
// are compared. Headline "desktop_scan ratio: X.XX" is the page's time per link on the large desktop
// over its time per link on the small one (flat cost: 1.00). The shortcuts and their targets are
// removed again at the end.
#include "bench/common/PageHost.h"
#include "bench/common/ShortcutDesktop.h"
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

constexpr int kDefaultSmallDesktop = 1000;
constexpr int kDefaultLargeDesktop = 10000;
constexpr int kDefaultRounds = 3;

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

// The unavoidable work: COM once for the whole loop, then per link one resolve, one type icon from
// the shell and one image-list add, made as the page makes its image list.
double FloorMs(const std::vector<std::wstring>& links, int* resolved) {
    const double start = NowMs();
    CoInitialize(nullptr);
    // Right-sized, as the drop floor is: an image list that grows a few images at a time would
    // make the floor itself cost more per link on a big desktop.
    HIMAGELIST images = ImageList_Create(32, 32, ILC_COLOR24 | ILC_MASK, static_cast<int>(links.size()), 256);
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

struct ScanFigures {
    double pageMs = 0;
    double floorMs = 0;
};

// Median page fill and floor over ROUNDS alternating rounds; false when a fill gave a wrong result.
bool MeasureScan(HWND host, const std::vector<std::wstring>& links, int rounds, ScanFigures* figures) {
    const int count = static_cast<int>(links.size());
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
            return false;
        }
    }
    figures->floorMs = Median(floorSamples);
    figures->pageMs = Median(pageSamples);
    std::printf(
        "%d links: page fill %.0f ms, %.2f ms per link; floor (resolve, icon, image add) %.0f ms, "
        "%.2f ms per link; page / floor %.2f (medians of %d)\n",
        count, figures->pageMs, figures->pageMs / count, figures->floorMs, figures->floorMs / count,
        figures->pageMs / figures->floorMs, rounds);
    std::fflush(stdout);
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    const int small = argc > 1 ? std::max(1, _wtoi(argv[1])) : kDefaultSmallDesktop;
    const int large = argc > 2 ? std::max(small, _wtoi(argv[2])) : kDefaultLargeDesktop;
    const int rounds = argc > 3 ? std::max(1, _wtoi(argv[3])) : kDefaultRounds;

    const bench::CPageHost pageHost(L"desktop_scan");
    const HWND host = pageHost.Get();

    bench::CShortcutDesktop desktop(L"desktop-scan-targets");
    ScanFigures figures[2];
    const int sizes[2] = {small, large};
    for (int i = 0; i < 2; ++i) {
        const double setupStart = NowMs();
        if (!desktop.GrowTo(sizes[i])) {
            std::fprintf(stderr, "could not write every shortcut\n");
            return 1;
        }
        std::printf("desktop: %d program shortcuts, written in %.0f ms\n", sizes[i], NowMs() - setupStart);
        if (!MeasureScan(host, desktop.Links(), rounds, &figures[i])) {
            return 1;
        }
    }

    const double smallPerLink = figures[0].pageMs / small;
    const double largePerLink = figures[1].pageMs / large;
    std::printf("page per link: %.2f ms at %d links, %.2f ms at %d links\n", smallPerLink, small,
                largePerLink, large);
    std::printf("desktop_scan ratio: %.2f\n", largePerLink / smallPerLink);
    std::fflush(stdout);
    return 0;
}
