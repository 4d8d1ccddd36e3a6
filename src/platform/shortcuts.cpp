#include "platform/shortcuts.h"

#include <array>

namespace milka::platform {

namespace {

struct ButtonKeys {
  int command;
  std::array<Qt::Key, 2> keys;
  const char* names;
};

// A first, as it is pressed most: Enter and Space both, for either hand. B goes back or erases,
// like Backspace and Escape elsewhere. Page Up and Page Down stand in for 上 and 下 because the
// arrows are whip symbols.
constexpr std::array<ButtonKeys, 5> kButtonKeys = {{
    {1, {Qt::Key_Return, Qt::Key_Space}, "Enter / Space"},
    {4, {Qt::Key_Backspace, Qt::Key_Escape}, "Backspace / Esc"},
    {2, {Qt::Key_PageUp, Qt::Key_PageUp}, "Page Up"},
    {3, {Qt::Key_PageDown, Qt::Key_PageDown}, "Page Down"},
    {5, {Qt::Key_F1, Qt::Key_F1}, "F1"},
}};

// Shift and the keypad are how the key happens to be typed; Ctrl, Alt and Meta make it another
// key.
bool plain(Qt::KeyboardModifiers modifiers) {
  return (modifiers & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == Qt::NoModifier;
}

bool withControl(Qt::KeyboardModifiers modifiers) {
  return (modifiers & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == Qt::ControlModifier;
}

}  // namespace

int commandForKey(int qtKey, Qt::KeyboardModifiers modifiers) {
  if (!plain(modifiers)) return 0;
  if (qtKey == Qt::Key_Enter) qtKey = Qt::Key_Return;  // the keypad's Enter
  for (const ButtonKeys& button : kButtonKeys)
    for (Qt::Key key : button.keys)
      if (key == qtKey) return button.command;
  return 0;
}

QString commandKeyNames(int command) {
  for (const ButtonKeys& button : kButtonKeys)
    if (button.command == command) return QString::fromLatin1(button.names);
  return {};
}

ViewKey viewKeyFor(int qtKey, Qt::KeyboardModifiers modifiers) {
  if (plain(modifiers)) {
    if (qtKey == Qt::Key_F11) return ViewKey::FullScreen;
    if (qtKey == Qt::Key_F9) return ViewKey::Gliding;
    if (qtKey == Qt::Key_F6) return ViewKey::Mute;
    if (qtKey == Qt::Key_F7) return ViewKey::Quieter;
    if (qtKey == Qt::Key_F8) return ViewKey::Louder;
    return ViewKey::None;
  }
  if (!withControl(modifiers)) return ViewKey::None;
  // Ctrl+= and Ctrl++ are one key on most layouts, and the keypad has its own.
  switch (qtKey) {
    case Qt::Key_Equal:
    case Qt::Key_Plus: return ViewKey::ZoomIn;
    case Qt::Key_Minus:
    case Qt::Key_Underscore: return ViewKey::ZoomOut;
    case Qt::Key_0: return ViewKey::ActualSize;
    default: return ViewKey::None;
  }
}

CareerKey careerKeyFor(int qtKey, Qt::KeyboardModifiers modifiers) {
  if (withControl(modifiers)) return qtKey == Qt::Key_N ? CareerKey::NewHorse : CareerKey::None;
  if (!plain(modifiers)) return CareerKey::None;
  switch (qtKey) {
    case Qt::Key_F5:
    case Qt::Key_Pause: return CareerKey::Pause;
    case Qt::Key_F3: return CareerKey::WatchAgain;
    case Qt::Key_F2: return CareerKey::Faster;
    case Qt::Key_F4: return CareerKey::SkipRace;
    default: return CareerKey::None;
  }
}

}  // namespace milka::platform
