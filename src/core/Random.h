// The one random generator. reseed() mixes the clock with a counter, so a
// draw loop that reseeds from a frozen clock still moves on.
#pragma once

#include <cstdint>
#include <random>

namespace core {

class Random {
  public:
    explicit Random(std::uint64_t seed = 1) : gen_(seed) {}
    void seed(std::uint64_t s) { gen_.seed(s); }
    // "Randomize": reseed from the loop clock.
    void reseed(std::int64_t clockMicros) {
        gen_.seed(std::uint64_t(clockMicros) * 0x9E3779B97F4A7C15ull + ++reseeds_);
    }
    // A number in [0, 1).
    double next() { return std::uniform_real_distribution<double>(0.0, 1.0)(gen_); }
    // 1..n: the integer part of random x n, plus 1.
    int draw(int n) { return int(next() * n) + 1; }

  private:
    std::mt19937_64 gen_;
    std::uint64_t reseeds_ = 0;
};

} // namespace core
