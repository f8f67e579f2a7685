// drop_soak_bench.exe [ENTRIES] [BATCH]: drops ENTRIES files (10,000 by default) on the "常用软件" page
// in WM_DROPFILES blocks of BATCH paths (100), as the shell delivers them, and reports the time per
// entry and the objects each entry leaves behind, measured as lost headroom (bench/common/Headroom.h).
// Headline "drop_soak objects per entry: X" (lost headroom of both kinds, divided by the entries);
// the image list's own images are no per-entry objects.
#include "bench/common/DroppedPaths.h"
#include "bench/common/Headroom.h"
#include "bench/common/PageHost.h"
#include "framework/AfxWin.h"
#include "pages/FileToolDlg.h"
#include "tests/common/DropFiles.h"

#include <fcntl.h>
#include <io.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kDefaultEntries = 10000;
constexpr int kDefaultBatch = 100;
constexpr int kTypeCount = bench::kDroppedTypeCount;

using bench::CHeadroom;
using bench::MeasureHeadroom;
using bench::NowMs;

std::wstring DroppedPath(int number) { return bench::DroppedPath(L"soak", number); }

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    const int entries = argc > 1 ? std::max(1, _wtoi(argv[1])) : kDefaultEntries;
    const int batch = argc > 2 ? std::max(1, _wtoi(argv[2])) : kDefaultBatch;

    const bench::CPageHost pageHost(L"drop_soak");
    const HWND host = pageHost.Get();
    CWnd parent;
    parent.Attach(host);
    int rowsAtStart = 0;
    int rowsAtEnd = 0;
    double soakMs = 0;
    double firstBatchMs = 0;
    double lastBatchMs = 0;
    CHeadroom before = {};
    CHeadroom after = {};
    {
        CFileToolDlg page;
        if (!page.Create(CFileToolDlg::IDD, &parent)) {
            std::fprintf(stderr, "cannot make the page\n");
            return 1;
        }
        rowsAtStart = page.m_list.GetItemCount();
        HWND list = page.m_list.m_hWnd;
        // One drop of every kind before measuring: the first item of a type also loads code, fills the
        // shell's caches and gives the page the one icon it keeps per type.
        std::vector<std::wstring> warmUp;
        for (int i = 0; i < kTypeCount; ++i) {
            warmUp.push_back(DroppedPath(entries + i));
        }
        SendMessageW(list, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(warmUp)), 0);
        rowsAtStart += kTypeCount;

        double start = NowMs();
        before = MeasureHeadroom();
        std::printf("headroom before: %d icons, %d brushes (%.0f ms to count)\n", before.icons,
                    before.brushes, NowMs() - start);

        for (int first = 0; first < entries; first += batch) {
            std::vector<std::wstring> paths;
            for (int i = first; i < std::min(entries, first + batch); ++i) {
                paths.push_back(DroppedPath(i));
            }
            const double batchStart = NowMs();
            SendMessageW(list, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths)), 0);
            const double batchMs = (NowMs() - batchStart) / static_cast<double>(paths.size());
            soakMs += NowMs() - batchStart;
            if (first == 0) {
                firstBatchMs = batchMs;
            }
            lastBatchMs = batchMs;
        }
        rowsAtEnd = page.m_list.GetItemCount();

        after = MeasureHeadroom();
        std::printf("headroom after:  %d icons, %d brushes (page still open, %d rows)\n", after.icons,
                    after.brushes, rowsAtEnd);
        page.DestroyWindow();
    }
    parent.Detach();

    if (rowsAtEnd - rowsAtStart != entries) {
        std::fprintf(stderr, "wrong result: %d rows added for %d dropped files\n", rowsAtEnd - rowsAtStart,
                     entries);
        return 1;
    }
    const int lostIcons = std::max(0, before.icons - after.icons);
    const int lostBrushes = std::max(0, before.brushes - after.brushes);
    std::printf(
        "dropped %d files in batches of %d: %.0f ms, %.2f ms per entry (first batch %.2f, last %.2f)\n",
        entries, batch, soakMs, soakMs / entries, firstBatchMs, lastBatchMs);
    std::printf("lost headroom: %d icons (USER), %d brushes (GDI)\n", lostIcons, lostBrushes);
    std::printf("drop_soak objects per entry: %.4f\n",
                static_cast<double>(lostIcons + lostBrushes) / static_cast<double>(entries));
    std::fflush(stdout);
    return 0;
}
