// The symbols a whip may ask for, by index 1..30 (0 is never drawn).
#pragma once

#include <array>

namespace milka::race {

// Not alphabetical from 17 on: 17 is "n" and 18 is "m", as the game has always had it.
constexpr std::array<const char*, 31> kKeySymbols = {
    "",  "←", "↑", "→", "↓", "a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k",
    "l", "n", "m", "o", "p", "q", "s", "z", "w", "x", "r", "v", "y", "t", "u"};

}  // namespace milka::race
