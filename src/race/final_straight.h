// The final straight and the finish calls.
#pragma once

namespace milka {
class Game;
namespace race {

// Timer3 while the race screen is up.
void finalStraightTick(Game& g);

}  // namespace race
}  // namespace milka
