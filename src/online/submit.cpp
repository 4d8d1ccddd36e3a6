// PLACEHOLDER: the least that lets the A button walk every screen; replaced by the real rules.
#include "online/submit.h"

#include "shell/game.h"

namespace milka {
namespace online {

void submitRecord(Game& g) { if (g.state.buttonTicks < 3) { g.state.buttonTicks = 0; return; } g.state.screenState = -11; g.state.buttonTicks = 0; }

}  // namespace online
}  // namespace milka
