#include "play/game_sound.h"

#include <algorithm>

namespace milka::play {

GameSound::GameSound(bool muted, int volume)
    : muted_(muted), volume_(std::clamp(volume, kMinVolume, kMaxVolume)) {
  applyGain();
}

bool GameSound::follow(const Game& game) {
  bool whip = false;
  for (Cue cue : cues_.follow(game)) {
    mixer_.play(cue);
    whip = whip || cue == Cue::Whip;
  }
  if (cues_.ambience() != shownAmbience_) {
    shownAmbience_ = cues_.ambience();
    mixer_.setAmbience(shownAmbience_);
  }
  return whip;
}

void GameSound::setMuted(bool muted) {
  muted_ = muted;
  applyGain();
}

void GameSound::setVolume(int volume) {
  volume_ = std::clamp(volume, kMinVolume, kMaxVolume);
  applyGain();
}

void GameSound::applyGain() {
  // Loudness is heard on a curve: equal steps of F7 and F8 should sound like equal steps.
  const float step = static_cast<float>(volume_) / static_cast<float>(kMaxVolume);
  mixer_.setGain(muted_ ? 0.0f : step * step);
}

}  // namespace milka::play
