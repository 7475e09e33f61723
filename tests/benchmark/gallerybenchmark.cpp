// What the skin costs the control gallery, where every control kind is open at once, for
// scripts/skinbenchmark.sh: the time of repainting it with our skin and without (best of three
// rounds), and the process's GDI objects before and after 100 skin load/unload cycles.
#include "common/hlmsystemhelpers.h"
#include "controlgallery.h"
#include "skintestsupport.h"

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

TEST(GalleryBenchmark, RepaintTimesAndGdiObjects)
{
    CleanSkinManagerScope scope;
    const std::wstring skin = BesideTestProgram(L"skin.skin");
    const int kRepaints = 100, kRounds = 3, kCycles = 100;
    double skinned = 1e9, plain = 1e9;
    for (int round = 0; round < kRounds; ++round)
    {
        ASSERT_TRUE(scope.manager.LoadSkin(skin.c_str(), L""));
        skinned = std::min(skinned, RepaintSeconds(kRepaints));
        scope.manager.LoadSkin(L"", L"");
        plain = std::min(plain, RepaintSeconds(kRepaints));
    }
    std::printf("gallery repaints %d skinned %.4f plain %.4f\n", kRepaints, skinned, plain);
    const GdiObjectCounts counts = GdiObjectsOverSkinCycles(scope.manager, skin, kCycles);
    std::printf("gallery: GDI objects %d before %d skin load/unload cycles, %d after\n", counts.before, kCycles,
                counts.after);
}
