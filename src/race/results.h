// The results board: drawn once per race, booking the result into the career.
#pragma once

namespace milka {
class Game;
namespace race {

// Timer5 while screenState is 8.
void resultsBoardTick(Game& g);
// Timer2 while screenState is 8.
void afterRacePrompt(Game& g);

}  // namespace race
}  // namespace milka
