// The running order: runner k's place is 1 plus the lower-numbered runners strictly ahead of it
// plus the higher-numbered runners level with it or ahead. Level runners go to the higher number
// (the player's runner 10 wins every tie), and the places are always a permutation of 1..10.
#pragma once

#include <cstdint>

#include "shell/game_state.h"

namespace milka::race {

// progress[k]: larger is further ahead.
template <typename T>
Family<int32_t, 10> rankRunners(const Family<T, 10>& progress) {
  Family<int32_t, 10> place{};
  for (int k = 1; k <= 10; ++k) {
    int32_t ahead = 0;
    for (int j = 1; j <= 10; ++j) {
      if (j < k && progress[j] > progress[k]) ++ahead;
      if (j > k && progress[j] >= progress[k]) ++ahead;
    }
    place[k] = 1 + ahead;
  }
  return place;
}

}  // namespace milka::race
