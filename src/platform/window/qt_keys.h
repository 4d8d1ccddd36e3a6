// Qt's keys as the key codes every window of the game speaks; what each one does is the
// midend's (play/keys.h).
#pragma once

#include <QKeyEvent>

#include "play/keys.h"

namespace milka::platform {

// The key code for a Qt key, or 0 for a key no window binds.
int keyCodeFor(int qtKey);

play::KeyPress keyPressOf(const QKeyEvent& key);
play::KeyPress keyPressOf(int qtKey, Qt::KeyboardModifiers modifiers, bool repeat = false);

}  // namespace milka::platform
