// Screen upkeep done by the commentary timer outside the race: the career-over screen, the help
// lines of the card and the race, the grazing horses and the end-of-career rule.
#pragma once

namespace milka {
class Game;
namespace career {

void careerOverScreen(Game& g);
void raceCardHelpLine(Game& g);
void raceHelpLine(Game& g);
// The horses crossing the naming screens.
void grazingA(Game& g);
// The horses in the pasture.
void grazingB(Game& g);
// Age 5, or age 3 or 4 from month 7 without a win: the career is over.
void careerEndRule(Game& g);

}  // namespace career
}  // namespace milka
