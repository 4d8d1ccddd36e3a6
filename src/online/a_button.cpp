// The A button does one step of the current screen. Every accepted press restarts the pacing
// counter, and since every step needs the counter above 2, one press can never do two steps, even
// when a step moves the game into a screen tested later in the same press. The choice of step
// sits above the career flow because A on the career-over screen sends the record, and the
// career may not reach up into the sending; every other step is the career's.
#include "career/breeding.h"
#include "career/flow.h"
#include "career/naming.h"
#include "online/submit.h"
#include "shell/game.h"

namespace milka {

void Game::Command1_Click() {
  GameState& s = state;
  if (s.screenState == screen::kCareerOver) online::submitRecord(*this);  // paces itself
  if (s.screenState == screen::kTitle && s.buttonTicks > 2) {
    career::leaveTitle(*this);
    s.buttonTicks = 0;
  }
  if (s.screenState == screen::kPasture && s.buttonTicks > 2) {
    career::returnFromPasture(*this);
    s.buttonTicks = 0;
  }
  if (s.screenState == screen::kStable && s.buttonTicks > 2) {
    career::enterMonthRace(*this);
    s.buttonTicks = 0;
  }
  if (s.screenState == screen::kBreeding && s.buttonTicks > 2) {
    switch (s.setupPhase) {
      case 5: career::openStable(*this); break;
      case 4: career::finishProcedures(*this); break;
      case 3: career::confirmName(*this); break;
      case 2: career::chooseDam(*this); break;
      case 1: career::chooseSire(*this); break;
      default: break;
    }
    s.buttonTicks = 0;
  }
  if (s.screenState == screen::kRaceCard && s.buttonTicks > 2) {
    career::startRace(*this);
    s.buttonTicks = 0;
  }
  // The board books the race into the record on its own tick, which may come after this press
  // in the same period; leaving before it is drawn would lose the place, the win and the top
  // race. Until then the press is not taken, and the pacing count runs on.
  if (s.screenState == screen::kResults && s.resultsShown == 1 && s.buttonTicks > 2) {
    career::afterRace(*this);
    s.buttonTicks = 0;
  }
}

}  // namespace milka
