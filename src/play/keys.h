// The keyboard's part of every window: keys that press the five buttons, keys that change how
// the window is shown, keys for the career itself, and the letters and arrows the game reads in
// Text1 as name and whip symbols. Keys are named by the Windows key codes the game's own
// Text1_KeyDown takes, so a window turns its toolkit's keys into these once and asks here what
// each one does.
#pragma once

#include <string>

namespace milka::play {

// Key codes (the Windows virtual-key codes).
namespace vk {
inline constexpr int kBackspace = 8, kEnter = 13, kPause = 19, kEscape = 27, kSpace = 32;
inline constexpr int kPageUp = 33, kPageDown = 34, kLeft = 37, kUp = 38, kRight = 39, kDown = 40;
inline constexpr int k0 = 48, kA = 65, kN = 78, kZ = 90;
inline constexpr int kNumpadPlus = 107, kNumpadMinus = 109;
inline constexpr int kF1 = 112, kF2 = 113, kF3 = 114, kF4 = 115, kF5 = 116, kF6 = 117, kF7 = 118,
                     kF8 = 119, kF9 = 120, kF11 = 122;
inline constexpr int kPlus = 187, kMinus = 189;  // the main keyboard's =/+ and -/_
}  // namespace vk

struct KeyPress {
  int code = 0;  // a key code above; 0 for a key no window binds
  bool shift = false;
  bool control = false;
  bool alt = false;     // Alt or Meta: either makes it another key
  bool repeat = false;  // the key held down
};

enum class ViewKey {
  None,
  ZoomIn,
  ZoomOut,
  ActualSize,
  FullScreen,
  Gliding,
  Mute,
  Quieter,
  Louder
};

// Keys for the career rather than the game: they never reach the rules.
enum class CareerKey {
  None,
  Pause,       // F5 or Pause: stop everything, and go on
  WatchAgain,  // F3: the race just run, again from its card
  NewHorse,    // Ctrl+N, offered when a career is continued: start a new horse instead
  Faster,      // F2, in a replay: 1×, 2×, 4×, 16×, and back
  SkipRace,    // F4, in a replay: on to the next race card
};

// What a key does in the window: press a button, change the view, act on the career, or reach
// the game as a symbol typed in Text1 (letters and arrows, whatever else is held).
struct KeyAction {
  int command = 0;  // 1..5, Command1 .. Command5
  ViewKey view = ViewKey::None;
  CareerKey career = CareerKey::None;
  int symbol = 0;  // 65..90 for the letters, 37..40 for the arrows
  bool operator==(const KeyAction&) const = default;
};

KeyAction actionFor(const KeyPress& key);

// The keys of a button as its tooltip names them.
std::string commandKeyNames(int command);

// The volume's steps, down and up.
inline constexpr int kMinVolume = 0;
inline constexpr int kMaxVolume = 10;
// The zooms a window may show the form at: below 1× the captions no longer fit their boxes.
inline constexpr double kMinZoom = 1.0;
inline constexpr double kMaxZoom = 8.0;
// How the player last left the view, which every window keeps between runs in its own way.
struct ViewPrefs {
  double zoom = 1.0;
  bool fullScreen = false;
  bool gliding = true;
  bool muted = false;
  int volume = 7;  // kMinVolume .. kMaxVolume
};
// F7 and F8: a step quieter or louder, within the range; turning it up is asking to hear it, so
// it unmutes too.
void stepVolume(ViewPrefs& prefs, int steps);
// A value read back from where a window keeps them: a hand-edited or damaged one must not open a
// window of no size or of a thousand screens, nor play louder than the top step.
bool zoomAllowed(double zoom);
bool volumeAllowed(int volume);

// The whole zoom `steps` away from `scale` (1×, 2×, 3× …): up only as far as `largest` (what
// the screen has room for), down always, even from a window larger than that.
int steppedZoom(double scale, int steps, int largest);

}  // namespace milka::play
