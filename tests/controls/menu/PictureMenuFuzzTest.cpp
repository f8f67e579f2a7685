// Mutated menu templates through the loader: no crash, no read past the template's end (each one
// ends where an inaccessible page begins), nothing left registered, and no menu (USER object) or
// font (GDI object) lost, measured as headroom: how many more can be made, before and after.
#include "bench/common/Headroom.h"
#include "tests/controls/menu/MenuTemplateFuzzer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kDefaultTemplates = 100000;
constexpr std::uint32_t kSeed = 0x5EED1234;

// DALVORIN_MENU_FUZZ_TEMPLATES changes the count for a shorter or longer run by hand.
int TemplateCount() {
    const char* count = std::getenv("DALVORIN_MENU_FUZZ_TEMPLATES");
    return count != nullptr && std::atoi(count) > 0 ? std::atoi(count) : kDefaultTemplates;
}

}  // namespace

TEST(PictureMenuFuzz, MutatedTemplatesNeitherCrashNorOverreadNorLeak) {
    ASSERT_GT(LoadMutatedTemplates(200, kSeed + 1), 0);  // code and caches warm up first
    const int menusBefore = MenuHeadroom();
    const int gdiBefore = bench::BrushHeadroom();
    const int loaded = LoadMutatedTemplates(TemplateCount(), kSeed);
    ASSERT_GE(loaded, 0) << "a teardown left a sub-menu registered";
    std::printf("%d of %d templates loaded\n", loaded, TemplateCount());
    EXPECT_GT(loaded, 0);
    EXPECT_LT(loaded, TemplateCount());
    EXPECT_EQ(menusBefore, MenuHeadroom());
    EXPECT_EQ(gdiBefore, bench::BrushHeadroom());
}
