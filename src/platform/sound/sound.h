// The game's sound device: plays what the midend's sound mixes (play/game_sound.h), on an audio
// thread of its own. Without an output device, or when the sound server goes away, the
// game plays on in silence and tries the output again now and then.
#pragma once

#include <QObject>
#include <QThread>
#include <memory>

#include "play/game_sound.h"

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

  void setMuted(bool muted) { sound_.setMuted(muted); }
  bool muted() const { return sound_.muted(); }
  void setVolume(int volume) { sound_.setVolume(volume); }
  int volume() const { return sound_.volume(); }

  // Whether an output device is open and playing, for the tests and the benchmarks.
  bool playing() const;
  play::Mixer& mixer() { return sound_.mixer(); }

 private:
  play::GameSound sound_;  // synthesised on the audio thread before anything is rendered
  QThread thread_;
  AudioOutput* output_;  // lives on thread_
};

}  // namespace milka::platform
