// The race timer's race work: the fixed labels, the countdown and start call, then the running.
#pragma once

#include <string>

#include "shell/game_state.h"

namespace milka {
class Game;
namespace race {

// Every Timer1 tick while the race screen is up.
void raceTick(Game& g);

// The announcer's start call for the course, the phrasing drawn and the surface; empty when any
// of them is not one the game knows.
std::string startCall(const GameState& s);

}  // namespace race
}  // namespace milka
