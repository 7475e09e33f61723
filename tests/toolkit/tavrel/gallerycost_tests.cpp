// What Quilbrook's skin costs the control gallery, where every control kind is open at once:
// the process's GDI objects over many skin load/unload cycles, and (for
// scripts/skinbenchmark.sh, when QUILBROOK_GALLERY_BENCHMARK is set) the time of repainting
// the gallery with the skin and without it.
#include "common/hlmsystemhelpers.h"
#include "controlgallery.h"
#include "skintestsupport.h"
#include "skinwindowtesting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace
{
// Seconds for repainting a gallery opened under the skin loaded now (none: plain controls).
double RepaintSeconds(int repaints)
{
    CControlGallery gallery;
    const double start = PerformanceSeconds();
    for (int i = 0; i < repaints; ++i)
        gallery.Repaint();
    return PerformanceSeconds() - start;
}
}

TEST(GalleryCostTest, LoadUnloadCyclesLeaveNoGdiObjects)
{
    CleanSkinManagerScope scope;
    const std::wstring skin = BesideTestProgram(L"skin.skin");
    ASSERT_TRUE(scope.manager.LoadSkin(skin.c_str(), L""));
    CControlGallery gallery;
    const auto cycle = [&] {
        scope.manager.LoadSkin(L"", L"");
        gallery.Repaint();
        scope.manager.LoadSkin(skin.c_str(), L"");
        gallery.Repaint();
    };
    // The first cycle makes what the system keeps for good (fonts, cached brushes).
    cycle();
    const int before = CountGdiObjects();
    const int kCycles = 100;
    for (int i = 0; i < kCycles; ++i)
        cycle();
    const int after = CountGdiObjects();
    std::printf("gallery: GDI objects %d before %d skin load/unload cycles, %d after\n", before, kCycles, after);
    EXPECT_EQ(before, after);
}

TEST(GalleryCostTest, RepaintTimesWhenAsked)
{
    if (GetEnvironmentVariableW(L"QUILBROOK_GALLERY_BENCHMARK", nullptr, 0) == 0)
        GTEST_SKIP() << "run by scripts/skinbenchmark.sh";
    CleanSkinManagerScope scope;
    const std::wstring skin = BesideTestProgram(L"skin.skin");
    const int kRepaints = 100, kRounds = 3;
    double skinned = 1e9, plain = 1e9;
    for (int round = 0; round < kRounds; ++round)
    {
        ASSERT_TRUE(scope.manager.LoadSkin(skin.c_str(), L""));
        skinned = std::min(skinned, RepaintSeconds(kRepaints));
        scope.manager.LoadSkin(L"", L"");
        plain = std::min(plain, RepaintSeconds(kRepaints));
    }
    std::printf("gallery repaints %d skinned %.4f plain %.4f\n", kRepaints, skinned, plain);
}
