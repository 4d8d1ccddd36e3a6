// The page's sound: the same GameSound the desktop plays, following the shown game after every
// event, its mixed samples handed to the page's Web Audio a block at a time. The page starts it
// on the player's first touch or key, as browsers require, and stops asking for samples while
// it is muted or out of sight; until then the cues are still followed, so the first sound heard
// belongs to the moment it is heard in.
#include <emscripten/emscripten.h>

#include <algorithm>
#include <vector>

#include "play/game_sound.h"
#include "play/keys.h"

namespace milka::web {
namespace {

struct PageSound {
  // Muted until the page says otherwise: its settings live in the page.
  play::GameSound sound{true, play::ViewPrefs{}.volume};
  bool synthesised = false;
  bool playing = false;
  bool whipped = false;
  std::vector<int16_t> block;
};

PageSound& pageSound() {
  static PageSound s;
  return s;
}

}  // namespace

// After every event the game receives, as the desktop's window does in its sync.
void followSound(const Game& game) {
  PageSound& s = pageSound();
  if (s.sound.follow(game)) s.whipped = true;
  // Nothing renders while the page is not playing: what was posted is taken now and forgotten,
  // so it neither piles up nor sounds late.
  if (!s.playing) {
    s.sound.mixer().silence();
    s.sound.render(nullptr, 0);
  }
}

}  // namespace milka::web

using milka::web::pageSound;

extern "C" {

EMSCRIPTEN_KEEPALIVE int milka_sound_rate() {
  return milka::play::kSampleRate;
}

EMSCRIPTEN_KEEPALIVE void milka_sound_set(int muted, int volume) {
  auto& s = pageSound();
  s.sound.setMuted(muted != 0);
  s.sound.setVolume(volume);
}

// Whether the page is taking samples now. Started afresh, nothing from before is heard.
EMSCRIPTEN_KEEPALIVE void milka_sound_playing(int on) {
  auto& s = pageSound();
  if (on && !s.synthesised) {
    s.sound.synthesise();
    s.synthesised = true;
  }
  if (on && !s.playing) s.sound.mixer().silence();
  s.playing = on != 0;
}

// The next frames of the mix (mono, int16 at milka_sound_rate), in a block the page reads from
// HEAP16 before its next call.
EMSCRIPTEN_KEEPALIVE const int16_t* milka_sound_render(int frames) {
  auto& s = pageSound();
  s.block.resize(static_cast<size_t>(frames > 0 ? frames : 0));
  if (s.playing) {
    s.sound.render(s.block.data(), s.block.size());
  } else {
    std::fill(s.block.begin(), s.block.end(), int16_t{0});
  }
  return s.block.data();
}

// Whether a whip cracked since the page last asked.
EMSCRIPTEN_KEEPALIVE int milka_sound_whipped() {
  auto& s = pageSound();
  const bool was = s.whipped;
  s.whipped = false;
  return was ? 1 : 0;
}

}  // extern "C"
