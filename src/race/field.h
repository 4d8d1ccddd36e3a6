// The rivals: their ability tables, the jockeys, and making one gate's rows at race entry.
#pragma once

#include <array>
#include <cstdint>

#include "race/rival_tables.h"

namespace milka {
class Game;
namespace race {

// Fills runnerName, runnerAbility, jockeyName and jockeyAbility of gate 1..9 from rivalPick and
// jockeyPick. A 2-year-old's field draws a tier level for each gate; later the class decides.
void makeRivalRow(Game& g, int gate);

// The weak table up to level 6, the middle one for 7 to 12, the strong one from 13 on.
const RivalTable& rivalTableOfLevel(int32_t level);
// What every rival gains at the player's class step, by lapsToGo 0..7.
std::array<int32_t, 8> classAdjustment(int32_t horseClass);

}  // namespace race
}  // namespace milka
