// The spark ring: a fixed ring of bursts allocated once per scene; a full ring throws no sparks.
#pragma once

#include <cstdint>

namespace vellora {

class Random;

struct Spark {
    std::int32_t x, y;
    std::int32_t prevX, prevY;
    std::int32_t stepX = 0, stepY = 0;
    std::int32_t life;  // only the first spark of a burst is counted down and tested
};

constexpr std::int32_t kSparkRingCapacity = 30;
constexpr std::int32_t kSparksPerBurst = 4;
constexpr std::int32_t kSparkLife = 7;

class SparkRing {
public:
    SparkRing() = default;
    SparkRing(const SparkRing&) = delete;
    SparkRing& operator=(const SparkRing&) = delete;
    ~SparkRing() { FreeSparks(); }

    void AllocateSparks(std::int32_t capacity, std::int32_t sparksPerBurst);
    void FreeSparks();
    // The next free burst, or null when the ring is full.
    Spark* AcquireBurst();
    // Starts every spark of a burst at (px, py): two draws per spark, stepY first.
    void StartBurst(Spark* burst, std::int32_t px, std::int32_t py, Random& rng) const;
    // Ages the live bursts and moves their sparks one step.
    void AdvanceSparks();

    std::int32_t LiveCount() const;
    // Calls f(burst) for each live burst in ring order, from the oldest.
    template <typename F>
    void ForEachLive(F&& f) const {
        if (!bursts || capacity <= 0) return;
        for (std::int32_t i = oldest; i != nextFree; i = (i + 1) % capacity) f(bursts[i]);
    }

    Spark** bursts = nullptr;
    std::int32_t sparksPerBurst = 0;
    std::int32_t capacity = 0;
    std::int32_t oldest = 0;
    std::int32_t nextFree = 0;
};

}  // namespace vellora
