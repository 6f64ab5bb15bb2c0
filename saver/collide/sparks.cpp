#include "saver/collide/sparks.h"

#include "saver/sim/geometry.h"
#include "saver/sim/random.h"

namespace vellora {

void SparkRing::AllocateSparks(std::int32_t cap, std::int32_t perBurst) {
    sparksPerBurst = perBurst;
    capacity = cap;
    oldest = 0;
    nextFree = 0;
    bursts = new Spark*[cap];
    for (std::int32_t i = 0; i < cap; ++i) bursts[i] = new Spark[perBurst]();
}

void SparkRing::FreeSparks() {
    if (!bursts) return;
    for (std::int32_t i = 0; i < capacity; ++i) delete[] bursts[i];
    delete[] bursts;
    bursts = nullptr;
}

Spark* SparkRing::AcquireBurst() {
    if (!bursts || capacity <= 0) return nullptr;
    if ((nextFree + 1) % capacity == oldest) return nullptr;
    Spark* burst = bursts[nextFree];
    nextFree = (nextFree + 1) % capacity;
    return burst;
}

void SparkRing::StartBurst(Spark* burst, std::int32_t px, std::int32_t py, Random& rng) const {
    for (std::int32_t i = 0; i < sparksPerBurst; ++i) {
        Spark& s = burst[i];
        s.stepY = rng.Next() % 17 - 8;
        s.stepX = rng.Next() % 17 - 8;
        s.x = s.prevX = px;
        s.y = s.prevY = py;
        s.life = kSparkLife;
    }
}

void SparkRing::AdvanceSparks() {
    if (!bursts || capacity <= 0) return;
    // Only the bursts live at the start are visited; all share one life, so they expire in the
    // order they were handed out and the one that reaches 0 is always the oldest.
    const std::int32_t end = nextFree;
    for (std::int32_t i = oldest; i != end; i = (i + 1) % capacity) {
        Spark* burst = bursts[i];
        if (--burst[0].life == 0) oldest = (oldest + 1) % capacity;
        for (std::int32_t k = 0; k < sparksPerBurst; ++k) {
            Spark& s = burst[k];
            s.prevX = s.x;
            s.prevY = s.y;
            s.x = SaturateToInt32(std::int64_t{s.x} + s.stepX);
            s.y = SaturateToInt32(std::int64_t{s.y} + s.stepY);
        }
    }
}

std::int32_t SparkRing::LiveCount() const {
    if (!bursts || capacity <= 0) return 0;
    return (nextFree - oldest + capacity) % capacity;
}

}  // namespace vellora
