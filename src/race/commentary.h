// The running commentary while laps remain: positions, the running order and the script.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "race/commentary_phrases.h"

namespace milka {
class Game;
struct GameState;
namespace race {

// Timer2 while the race runs (countdown over): sample the positions, keep the running order,
// count the ticks and, while laps remain, speak the script's next line.
void commentaryTick(Game& g);

// A distance in position units as whole lengths: 500 units to a length, halves to the even
// neighbour.
int32_t lengthsOf(int64_t units);
// A lead in lengths as the announcer says it: its digits (with a minus sign when the order has
// just changed under him), or "半" when it rounds to nothing.
std::string marginTextOf(int32_t lengths);
// The leader's lead over the runner in second, into marginLengths and marginText.
void measureLead(GameState& s);

// What a line's slots are filled with.
struct LineFill {
  std::string horse, jockey, number, margin, spread, race, laps, passedHorse, passedNo;
};
std::string buildLine(const Line& line, const LineFill& fill);
// The slots for runner k of this race (1..9 rivals, 10 the player), with the race's own; an
// unknown runner fills nothing of his own.
LineFill fillFor(const GameState& s, int runner);
// Whether runner k is one of the ten.
inline bool isRunner(int k) {
  return k >= 1 && k <= 10;
}

// Draw the phrasing of a line: re-seed, then one of n, kept in phraseChoice.
int16_t drawPhrase(Game& g, int32_t n);
// Put a line on the commentary label; a phrasing that does not exist leaves the last line up.
void showLine(Game& g, const std::optional<std::string>& line);

// The runner holding the place in the last snapshot, or 0 when nobody does.
int runnerInPlace(const GameState& s, int place);
// The place whose runner a script step speaks of (0 for the steps naming nobody).
int placeOfStep(int step);

// The line of a script step (0..14) in the drawn choice, spoken of the runner (steps 2 to 11
// and 14). Step 12 speaks of marginLengths as the spread, step 14 of marginText. Nothing for a
// step, choice or runner that has no phrasing.
std::optional<std::string> scriptLine(const GameState& s, int step, int choice, int runner);

}  // namespace race
}  // namespace milka
