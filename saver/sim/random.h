// The one pseudo-random generator of a simulation: values 0 to 32767, seedable, the same sequence
// for the same seed on every platform.
#pragma once

#include <cstdint>

namespace vellora {

class Random {
public:
    static constexpr int kMax = 32767;

    explicit Random(std::uint32_t seed = 1) : state_(seed) {}
    void Seed(std::uint32_t seed) { state_ = seed; }
    // How many numbers have been drawn since construction; tests use it to check the draw order.
    std::uint64_t Draws() const { return draws_; }
    int Next() {
        ++draws_;
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7FFFu);
    }

private:
    std::uint32_t state_;
    std::uint64_t draws_ = 0;
};

}  // namespace vellora
