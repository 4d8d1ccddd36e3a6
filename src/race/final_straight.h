// The final straight and the finish calls.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "race/final_phrases.h"

namespace milka {
class Game;
struct GameState;
namespace race {

// Timer3 while the race screen is up: on the final lap, a line every seventh tick of the
// running commentary; once the line has been crossed, the four finish calls.
void finalStraightTick(Game& g);

// The line of a straight stage in the drawn pick: the scene-setting stages 0 and 10, the leader
// (1), the runner in second (2), and the leader holding on (3 and 4). Nothing for a stage, pick
// or runner that has no phrasing.
std::optional<std::string> straightLine(const GameState& s, int stage, int pick, int runner);
// Stage 3 or 4 when the named leader has been passed: the new leader and the runner he passed.
std::optional<std::string> leadChangeLine(const GameState& s, int stage, int pick, int newLeader,
                                          int passed);
// The finish calls: the goal (0), the winner (1), the runner-up (2), the winner again (3).
std::optional<std::string> finishLine(const GameState& s, int stage, int pick, int runner);

// The order in which the challengers of a passed leader are tried: 2, 1, 3 .. 10 without him,
// with runner 4 moved into his slot when he is runner 5 or later.
std::vector<int> leadCheckOrder(int leader);

}  // namespace race
}  // namespace milka
