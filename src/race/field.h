// The rivals: their ability tables, the jockeys, and making one gate's rows at race entry.
#pragma once

namespace milka {
class Game;
namespace race {

// Fills runnerName, runnerAbility, jockeyName and jockeyAbility of gate 1..9 from rivalPick and jockeyPick.
void makeRivalRow(Game& g, int gate);

}  // namespace race
}  // namespace milka
