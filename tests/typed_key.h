// The player's side of a whip: the key code that types the symbol the race shows.
#pragma once

#include <string>

#include "shell/game.h"

namespace milka::testing {

// 0 when no key types it (an empty caption, or text that is no key symbol).
inline int keyCodeOf(const std::string& symbol) {
  if (symbol.empty()) return 0;
  for (int code = 37; code <= 90; ++code)
    if (symbolOfKey(code) == symbol) return code;
  return 0;
}

}  // namespace milka::testing
