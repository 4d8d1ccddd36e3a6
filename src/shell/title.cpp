#include "shell/title.h"

#include "shell/game.h"

namespace milka::shell {

// PLACEHOLDER: the title animation arrives with its own work; the title stands still for now.
void titleTick(Game&) {}

}  // namespace milka::shell
