// The five timers. Each tick looks at the screen and hands the work to the subsystem whose
// screen it is; the order inside a tick is the order the rules give.
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
  if (state.screenState == 2 && (state.setupPhase == 1 || state.setupPhase == 2))
    career::drawBreedingTable(*this);
  if (state.screenState == 3) career::drawStableStatus(*this);
  if (state.screenState == 7) race::raceTick(*this);
}

void Game::Timer2_Timer() {
  GameState& s = state;
  if (s.screenState == 10) career::careerOverScreen(*this);
  if (s.screenState == 6) career::raceCardHelpLine(*this);
  if (s.screenState == 7) career::raceHelpLine(*this);
  if (s.screenState == 8) race::afterRacePrompt(*this);
  if (s.screenState == 2 && s.setupPhase >= 3 && s.setupPhase <= 5) career::grazingA(*this);
  if (s.screenState == 9) {
    career::grazingB(*this);
    career::careerEndRule(*this);
  }
  if (s.screenState == 3) {
    career::careerEndRule(*this);
    career::drawStableLines(*this);
  }
  if (s.screenState == 7 && s.startCountdown < 0) race::commentaryTick(*this);
}

void Game::Timer3_Timer() {
  if (state.screenState == 7) race::finalStraightTick(*this);
}

void Game::Timer4_Timer() {
  if (state.screenState == 1) shell::titleTick(*this);
}

void Game::Timer5_Timer() {
  if (state.screenState == 8) race::resultsBoardTick(*this);
}

}  // namespace milka
