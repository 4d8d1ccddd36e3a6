// A short sum of what a game shows and where its career stands, so that two games (the one a
// player continued, and the journal read afresh) can be told equal without carrying either.
#pragma once

#include <cstdint>

#include "shell/game.h"

namespace milka::journal {

// Every control of the window model, and the record's screen, career, race and input fields.
uint64_t fingerprint(const Game& g);

}  // namespace milka::journal
