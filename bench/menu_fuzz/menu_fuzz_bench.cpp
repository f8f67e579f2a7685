// menu_fuzz_bench.exe [TEMPLATES] [SEED]: loads TEMPLATES mutated menu templates (1,000,000 by
// default) into the picture menu, each placed at the end of a guarded page so that a read past its
// end faults, tears each menu down again, and reports the time per template and the objects lost,
// measured as headroom (bench/common/Headroom.h, plus menus). A crash is a failed run.
// Headline "menu_fuzz: <templates> templates, <lost> objects lost".
// The test suite loads only the first 10,000 templates of the default run (the same seed), to stay
// quick; the volume that finds the rarer shapes is here.
#include "bench/common/Headroom.h"
#include "tests/common/ObjectHeadroom.h"
#include "tests/controls/menu/MenuTemplateFuzzer.h"

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>

namespace {

constexpr int kDefaultTemplates = 1000000;
constexpr std::uint32_t kDefaultSeed = 0x5EED1234;
// Templates per step between progress lines.
constexpr int kStep = 100000;

using bench::NowMs;
using headroom::MenuHeadroom;

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    const int templates = argc > 1 ? std::max(1, _wtoi(argv[1])) : kDefaultTemplates;
    const std::uint32_t seed =
        argc > 2 ? static_cast<std::uint32_t>(std::wcstoul(argv[2], nullptr, 0)) : kDefaultSeed;

    LoadMutatedTemplates(200, seed + 1);  // code and caches warm up first
    double start = NowMs();
    const int menusBefore = MenuHeadroom();
    const bench::CHeadroom before = bench::MeasureHeadroom();
    std::printf("headroom before: %d menus, %d icons, %d brushes (%.0f ms to count)\n", menusBefore,
                before.icons, before.brushes, NowMs() - start);

    int loaded = 0;
    double fuzzMs = 0;
    for (int done = 0; done < templates;) {
        const int count = std::min(kStep, templates - done);
        const double stepStart = NowMs();
        // Each step its own seed, so that a failing step can be run again alone.
        const int stepLoaded = LoadMutatedTemplates(count, seed + static_cast<std::uint32_t>(done));
        fuzzMs += NowMs() - stepStart;
        if (stepLoaded < 0) {
            std::fprintf(stderr, "a teardown left a sub-menu registered (templates %d to %d)\n", done,
                         done + count);
            return 1;
        }
        loaded += stepLoaded;
        done += count;
        std::printf("%d templates, %d loaded, %.0f ms\n", done, loaded, fuzzMs);
        std::fflush(stdout);
    }

    const int menusAfter = MenuHeadroom();
    const bench::CHeadroom after = bench::MeasureHeadroom();
    std::printf("headroom after:  %d menus, %d icons, %d brushes\n", menusAfter, after.icons, after.brushes);
    const int lost = std::max(0, menusBefore - menusAfter) + bench::LostObjects(before, after);
    std::printf("%d templates (%d loaded, %d refused): %.0f ms, %.1f us per template\n", templates, loaded,
                templates - loaded, fuzzMs, fuzzMs * 1000.0 / templates);
    std::printf("menu_fuzz: %d templates, %d objects lost\n", templates, lost);
    std::fflush(stdout);
    return lost == 0 ? 0 : 1;
}
