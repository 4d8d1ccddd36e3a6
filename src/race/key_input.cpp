// Key input: the symbols the keys stand for, and what a typed symbol does in the race. The
// symbols live here, beside the race that asks for them; naming the foal reads the same ones.
#include "race/key_input.h"

#include "race/key_tables.h"
#include "shell/game.h"

namespace milka {

std::string keySymbol(int index) {
  if (index < 1 || index > 30) return "u";
  return race::kKeySymbols[static_cast<size_t>(index)];
}

std::string symbolOfKey(int keyCode) {
  switch (keyCode) {
    case 37: return "←";
    case 38: return "↑";
    case 39: return "→";
    case 40: return "↓";
    default: break;
  }
  if (keyCode >= 65 && keyCode <= 90)
    return std::string(1, static_cast<char>('a' + (keyCode - 65)));
  return "";
}

namespace race {

void raceKeyDown(Game& g, const std::string& symbol) {
  g.form.label(11).caption = symbol;
  // The caption, not targetKey: the player answers what the screen shows, and the screen
  // catches up with a newly drawn symbol only on the next race tick.
  if (symbol == g.form.label(12).caption) g.state.keyPromptState = 1;
}

}  // namespace race
}  // namespace milka
