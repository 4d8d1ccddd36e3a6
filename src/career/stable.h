// The stable screen, the pasture and the body-weight line.
#pragma once

#include <cstdint>
#include <string>

#include "shell/game_state.h"

namespace milka {
class Game;
namespace career {

// Timer1 at the stable: the status lines, the help line and the tops of Label38 and Label40.
void drawStableStatus(Game& g);
// Timer2 at the stable: the texts of the weight line and the finishing record.
void drawStableLines(Game& g);
// B at the stable with the pacing passed: a month out at grass, ending in screen::kPasture.
void sendToPasture(Game& g);
// "馬体重は   ⇒   " + weight + the ending for below, equal or above the best weight.
std::string weightLine(int32_t bodyWeight, int32_t bestWeight);
// Wins, then the counts of 2nd .. 10th places, joined by "-".
std::string finishingRecord(const GameState& s);

}  // namespace career
}  // namespace milka
