// The career flow: the steps of the A button, screen by screen, and the month's turn.
#pragma once

#include <cstdint>
#include <string>

#include "shell/game_state.h"

namespace milka {
class Game;
namespace career {

void leaveTitle(Game& g);
// A at the end of the breeding procedures.
void openStable(Game& g);
void returnFromPasture(Game& g);
// A at the stable: surface, venue, programme, field, weight check and race card.
void enterMonthRace(Game& g);
// Nine distinct rivals and nine distinct jockeys, and their rows.
void drawField(Game& g);
// A on the race card.
void startRace(Game& g);
// A on the results board: the month turns, race wear and growth.
void afterRace(Game& g);
// month + 1; after 12 comes 1 and the horse is a year older.
void advanceMonth(Game& g);
// The speed gained after a race, by growth type and age (draws once).
int32_t growthGain(Game& g);
// The race card's heading in Label27.
std::string raceHeading(const GameState& s);
// Row 1..10 of the race card.
std::string raceCardRow(const GameState& s, int gate);

}  // namespace career
}  // namespace milka
