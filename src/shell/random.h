// The random source. Rnd() is uniform in [0, 1); Randomize() stirs a clock reading into the
// generator. The game re-seeds before nearly every draw, often many times inside one clock
// instant, so re-seeding must never put the generator back where it has been: each call also
// mixes in a counter, and a frozen clock still gives fresh draws.
#pragma once

#include <cstdint>

namespace milka {

class RandomSource {
 public:
  virtual ~RandomSource() = default;
  virtual double Rnd() = 0;
  virtual void Randomize() = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual uint64_t now() = 0;  // any steadily rising reading
};

class SteadyClock final : public Clock {
 public:
  uint64_t now() override;
};

// A clock that moves on by the same amount at every reading, so that a game seeded the same way
// and played the same way draws the same numbers: a career can be replayed from its seed.
class CountingClock final : public Clock {
 public:
  explicit CountingClock(uint64_t step = 1) : step_(step) {}
  uint64_t now() override { return reading_ += step_; }

 private:
  uint64_t step_;
  uint64_t reading_ = 0;
};

class ClockRandom final : public RandomSource {
 public:
  explicit ClockRandom(Clock& clock);
  // Starts from a state of its own drawn from seed instead of the fixed one.
  ClockRandom(Clock& clock, uint64_t seed);
  double Rnd() override;
  void Randomize() override;
  // Mixes value into the state: every later draw depends on it.
  void stir(uint64_t value);

 private:
  Clock& clock_;
  uint64_t state_;
  uint64_t reseeds_ = 0;
};

// What the rules use: Rnd, Randomize and the whole-number draw Int(Rnd × n) + 1.
class Rng {
 public:
  explicit Rng(RandomSource& source) : source_(&source) {}
  double Rnd() { return source_->Rnd(); }
  void Randomize() { source_->Randomize(); }
  int32_t pick(int32_t n);  // Int(Rnd × n) + 1
  // Re-seed, then pick: the pattern almost every draw of the game follows.
  int32_t reseedPick(int32_t n) {
    Randomize();
    return pick(n);
  }

 private:
  RandomSource* source_;
};

}  // namespace milka
