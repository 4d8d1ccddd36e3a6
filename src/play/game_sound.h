// What the game sounds like from moment to moment: follows the model after every event, plays
// what the cues call for into the mixer, and hands out mixed samples to whatever plays them
// (a sound device on the desktop, Web Audio in a page). Loudness and muting are here too, so
// every window sounds the same at the same step.
#pragma once

#include "play/keys.h"
#include "play/sound_cues.h"
#include "play/sound_mixer.h"
#include "play/sound_synth.h"

namespace milka::play {

class GameSound {
 public:
  GameSound(bool muted, int volume);
  GameSound(const GameSound&) = delete;
  GameSound& operator=(const GameSound&) = delete;

  // Makes the sounds; before anything is rendered, on whichever thread renders.
  void synthesise() { bank_ = synthesiseSounds(); }
  // After every event the game receives; whether a whip cracked, which wants hearing at once.
  bool follow(const Game& game);
  // Mixed samples, mono at kSampleRate.
  void render(int16_t* out, size_t frames) { mixer_.render(out, frames); }

  void setMuted(bool muted);
  bool muted() const { return muted_; }
  void setVolume(int volume);
  int volume() const { return volume_; }
  Mixer& mixer() { return mixer_; }

 private:
  void applyGain();

  SoundCues cues_;
  Ambience shownAmbience_;
  SoundBank bank_;
  Mixer mixer_{bank_};
  bool muted_;
  int volume_;
};

}  // namespace milka::play
