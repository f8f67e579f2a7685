// drop_scale_bench.exe [ENTRIES] [BATCH]: drops ENTRIES files (10,000 by default) on the "常用软件"
// page in WM_DROPFILES blocks of BATCH paths (100), then inserts the same names with the same icons
// into a floor: a bare list view of the page list's styles whose image list is made with room for
// every image from the start, so it never grows. Prints the time per file of the first and the last
// batch of both, the process's peak working set after the drops, and as its last line the
// headline "drop_scale ratio: X" (the page's total time over the floor's).
#include "bench/common/DroppedPaths.h"
#include "bench/common/Headroom.h"
#include "bench/common/PageHost.h"
#include "framework/AfxWin.h"
#include "pages/FileToolDlg.h"
#include "pages/TypeIconCache.h"
#include "tests/common/DropFiles.h"

#include <fcntl.h>
#include <io.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kDefaultEntries = 10000;
constexpr int kDefaultBatch = 100;
constexpr int kTypeCount = bench::kDroppedTypeCount;
constexpr int kIconSize = 32;

using bench::NowMs;

std::wstring DroppedPath(int number) { return bench::DroppedPath(L"scale", number); }

std::vector<std::wstring> BatchPaths(int first, int count) {
    std::vector<std::wstring> paths;
    for (int i = first; i < first + count; ++i) {
        paths.push_back(DroppedPath(i));
    }
    return paths;
}

// Times of one series of batches, per file.
struct CSeries {
    double totalMs = 0;
    double firstBatchMs = 0;
    double lastBatchMs = 0;

    void Add(double batchMs, int files, bool first) {
        totalMs += batchMs;
        if (first) {
            firstBatchMs = batchMs / files;
        }
        lastBatchMs = batchMs / files;
    }
};

// The floor: the page list's own styles, its three columns, and an image list sized for the
// final count. Icons come from the same per-type cache the page uses, so both show the same images.
class CFloorList {
public:
    CFloorList(HWND parent, HWND pageList, int finalImageCount) {
        RECT rect = {};
        GetWindowRect(pageList, &rect);
        const LONG style = GetWindowLongW(pageList, GWL_STYLE) | LVS_SHAREIMAGELISTS;
        m_hWnd = CreateWindowExW(static_cast<DWORD>(GetWindowLongW(pageList, GWL_EXSTYLE)), WC_LISTVIEWW, L"",
                                 static_cast<DWORD>(style), 0, 0, rect.right - rect.left,
                                 rect.bottom - rect.top, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
        m_images.Create(kIconSize, kIconSize, ILC_COLOR24 | ILC_MASK, finalImageCount, 0);
        SendMessageW(m_hWnd, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(HIMAGELIST(m_images)));
        const wchar_t* const headings[] = {L"ID", L"NAME", L"path"};
        for (int column = 0; column < 3; ++column) {
            LVCOLUMNW info = {};
            info.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
            info.fmt = LVCFMT_LEFT;
            info.cx = 50;
            info.pszText = const_cast<LPWSTR>(headings[column]);
            SendMessageW(m_hWnd, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&info));
        }
    }
    ~CFloorList() { DestroyWindow(m_hWnd); }
    CFloorList(const CFloorList&) = delete;
    CFloorList& operator=(const CFloorList&) = delete;

    bool Created() const { return m_hWnd != nullptr && HIMAGELIST(m_images) != nullptr; }
    int RowCount() const { return static_cast<int>(SendMessageW(m_hWnd, LVM_GETITEMCOUNT, 0, 0)); }

    // Adds the rows as the page does for a drop: icon, row at the requested index of its image,
    // path in sub-item 1, with redrawing paused for the batch.
    void Insert(const std::vector<std::wstring>& paths) {
        SendMessageW(m_hWnd, WM_SETREDRAW, FALSE, 0);
        for (const std::wstring& path : paths) {
            const int image = m_icons.Append(m_images, path.c_str());
            const size_t slash = path.rfind(L'\\');
            std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
            LVITEMW item = {};
            item.mask = LVIF_TEXT | LVIF_IMAGE;
            item.iItem = image < 0 ? RowCount() : image;
            item.pszText = name.data();
            item.iImage = image;
            const int row =
                static_cast<int>(SendMessageW(m_hWnd, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
            LVITEMW sub = {};
            sub.iSubItem = 1;
            sub.pszText = const_cast<LPWSTR>(path.c_str());
            SendMessageW(m_hWnd, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&sub));
        }
        SendMessageW(m_hWnd, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(m_hWnd, nullptr, TRUE);
    }

private:
    HWND m_hWnd = nullptr;
    CImageList m_images;
    CTypeIconCache m_icons;  // declared after m_images: its icons go first, the list's copies stay
};

double PeakWorkingSetMb() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters))) {
        return -1;
    }
    return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

void PrintSeries(const char* what, const CSeries& series, int entries) {
    std::printf("%-6s %8.0f ms, %6.2f ms per file (first batch %.2f, last batch %.2f)\n", what,
                series.totalMs, series.totalMs / entries, series.firstBatchMs, series.lastBatchMs);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    const int entries = argc > 1 ? std::max(1, _wtoi(argv[1])) : kDefaultEntries;
    const int batch = argc > 2 ? std::max(1, _wtoi(argv[2])) : kDefaultBatch;

    const bench::CPageHost pageHost(L"drop_scale");
    const HWND host = pageHost.Get();
    CWnd parent;
    parent.Attach(host);
    CSeries page;
    CSeries floor;
    int pageRowsAdded = 0;
    int floorRows = 0;
    double peakMb = 0;
    {
        CFileToolDlg dialog;
        if (!dialog.Create(CFileToolDlg::IDD, &parent)) {
            std::fprintf(stderr, "cannot make the page\n");
            return 1;
        }
        HWND list = dialog.m_list.m_hWnd;
        // One file of every kind before measuring, on both sides: the first item of a type loads
        // code, fills the shell's caches and gives each icon cache its icon for the type.
        const std::vector<std::wstring> warmUp = BatchPaths(entries, kTypeCount);
        SendMessageW(list, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(warmUp)), 0);
        const int rowsAtStart = dialog.m_list.GetItemCount();

        CFloorList floorList(host, list, kTypeCount + entries);
        if (!floorList.Created()) {
            std::fprintf(stderr, "cannot make the floor list\n");
            return 1;
        }
        floorList.Insert(warmUp);

        // Batches of the two take turns, so that both see the same load of a shared machine.
        for (int first = 0; first < entries; first += batch) {
            const std::vector<std::wstring> paths = BatchPaths(first, std::min(batch, entries - first));
            const int files = static_cast<int>(paths.size());
            double start = NowMs();
            SendMessageW(list, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths)), 0);
            page.Add(NowMs() - start, files, first == 0);
            start = NowMs();
            floorList.Insert(paths);
            floor.Add(NowMs() - start, files, first == 0);
        }
        pageRowsAdded = dialog.m_list.GetItemCount() - rowsAtStart;
        peakMb = PeakWorkingSetMb();
        floorRows = floorList.RowCount() - kTypeCount;
        dialog.DestroyWindow();
    }
    parent.Detach();

    if (pageRowsAdded != entries || floorRows != entries) {
        std::fprintf(stderr, "wrong result: %d rows on the page and %d in the floor for %d files\n",
                     pageRowsAdded, floorRows, entries);
        return 1;
    }
    std::printf("dropped %d files in batches of %d\n", entries, batch);
    PrintSeries("page", page, entries);
    PrintSeries("floor", floor, entries);
    std::printf("peak working set after the drops (page and floor): %.1f MB\n", peakMb);
    std::printf("drop_scale ratio: %.2f\n", page.totalMs / floor.totalMs);
    std::fflush(stdout);
    return 0;
}
