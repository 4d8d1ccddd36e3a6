// The text box in the race: a typed symbol shows at once, and the one the screen asks for
// readies a whip.
#pragma once

#include <string>

namespace milka {
class Game;
namespace race {

// A symbol typed on the race screen. It shows in Label11; when it matches the symbol shown after
// "ムチの値⇒", a whip is ready for the next race tick.
void raceKeyDown(Game& g, const std::string& symbol);

}  // namespace race
}  // namespace milka
