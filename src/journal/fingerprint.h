// A short sum of what a game shows and where its career stands, so that two games (the one a
// player continued, and the journal read afresh) can be told equal without carrying either.
#pragma once

#include <cstdint>
#include <string>

#include "journal/format.h"
#include "shell/game.h"

namespace milka::journal {

// Every control of the window model, and the record's screen, career, race and input fields.
uint64_t fingerprint(const Game& g);

// A journal replayed from its first event, the game's fingerprint taken after every one, as one
// line: "EVENTS SUM LAST" (the sum folds every fingerprint in order; hexadecimal). Two builds that
// give the same line stood in the same place after every event.
std::string traceOf(const Reading& r);

}  // namespace milka::journal
