// The race timer's race work: the fixed labels, the countdown and start call, then the running.
#pragma once

namespace milka {
class Game;
namespace race {

// Every Timer1 tick while the race screen is up.
void raceTick(Game& g);

}  // namespace race
}  // namespace milka
