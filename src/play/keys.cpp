#include "play/keys.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace milka::play {

namespace {

struct ButtonKeys {
  int command;
  std::array<int, 2> keys;
  const char* names;
};

// A first, as it is pressed most: Enter and Space both, for either hand. B goes back or erases,
// like Backspace and Escape elsewhere. Page Up and Page Down stand in for 上 and 下 because the
// arrows are whip symbols.
constexpr std::array<ButtonKeys, 5> kButtonKeys = {{
    {1, {vk::kEnter, vk::kSpace}, "Enter / Space"},
    {4, {vk::kBackspace, vk::kEscape}, "Backspace / Esc"},
    {2, {vk::kPageUp, vk::kPageUp}, "Page Up"},
    {3, {vk::kPageDown, vk::kPageDown}, "Page Down"},
    {5, {vk::kF1, vk::kF1}, "F1"},
}};

struct Bound {
  int code;
  bool control;
  ViewKey view;
  CareerKey career;
};

// Ctrl+= and Ctrl++ are one key on most layouts, and the keypad has its own.
constexpr std::array<Bound, 16> kBound = {{
    {vk::kF11, false, ViewKey::FullScreen, CareerKey::None},
    {vk::kF9, false, ViewKey::Gliding, CareerKey::None},
    {vk::kF6, false, ViewKey::Mute, CareerKey::None},
    {vk::kF7, false, ViewKey::Quieter, CareerKey::None},
    {vk::kF8, false, ViewKey::Louder, CareerKey::None},
    {vk::kPlus, true, ViewKey::ZoomIn, CareerKey::None},
    {vk::kNumpadPlus, true, ViewKey::ZoomIn, CareerKey::None},
    {vk::kMinus, true, ViewKey::ZoomOut, CareerKey::None},
    {vk::kNumpadMinus, true, ViewKey::ZoomOut, CareerKey::None},
    {vk::k0, true, ViewKey::ActualSize, CareerKey::None},
    {vk::kF5, false, ViewKey::None, CareerKey::Pause},
    {vk::kPause, false, ViewKey::None, CareerKey::Pause},
    {vk::kF3, false, ViewKey::None, CareerKey::WatchAgain},
    {vk::kF2, false, ViewKey::None, CareerKey::Faster},
    {vk::kF4, false, ViewKey::None, CareerKey::SkipRace},
    {vk::kN, true, ViewKey::None, CareerKey::NewHorse},
}};

}  // namespace

KeyAction actionFor(const KeyPress& key) {
  KeyAction action;
  // Shift is how the key happens to be typed; Ctrl, Alt and Meta make it another key.
  if (!key.alt) {
    for (const Bound& b : kBound)
      if (b.code == key.code && b.control == key.control) {
        action.view = b.view;
        action.career = b.career;
        return action;
      }
    if (!key.control)
      for (const ButtonKeys& button : kButtonKeys)
        for (int code : button.keys)
          if (code == key.code) {
            action.command = button.command;
            return action;
          }
  }
  if ((key.code >= vk::kA && key.code <= vk::kZ) ||
      (key.code >= vk::kLeft && key.code <= vk::kDown))
    action.symbol = key.code;
  return action;
}

std::string commandKeyNames(int command) {
  for (const ButtonKeys& button : kButtonKeys)
    if (button.command == command) return button.names;
  return {};
}

void stepVolume(ViewPrefs& prefs, int steps) {
  prefs.volume = std::clamp(prefs.volume + steps, kMinVolume, kMaxVolume);
  if (steps > 0) prefs.muted = false;
}

bool zoomAllowed(double zoom) {
  return zoom >= kMinZoom && zoom <= kMaxZoom;
}

bool volumeAllowed(int volume) {
  return volume >= kMinVolume && volume <= kMaxVolume;
}

int steppedZoom(double scale, int steps, int largest) {
  // Zooms a hair under a whole number still count as that number.
  constexpr double kSlack = 1e-6;
  const int now = steps > 0 ? static_cast<int>(std::floor(scale + kSlack))
                            : static_cast<int>(std::ceil(scale - kSlack));
  int next = std::max(1, now + steps);
  if (steps > 0) next = std::min(next, std::max(now, largest));
  return std::clamp(next, static_cast<int>(kMinZoom), static_cast<int>(kMaxZoom));
}

}  // namespace milka::play
