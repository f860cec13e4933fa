// The one clock program logic reads. Tests use ManualClock.
#pragma once

#include <cstdint>

namespace ui {

using Micros = std::int64_t;

class Clock {
  public:
    virtual ~Clock() = default;
    virtual Micros now() const = 0;
    // True for a clock that only moves when told to.
    virtual bool manual() const { return false; }
    // ManualClock: move to `t` (never backwards).
    virtual void advanceTo(Micros) {}
};

class SteadyClock final : public Clock {
  public:
    SteadyClock();
    Micros now() const override;

  private:
    std::int64_t origin_;
};

class ManualClock final : public Clock {
  public:
    explicit ManualClock(Micros start = 0) : t_(start) {}
    Micros now() const override { return t_; }
    bool manual() const override { return true; }
    void advanceTo(Micros t) override {
        if (t > t_)
            t_ = t;
    }

  private:
    Micros t_;
};

inline constexpr Micros ms(double m) {
    return Micros(m * 1000.0);
}

} // namespace ui
