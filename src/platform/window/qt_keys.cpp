#include "platform/window/qt_keys.h"

namespace milka::platform {

int keyCodeFor(int qtKey) {
  namespace vk = play::vk;
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return vk::kA + (qtKey - Qt::Key_A);
  if (qtKey >= Qt::Key_Left && qtKey <= Qt::Key_Down) return vk::kLeft + (qtKey - Qt::Key_Left);
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) return vk::kF1 + (qtKey - Qt::Key_F1);
  switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return vk::kEnter;  // the keypad's Enter too
    case Qt::Key_Space: return vk::kSpace;
    case Qt::Key_Backspace: return vk::kBackspace;
    case Qt::Key_Escape: return vk::kEscape;
    case Qt::Key_PageUp: return vk::kPageUp;
    case Qt::Key_PageDown: return vk::kPageDown;
    case Qt::Key_Pause: return vk::kPause;
    case Qt::Key_0: return vk::k0;
    // = and + are one key on most layouts, - and _ another.
    case Qt::Key_Equal:
    case Qt::Key_Plus: return vk::kPlus;
    case Qt::Key_Minus:
    case Qt::Key_Underscore: return vk::kMinus;
    default: return 0;
  }
}

play::KeyPress keyPressOf(int qtKey, Qt::KeyboardModifiers modifiers, bool repeat) {
  play::KeyPress press;
  press.code = keyCodeFor(qtKey);
  press.shift = modifiers.testFlag(Qt::ShiftModifier);
  press.control = modifiers.testFlag(Qt::ControlModifier);
  press.alt = modifiers.testFlag(Qt::AltModifier) || modifiers.testFlag(Qt::MetaModifier);
  press.repeat = repeat;
  return press;
}

play::KeyPress keyPressOf(const QKeyEvent& key) {
  return keyPressOf(key.key(), key.modifiers(), key.isAutoRepeat());
}

}  // namespace milka::platform
