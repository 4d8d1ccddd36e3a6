// Start-up: the record and the window put into their opening state.
#include "shell/game.h"
#include "shell/text.h"

namespace milka {

void Game::Form_Load() {
  GameState& s = state;
  s.sendEnabled = 0;

  form.text2.text.clear();
  form.text2.top = -9500;

  for (int n : {4, 5, 6, 36, 12, 13, 11, 2, 1}) form.label(n).caption.clear();

  for (int k = 1; k <= 10; ++k) s.finishPlace[k] = 1;
  s.resultsShown = 0;

  for (int n = 17; n <= 26; ++n) form.label(n).fontSize = 12;

  s.buttonTicks = 0;
  s.finishPostX = 9600;
  s.screenState = screen::kTitle;
  s.setupPhase = 1;
  s.cursorRow = 1;
  s.tablePage = 1;
  s.nameLength = 0;
  s.horseAge = 2;
  s.month = 7;

  s.horseClass = 0;
  for (int p = 2; p <= 10; ++p) s.placeCount[p] = 0;
  for (int m = 1; m <= 12; ++m) {
    s.bigRaceEntered[m] = 0;
    s.bigRaceWon[m] = 0;
  }
  s.racesRun = 0;
  s.playerFinished = 0;
  s.afterFinishTicks = 0;

  for (int n = 1; n <= 22; ++n) form.image(n).top = -4060;

  form.label(8).caption = repeat("┳", 484);

  s.keySymbolIndex = static_cast<int16_t>(rng.reseedPick(30));
  s.targetKey = keySymbol(s.keySymbolIndex);
}

}  // namespace milka
