// PLACEHOLDER: the least that lets the A button walk every screen; replaced by the real rules.
#include "race/results.h"

#include "shell/game.h"

namespace milka {
namespace race {

void resultsBoardTick(Game&) {}
void afterRacePrompt(Game&) {}

}  // namespace race
}  // namespace milka
