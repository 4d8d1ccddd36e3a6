// Naming the foal. The name is built in the caption of Label27 itself and its length is counted
// key by key, so once the too-long message has replaced the letters only B starts it afresh.
#include "career/naming.h"

#include "career/breeding.h"
#include "shell/game.h"

namespace milka {
namespace career {

namespace {

bool isKeySymbol(const std::string& symbol) {
  for (int i = 1; i <= 30; ++i)
    if (symbol == keySymbol(i)) return true;
  return false;
}

}  // namespace

void appendNameSymbol(Game& g, const std::string& symbol) {
  if (g.state.setupPhase != 3 || !isKeySymbol(symbol)) return;
  g.form.label(27).caption += symbol;
  g.state.nameLength += 1;
}

void eraseName(Game& g) {
  g.form.label(27).caption.clear();
  g.state.nameLength = 0;
}

void confirmName(Game& g) {
  GameState& s = g.state;
  if (s.nameLength > 12) {
    g.form.label(27).caption = "Ｂボタンを押して下さい";
    return;
  }
  if (s.nameLength < 2) return;
  s.horseName = g.form.label(27).caption;
  makeFoal(g);
}

}  // namespace career
}  // namespace milka
