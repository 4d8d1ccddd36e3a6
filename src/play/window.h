// What the midend asks of the window it runs in. A window draws the game it is given, keeps its
// timers and its input still when told, ticks a replay's pace, and shows notes; it decides
// none of these itself.
#pragma once

#include <functional>
#include <string>

#include "shell/game.h"

namespace milka::play {

class Window {
 public:
  virtual ~Window() = default;

  // Draw this game from now on (a race watched again, a new horse); it outlives its showing.
  virtual void setGame(Game& game) = 0;
  // The model changed outside the window's own events: bring the view up to date.
  virtual void sync() = 0;
  // Paused or locked, the game's five timers stand still and nothing pressed reaches the game;
  // neither, they run.
  virtual void setStill(bool paused, bool locked) = 0;
  // Calls tick every ms milliseconds from now on; 0 stops it.
  virtual void setPace(int ms, std::function<void()> tick) = 0;
  // Put before the game's own caption in the window's title.
  virtual void setTitlePrefix(const std::string& prefix) = 0;
  // A note over the window for a moment.
  virtual void showNote(const std::string& text) = 0;
  // A note that stays until hidden or replaced.
  virtual void showLastingNote(const std::string& text) = 0;
  virtual void hideLastingNote() = 0;
  // Runs f from the window's own turn, after whatever called this has returned.
  virtual void later(std::function<void()> f) = 0;
};

}  // namespace milka::play
