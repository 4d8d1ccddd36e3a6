// The text box: symbols typed while naming the foal grow the name; in the race a symbol that
// matches the one shown after "ムチの値⇒" readies a whip for the next race tick.
#include "career/naming.h"
#include "shell/game.h"

namespace milka {

void Game::Text1_KeyDown(int16_t keyCode, int16_t) {
  const std::string c = symbolOfKey(keyCode);
  if (c.empty()) return;
  const bool racing = state.screenState == screen::kRace;
  if (racing) form.label(11).caption = c;
  if (state.setupPhase == 3) career::appendNameSymbol(*this, c);
  // The caption, not targetKey: the player answers what the screen shows, and the screen
  // catches up with a newly drawn symbol only on the next race tick.
  if (racing && c == form.label(12).caption) state.keyPromptState = 1;
}

}  // namespace milka
