// A career played from the title onwards by a player who looks at each screen for two seconds,
// always races, always whips and types every key the race asks for, one 200 ms period at a time.
// The random source runs off a counting clock, so every run sees the same screens in the same
// order: the view tests and the drawing benchmarks replay it through the same handlers the window
// calls.
#pragma once

#include <cstdint>

#include "shell/game.h"
#include "shell/random.h"

namespace milka::testing {

class CountingClock final : public Clock {
 public:
  uint64_t now() override { return t += 200000000; }
  uint64_t t = 0;
};

class ScriptedTour {
 public:
  ScriptedTour() = default;
  ScriptedTour(const ScriptedTour&) = delete;
  ScriptedTour& operator=(const ScriptedTour&) = delete;

  // One period: every timer ticks, then the player does what the screen invites.
  void step() {
    game.Timer1_Timer();
    game.Timer2_Timer();
    game.Timer3_Timer();
    game.Timer4_Timer();
    game.Timer5_Timer();
    ++ticks;
    const GameState& s = game.state;
    periodsOnScreen = s.screenState == screen ? periodsOnScreen + 1 : 0;
    screen = s.screenState;
    if (s.screenState == screen::kBreeding && s.setupPhase == 3 && s.nameLength < 3)
      game.Text1_KeyDown(65, 0);
    // Presses as a player makes them: only once the pacing lets the button act.
    if (s.screenState == screen::kStable && s.bodyWeight < s.bestWeight - 20 && s.buttonTicks > 1) {
      game.Command4_Click();
      return;
    }
    if (s.screenState == screen::kRace) {
      for (int code : {37, 38, 39, 40}) game.Text1_KeyDown(static_cast<int16_t>(code), 0);
      for (int code = 65; code <= 90; ++code) game.Text1_KeyDown(static_cast<int16_t>(code), 0);
    }
    // A few periods to look at each screen before moving on.
    if (s.buttonTicks > 2 && periodsOnScreen >= kReadingPeriods) game.Command1_Click();
  }

  CountingClock clock;
  ClockRandom random{clock};
  Game game{random};
  int64_t ticks = 0;
  int screen = 0;
  int periodsOnScreen = 0;
  static constexpr int kReadingPeriods = 10;
};

}  // namespace milka::testing
