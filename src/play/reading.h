// What a screen reader reads of the form, which a window that draws on a canvas (the browser's
// page) has to tell it in words: the texts on screen in reading order, and the line to speak as
// it changes (the commentary while a race runs, the board when it is over).
#pragma once

#include <string>
#include <vector>

#include "shell/game.h"

namespace milka::play {

struct Reading {
  // One entry a line of the screen, top to bottom; a line's captions left to right.
  std::vector<std::string> lines;
  // Spoken whenever it changes; empty on screens with nothing to announce.
  std::string spoken;
};

Reading readingOf(const Game& game);

// The reading as the page takes it: {"lines":[...],"spoken":"..."}.
std::string readingJson(const Reading& reading);

}  // namespace milka::play
