// PLACEHOLDER: the key handler; replaced by the real rules.
#include "career/naming.h"
#include "shell/game.h"

namespace milka {

void Game::Text1_KeyDown(int16_t keyCode, int16_t) {
  std::string c = symbolOfKey(keyCode);
  if (c.empty()) return;
  if (state.setupPhase == 3) career::appendNameSymbol(*this, c);
}

}  // namespace milka
