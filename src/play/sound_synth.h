// Every sound the game makes, synthesised from nothing when it starts: no recording is shipped.
// The one-shot sounds are kept whole; the hoofbeats and the crowd's murmur are made on the fly
// by the mixer from the pieces here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "play/sound_cues.h"

namespace milka::play {

inline constexpr int kSampleRate = 48000;
inline constexpr size_t kCueCount = static_cast<size_t>(Cue::CareerOver) + 1;
inline constexpr size_t kHoofVariants = 4;

using Samples = std::vector<float>;  // mono, -1..1, at kSampleRate

struct SoundBank {
  std::array<Samples, kCueCount> cues;
  std::array<Samples, kHoofVariants> hooves;  // one footfall each, a little different

  const Samples& of(Cue cue) const { return cues[static_cast<size_t>(cue)]; }
};

SoundBank synthesiseSounds();

// A small, fast noise source whose sequence is the same every run.
class Noise {
 public:
  explicit Noise(uint32_t seed = 0x9E3779B9u) : state_(seed | 1u) {}
  float next() {  // uniform in -1..1
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<float>(state_) * (2.0f / 4294967296.0f) - 1.0f;
  }

 private:
  uint32_t state_;
};

// A resonant band-pass, for the murmur of voices and the crack's bite.
class BandPass {
 public:
  BandPass(float centreHz, float q);
  float operator()(float x);

 private:
  float b0_, b2_, a1_, a2_;
  float x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

}  // namespace milka::play
