// The running commentary while laps remain: positions, the running order and the script.
#pragma once

namespace milka {
class Game;
namespace race {

// Timer2 while the race runs (countdown over).
void commentaryTick(Game& g);

}  // namespace race
}  // namespace milka
