// What Quilbrook's skin costs the control gallery, where every control kind is open at once:
// no GDI object is left behind by many skin load/unload cycles. (The repaint times are
// measured by the gallery benchmark that scripts/skinbenchmark.sh runs.)
#include "controlgallery.h"
#include "skintestsupport.h"

#include <gtest/gtest.h>

#include <string>

TEST(GalleryCostTest, LoadUnloadCyclesLeaveNoGdiObjects)
{
    CleanSkinManagerScope scope;
    const GdiObjectCounts counts = GdiObjectsOverSkinCycles(scope.manager, BesideTestProgram(L"skin.skin"), 100);
    EXPECT_EQ(counts.before, counts.after);
}
