#include "shell/random.h"

#include <chrono>
#include <cmath>

namespace milka {

namespace {

uint64_t splitmix(uint64_t& x) {
  x += 0x9E3779B97F4A7C15ull;
  uint64_t z = x;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

}  // namespace

uint64_t SteadyClock::now() {
  return static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

ClockRandom::ClockRandom(Clock& clock) : clock_(clock), state_(0x6D696C6B61ull) {
  Randomize();
}

ClockRandom::ClockRandom(Clock& clock, uint64_t seed) : clock_(clock), state_(0x6D696C6B61ull) {
  uint64_t mixed = seed;
  state_ ^= splitmix(mixed);
  Randomize();
}

double ClockRandom::Rnd() {
  // 53 random bits scaled into [0, 1).
  return static_cast<double>(splitmix(state_) >> 11) * 0x1.0p-53;
}

void ClockRandom::Randomize() {
  // The state keeps everything it had; the clock and the re-seed count are stirred in, so the
  // same clock reading twice still lands somewhere new.
  uint64_t stir = clock_.now() ^ (++reseeds_ * 0xD1B54A32D192ED03ull);
  state_ ^= splitmix(stir);
  splitmix(state_);
}

void ClockRandom::stir(uint64_t value) {
  state_ ^= splitmix(value);
  splitmix(state_);
}

int32_t Rng::pick(int32_t n) {
  return static_cast<int32_t>(std::floor(Rnd() * n)) + 1;
}

}  // namespace milka
