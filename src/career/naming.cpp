// PLACEHOLDER: the least that lets the A button walk every screen; replaced by the real rules.
#include "career/naming.h"

#include "career/breeding.h"
#include "shell/game.h"

namespace milka {
namespace career {

void appendNameSymbol(Game& g, const std::string& symbol) { g.form.label(27).caption += symbol; g.state.nameLength += 1; }
void eraseName(Game& g) { g.form.label(27).caption.clear(); g.state.nameLength = 0; }
void confirmName(Game& g) { if (g.state.nameLength >= 2 && g.state.nameLength <= 12) { g.state.horseName = g.form.label(27).caption; makeFoal(g); } }

}  // namespace career
}  // namespace milka
