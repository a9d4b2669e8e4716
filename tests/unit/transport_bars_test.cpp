// The bit-rate estimate and the bar column counts at their edges.
#include <gtest/gtest.h>

#include "playback/transport.h"
#include "skin/bars.h"

namespace {

TEST(TransportBitrate, ZeroLengthAndFilesPastTheThirtyTwoBitProduct) {
    EXPECT_EQ(playback::estimateBitrate(4'000'000, 250), 128);
    // A track shorter than one second, or one with no reported length.
    EXPECT_EQ(playback::estimateBitrate(4'000'000, 0), 0);
    // 300 MiB: size times 8 no longer fits 32 bits, the figure is still true.
    EXPECT_EQ(playback::estimateBitrate(300LL * 1024 * 1024, 300), 8388);
    EXPECT_EQ(playback::estimateBitrate(5LL * 1024 * 1024 * 1024, 1), 42949672);
    EXPECT_EQ(playback::estimateBitrate(-1, 100), 0);
}

TEST(TransportBars, VolumeColumnsStayInsideTheBar) {
    EXPECT_EQ(skin::volumeColumns(0), 0);
    EXPECT_EQ(skin::volumeColumns(1), 1);
    EXPECT_EQ(skin::volumeColumns(500), 23);
    EXPECT_EQ(skin::volumeColumns(1000), 46);
    EXPECT_EQ(skin::volumeColumns(1012), 46);
    EXPECT_EQ(skin::volumeColumns(-5), 0);
}

TEST(TransportBars, PositionColumnsRoundUpAndStayInsideTheBar) {
    EXPECT_EQ(skin::positionColumns(0, 122000), 0);
    EXPECT_EQ(skin::positionColumns(1, 122000), 1);
    EXPECT_EQ(skin::positionColumns(61000, 122000), 61);
    EXPECT_EQ(skin::positionColumns(122000, 122000), 122);
    EXPECT_EQ(skin::positionColumns(300000, 122000), 122);
    // No length, nothing to show; 0/0 is not a number of columns.
    EXPECT_EQ(skin::positionColumns(0, 0), 0);
    EXPECT_EQ(skin::positionColumns(5000, 0), 0);
}

}  // namespace
