// Mixes the game's sounds into one stream: the one-shot cues and, made as it goes, the gallop
// and the crowd. The window thread only posts to it; the audio thread renders, so no tick or
// frame ever waits for mixing.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <vector>

#include "play/sound_synth.h"

namespace milka::play {

class Mixer {
 public:
  explicit Mixer(const SoundBank& bank);

  // From any thread.
  void play(Cue cue);
  void setAmbience(const Ambience& ambience);
  void setGain(float gain) { gain_.store(gain, std::memory_order_relaxed); }
  // Forgets what is sounding, as when the output is started afresh; what was posted a moment
  // ago still plays.
  void silence();

  // From the audio thread: the next frames of the stream.
  void render(int16_t* out, size_t frames);

  // When the last whip's first sample was rendered, for measuring key-to-crack latency.
  std::chrono::steady_clock::time_point lastCrackRendered() const;

 private:
  struct Voice {
    const Samples* samples;
    size_t at;     // the next sample to play
    size_t delay;  // frames of the coming block before it starts
    float gain;
  };
  struct Posted {
    Cue cue;
    std::chrono::steady_clock::time_point when;
  };
  void takePosted();
  void gallopChunk(size_t at, size_t frames);
  void crowdChunk(float* into, size_t frames);

  const SoundBank& bank_;
  std::atomic<float> gain_{1.0f};

  mutable std::mutex posted_mutex_;
  std::vector<Posted> posted_;
  Ambience target_;
  bool silence_ = false;
  std::chrono::steady_clock::time_point crackRendered_{};

  // The audio thread's own.
  std::vector<Posted> taking_;
  std::vector<Voice> voices_;
  std::vector<float> mix_;
  Ambience now_;
  Ambience aim_;
  float stride_ = 0;  // 0..1 through the current stride
  Noise noise_{2024};
  Noise hoofChoice_{31337};
  BandPass chest_{380.0f, 0.7f}, voice_{1050.0f, 0.9f};
  float flicker_ = 0;
  double lfo_ = 0;
};

}  // namespace milka::play
