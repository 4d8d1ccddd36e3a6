// The five timers. Each tick looks at the screen and hands the work to the subsystem whose
// screen it is; the order inside a tick is the order the rules give. The ticks live with the
// career flow rather than in the shell because they reach the career's screens and the race's,
// and only a room above both may call into them.
#include "career/breeding.h"
#include "career/stable.h"
#include "career/upkeep.h"
#include "race/commentary.h"
#include "race/final_straight.h"
#include "race/race_tick.h"
#include "race/results.h"
#include "shell/game.h"
#include "shell/title.h"

namespace milka {

void Game::Timer1_Timer() {
  state.buttonTicks += 1;
  if (state.screenState == screen::kBreeding && (state.setupPhase == 1 || state.setupPhase == 2))
    career::drawBreedingTable(*this);
  if (state.screenState == screen::kStable) career::drawStableStatus(*this);
  if (state.screenState == screen::kRace) race::raceTick(*this);
}

void Game::Timer2_Timer() {
  GameState& s = state;
  if (s.screenState == screen::kCareerOver) career::careerOverScreen(*this);
  if (s.screenState == screen::kRaceCard) career::raceCardHelpLine(*this);
  if (s.screenState == screen::kRace) career::raceHelpLine(*this);
  if (s.screenState == screen::kResults) race::afterRacePrompt(*this);
  if (s.screenState == screen::kBreeding && s.setupPhase >= 3 && s.setupPhase <= 5)
    career::grazingA(*this);
  if (s.screenState == screen::kPasture) {
    career::grazingB(*this);
    career::careerEndRule(*this);
  }
  if (s.screenState == screen::kStable) {
    career::careerEndRule(*this);
    career::drawStableLines(*this);
  }
  if (s.screenState == screen::kRace && s.startCountdown < 0) race::commentaryTick(*this);
}

void Game::Timer3_Timer() {
  if (state.screenState == screen::kRace) race::finalStraightTick(*this);
}

void Game::Timer4_Timer() {
  if (state.screenState == screen::kTitle) shell::titleTick(*this);
}

void Game::Timer5_Timer() {
  if (state.screenState == screen::kResults) race::resultsBoardTick(*this);
}

}  // namespace milka
