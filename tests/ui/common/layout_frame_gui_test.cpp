#include "layout_frame.h"

#include <gtest/gtest.h>

#include "form_resize.h"

namespace korvallestin {
namespace {

TEST(LayoutFrame, ClientAreaIsTheOuterSizeLessTheFrameTheLayoutWasDrawnFor) {
    // The compact window shows the criteria and buttons down to 2730 twips,
    // just above the list's top at 2760.
    EXPECT_EQ(ClientHeightPixels(kCompactHeight, 96), 182);
    EXPECT_EQ(ClientHeightPixels(kCompactHeight, 192), 364);
    // The window of the layout: 8760 x 5580 outside, 8670 x 5175 inside.
    EXPECT_EQ(ClientWidthPixels(8760, 96), 578);
    EXPECT_EQ(ClientHeightPixels(kMinimumExpandedHeight, 96), 345);
    EXPECT_EQ(ClientHeightPixels(kMinimumExpandedHeight, 120), 431);
}

TEST(LayoutFrame, MinimumsRoundUpSoTheWindowNeverReadsBackBelowThem) {
    // 5410 twips of client width are 360.7 pixels at 96 dpi.
    EXPECT_EQ(MinimumClientWidthPixels(kMinimumWidth, 96), 361);
    EXPECT_GE(OuterWidthTwips(361, 96), kMinimumWidth);
    EXPECT_LT(OuterWidthTwips(360, 96), kMinimumWidth);
    for (const double dpi : {72.0, 96.0, 120.0, 144.0, 192.0}) {
        const int height = MinimumClientHeightPixels(kMinimumExpandedHeight, dpi);
        EXPECT_GE(OuterHeightTwips(height, dpi), kMinimumExpandedHeight) << dpi;
        EXPECT_LT(OuterHeightTwips(height - 1, dpi), kMinimumExpandedHeight) << dpi;
    }
}

TEST(LayoutFrame, OuterSizesReadBackFromTheirClientPixels) {
    for (const double dpi : {96.0, 120.0, 192.0}) {
        // Twips that fall on whole pixels come back exactly.
        const double step = 1440.0 / dpi;
        for (const double client : {2730.0, 5175.0, 100 * step}) {
            const int px = TwipsToPixels(client, dpi);
            EXPECT_NEAR(OuterHeightTwips(px, dpi), client + 405, step / 2) << dpi;
            EXPECT_NEAR(OuterWidthTwips(px, dpi), client + 90, step / 2) << dpi;
        }
    }
}

}  // namespace
}  // namespace korvallestin
