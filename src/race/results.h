// The results board: drawn once per race, booking the result into the career.
#pragma once

#include <string>

#include "shell/game_state.h"

namespace milka {
class Game;
namespace race {

// Timer5 while screenState is screen::kResults.
void resultsBoardTick(Game& g);
// Timer2 while screenState is screen::kResults.
void afterRacePrompt(Game& g);

// The board's row for place 1..10 and runner 1..10.
std::string boardRow(const GameState& s, int place, int runner);

}  // namespace race
}  // namespace milka
