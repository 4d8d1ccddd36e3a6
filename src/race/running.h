// The running race: every tick each runner draws a fresh strength and the pictures move.
#pragma once

#include <cstdint>

#include "shell/game_state.h"

namespace milka {
class Game;
namespace race {

// One tick of the running race, once the countdown has run out.
void runningTick(Game& g);

// The player's bonuses on top of its drawn strength.
int32_t styleBonus(int32_t horseStyle, int32_t raceLaps, int32_t lapsToGo);
int32_t distanceBonus(int32_t horseDistance, int32_t raceLaps);

// The race's pictures: at 大井 the left-facing set, elsewhere the right-facing one.
bool runsLeftward(const GameState& s);
int pictureA(const GameState& s, int runner);
int pictureB(const GameState& s, int runner);

// Strengths are 16-bit; a value beyond their range is held at its end rather than wrapped.
int16_t toInt16(int64_t v);

}  // namespace race
}  // namespace milka
