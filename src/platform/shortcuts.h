// The keyboard's part of the window: keys that press the five buttons, and keys that change how
// the window is shown. None of them is an arrow or a letter, which the game reads in Text1 on
// every screen as name and whip symbols.
#pragma once

#include <QString>
#include <Qt>

namespace milka::platform {

// The button (1..5, Command1 .. Command5) a key presses, or 0.
int commandForKey(int qtKey, Qt::KeyboardModifiers modifiers);

// The keys of a button as its tooltip names them.
QString commandKeyNames(int command);

enum class ViewKey { None, ZoomIn, ZoomOut, ActualSize, FullScreen, Gliding, Mute, Quieter, Louder };

ViewKey viewKeyFor(int qtKey, Qt::KeyboardModifiers modifiers);

// Keys for the career rather than the game: they never reach the rules.
enum class CareerKey {
  None,
  Pause,       // F5 or Pause: stop everything, and go on
  WatchAgain,  // F3: the race just run, again from its card
  NewHorse,    // Ctrl+N, offered when a career is continued: start a new horse instead
  Faster,      // F2, in a replay: 1×, 2×, 4×, 16×, and back
  SkipRace,    // F4, in a replay: on to the next race card
};

CareerKey careerKeyFor(int qtKey, Qt::KeyboardModifiers modifiers);

}  // namespace milka::platform
