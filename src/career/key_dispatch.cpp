// The text box: symbols typed while naming the foal grow the name; in the race they go to the
// race's key input. The dispatch sits with the career flow, since naming is the career's and the
// race lies below it.
#include "career/naming.h"
#include "race/key_input.h"
#include "shell/game.h"

namespace milka {

void Game::Text1_KeyDown(int16_t keyCode, int16_t) {
  const std::string c = symbolOfKey(keyCode);
  if (c.empty()) return;
  if (state.screenState == screen::kRace) race::raceKeyDown(*this, c);
  if (state.setupPhase == 3) career::appendNameSymbol(*this, c);
}

}  // namespace milka
