// How much work the rules cost: one tick of every timer in the middle of a race, and a whole
// career played through the handlers, as a player who always races and always whips would.
#include <benchmark/benchmark.h>

#include "shell/game.h"
#include "shell/random.h"

namespace {

using milka::Game;

class CountingClock final : public milka::Clock {
 public:
  uint64_t now() override { return t += 200000000; }
  uint64_t t = 0;
};

void tickAll(Game& g) {
  g.Timer1_Timer();
  g.Timer2_Timer();
  g.Timer3_Timer();
  g.Timer4_Timer();
  g.Timer5_Timer();
}

// Plays until the game is finished, pressing A whenever it may and typing the shown key.
int64_t playCareer(Game& g) {
  int64_t ticks = 0;
  g.Form_Load();
  for (; g.state.screenState != milka::screen::kFinished && ticks < 2000000; ++ticks) {
    tickAll(g);
    const milka::GameState& s = g.state;
    if (s.screenState == milka::screen::kBreeding && s.setupPhase == 3 && s.nameLength < 3)
      g.Text1_KeyDown(65, 0);
    // Presses as a player makes them: only once the pacing lets the button act.
    if (s.screenState == milka::screen::kStable && s.bodyWeight < s.bestWeight - 20 &&
        s.buttonTicks > 1) {
      g.Command4_Click();
      continue;
    }
    if (s.screenState == milka::screen::kRace) {
      for (int code : {37, 38, 39, 40}) g.Text1_KeyDown(static_cast<int16_t>(code), 0);
      for (int code = 65; code <= 90; ++code) g.Text1_KeyDown(static_cast<int16_t>(code), 0);
    }
    if (s.buttonTicks > 2) g.Command1_Click();
  }
  return ticks;
}

void BM_WholeCareer(benchmark::State& state) {
  int64_t ticks = 0;
  for (auto _ : state) {
    CountingClock clock;
    milka::ClockRandom random(clock);
    Game g(random);
    ticks += playCareer(g);
  }
  state.counters["ticks"] =
      benchmark::Counter(static_cast<double>(ticks), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_WholeCareer)->Unit(benchmark::kMillisecond);

void BM_RaceTick(benchmark::State& state) {
  CountingClock clock;
  milka::ClockRandom random(clock);
  Game g(random);
  g.Form_Load();
  // Walk to the first race, then time the ticks of the running race.
  for (int i = 0; i < 100000 && g.state.screenState != milka::screen::kRace; ++i) {
    tickAll(g);
    if (g.state.screenState == milka::screen::kBreeding && g.state.setupPhase == 3 &&
        g.state.nameLength < 3)
      g.Text1_KeyDown(65, 0);
    if (g.state.buttonTicks > 2) g.Command1_Click();
  }
  for (auto _ : state) {
    tickAll(g);
    if (g.state.screenState != milka::screen::kRace) {  // race over: start another from the stable
      state.PauseTiming();
      for (int i = 0; i < 1000 && g.state.screenState != milka::screen::kRace; ++i) {
        tickAll(g);
        if (g.state.bodyWeight < g.state.bestWeight - 20 && g.state.buttonTicks > 1)
          g.Command4_Click();
        if (g.state.buttonTicks > 2) g.Command1_Click();
      }
      state.ResumeTiming();
    }
  }
}
BENCHMARK(BM_RaceTick);

}  // namespace
