// The game's sound: follows the model after every event and plays what the cues call for, on an
// audio thread of its own. Without an output device, or when the sound server goes away, the
// game plays on in silence and tries the output again now and then.
#pragma once

#include <QObject>
#include <QThread>
#include <memory>

#include "platform/sound_cues.h"
#include "platform/sound_mixer.h"
#include "platform/sound_synth.h"

namespace milka::platform {

class AudioOutput;

class Sound {
 public:
  // The output opens on the audio thread; construction returns at once.
  Sound(bool muted, int volume);
  ~Sound();
  Sound(const Sound&) = delete;
  Sound& operator=(const Sound&) = delete;

  // After every event the game receives.
  void follow(const Game& game);

  void setMuted(bool muted);
  bool muted() const { return muted_; }
  void setVolume(int volume);
  int volume() const { return volume_; }

  // Whether an output device is open and playing, for the tests and the benchmarks.
  bool playing() const;
  Mixer& mixer() { return mixer_; }

 private:
  void applyGain();

  SoundCues cues_;
  Ambience shownAmbience_;
  SoundBank bank_;  // filled on the audio thread before anything is rendered
  Mixer mixer_{bank_};
  QThread thread_;
  AudioOutput* output_;  // lives on thread_
  bool muted_;
  int volume_;
};

}  // namespace milka::platform
