// Mutated menu templates through the loader: no crash, no read past the template's end (each one
// ends where an inaccessible page begins), nothing left registered, and no menu (USER object) or
// font (GDI object) lost. The sample is fixed: the first templates of bench/menu_fuzz's run, which
// goes on to a million.
#include "tests/common/ObjectHeadroom.h"
#include "tests/controls/menu/MenuTemplateFuzzer.h"

#include <gtest/gtest.h>

namespace {

constexpr int kTemplates = 10000;
constexpr std::uint32_t kSeed = 0x5EED1234;

}  // namespace

TEST(PictureMenuFuzz, MutatedTemplatesNeitherCrashNorOverreadNorLeak) {
    ASSERT_GT(LoadMutatedTemplates(200, kSeed + 1), 0);  // code and caches warm up first
    const headroom::CLeakCount count;
    const int loaded = LoadMutatedTemplates(kTemplates, kSeed);
    ASSERT_GE(loaded, 0) << "a teardown left a sub-menu registered";
    EXPECT_GT(loaded, 0);
    EXPECT_LT(loaded, kTemplates);
    EXPECT_EQ(0, count.Lost());
}
