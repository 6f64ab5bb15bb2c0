#include <gtest/gtest.h>

#include "saver/collide/sparks.h"
#include "saver/sim/random.h"

namespace vellora {
namespace {

struct RingFixture : ::testing::Test {
    SparkRing ring;
    Random rng{5};
    void SetUp() override { ring.AllocateSparks(kSparkRingCapacity, kSparksPerBurst); }
};

TEST(SparkRingTest, WithoutArrayEverythingIsEmpty) {
    SparkRing ring;
    EXPECT_EQ(ring.AcquireBurst(), nullptr);
    ring.AdvanceSparks();
    EXPECT_EQ(ring.LiveCount(), 0);
    ring.FreeSparks();
    ring.FreeSparks();
}

TEST_F(RingFixture, HoldsAtMostTwentyNineLiveBursts) {
    for (int i = 0; i < 29; ++i) {
        Spark* b = ring.AcquireBurst();
        ASSERT_NE(b, nullptr) << i;
        ring.StartBurst(b, 10, 10, rng);
    }
    EXPECT_EQ(ring.LiveCount(), 29);
    EXPECT_EQ(ring.AcquireBurst(), nullptr);
    // All expire together seven advances after their start, making room again.
    for (int f = 0; f < 6; ++f) ring.AdvanceSparks();
    EXPECT_EQ(ring.AcquireBurst(), nullptr);
    ring.AdvanceSparks();
    EXPECT_EQ(ring.LiveCount(), 0);
    EXPECT_NE(ring.AcquireBurst(), nullptr);
}

TEST_F(RingFixture, OldestExpiresFirstAcrossTheWrap) {
    // Start one burst per frame for 40 frames: the ring wraps, and after each advance exactly the
    // bursts started in the last six frames are live.
    for (int frame = 0; frame < 40; ++frame) {
        ring.AdvanceSparks();
        Spark* b = ring.AcquireBurst();
        ASSERT_NE(b, nullptr) << frame;
        ring.StartBurst(b, frame, 0, rng);
        EXPECT_EQ(ring.LiveCount(), frame < 6 ? frame + 1 : 7);
        // In ring order from the oldest, the x of the start frame rises by one and lives fall.
        int expectedX = frame < 6 ? 0 : frame - 6;
        ring.ForEachLive([&](const Spark* burst) {
            EXPECT_EQ(burst[0].x - (kSparkLife - burst[0].life) * burst[0].stepX, expectedX);
            EXPECT_EQ(burst[0].life, kSparkLife - (frame - expectedX));
            ++expectedX;
        });
        EXPECT_EQ(expectedX, frame + 1);
    }
}

TEST_F(RingFixture, StartDrawsYThenXPerSpark) {
    Random expected = rng;
    Spark* b = ring.AcquireBurst();
    ring.StartBurst(b, 40, -3, rng);
    for (int i = 0; i < kSparksPerBurst; ++i) {
        const int sy = expected.Next() % 17 - 8;
        const int sx = expected.Next() % 17 - 8;
        EXPECT_EQ(b[i].stepY, sy);
        EXPECT_EQ(b[i].stepX, sx);
        EXPECT_GE(b[i].stepX, -8);
        EXPECT_LE(b[i].stepX, 8);
        EXPECT_EQ(b[i].x, 40);
        EXPECT_EQ(b[i].prevX, 40);
        EXPECT_EQ(b[i].y, -3);
        EXPECT_EQ(b[i].prevY, -3);
    }
    EXPECT_EQ(b[0].life, kSparkLife);
    EXPECT_EQ(rng.Draws(), expected.Draws());
}

TEST_F(RingFixture, BurstCourseOverSevenFrames) {
    Spark* b = ring.AcquireBurst();
    ring.StartBurst(b, 100, 200, rng);
    const int sx = b[2].stepX, sy = b[2].stepY;
    for (int k = 1; k <= 7; ++k) {
        ring.AdvanceSparks();
        // Even the advance that retires the burst moves its sparks.
        EXPECT_EQ(b[2].x, 100 + k * sx) << k;
        EXPECT_EQ(b[2].y, 200 + k * sy) << k;
        EXPECT_EQ(b[2].prevX, 100 + (k - 1) * sx) << k;
        EXPECT_EQ(b[0].life, 7 - k);
        EXPECT_EQ(ring.LiveCount(), k < 7 ? 1 : 0) << k;
    }
    ring.AdvanceSparks();  // a retired burst is no longer advanced
    EXPECT_EQ(b[2].x, 100 + 7 * sx);
}

TEST_F(RingFixture, ReallocationEmptiesTheRing) {
    ring.StartBurst(ring.AcquireBurst(), 1, 1, rng);
    ring.FreeSparks();
    ring.AllocateSparks(kSparkRingCapacity, kSparksPerBurst);
    EXPECT_EQ(ring.LiveCount(), 0);
    EXPECT_EQ(ring.bursts[0][0].stepX, 0);
}

}  // namespace
}  // namespace vellora
