// What the benchmarks that play races in real time share: getting a scripted career to a
// running race, and the processor time the whole process has used.
#pragma once

#include <sys/resource.h>

#include "view/scripted_tour.h"

namespace milka::bench {

// Tour periods until a race is under way, its countdown over.
inline void walkToRace(milka::testing::ScriptedTour& tour) {
  for (int i = 0; i < 200000; ++i) {
    const milka::GameState& s = tour.game.state;
    if (s.screenState == screen::kRace && s.startCountdown < 0 && s.raceTicks > 5) return;
    tour.step();
  }
}

// User and system time of every thread, the sound's and the sound server client's included.
inline double processSeconds() {
  rusage use{};
  getrusage(RUSAGE_SELF, &use);
  const auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
  };
  return seconds(use.ru_utime) + seconds(use.ru_stime);
}

}  // namespace milka::bench
