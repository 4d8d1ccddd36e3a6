// A random source that returns the values a test lines up, then a fixed fallback.
#pragma once

#include <deque>

#include "shell/game.h"
#include "shell/random.h"

namespace milka::testing {

class ScriptedRandom final : public RandomSource {
 public:
  double Rnd() override {
    ++draws;
    if (queue_.empty()) return fallback;
    double v = queue_.front();
    queue_.pop_front();
    return v;
  }
  void Randomize() override { ++reseeds; }

  void push(double v) { queue_.push_back(v); }
  // Line up a draw Int(Rnd × n) + 1 that comes out as value.
  void pushPick(int n, int value) { push((value - 0.5) / n); }
  size_t pending() const { return queue_.size(); }
  void clear() { queue_.clear(); }

  double fallback = 0.0;
  int draws = 0;
  int reseeds = 0;

 private:
  std::deque<double> queue_;
};

// A game straight after start-up, with the scripted source behind it.
struct ScriptedGame {
  ScriptedRandom random;
  Game game{random};
  ScriptedGame() { game.Form_Load(); }
  // Timer1 counts the pacing; give the buttons room to act.
  void ticks(int n) {
    for (int i = 0; i < n; ++i) game.Timer1_Timer();
  }
  void pressA() {
    game.state.buttonTicks = 3;
    game.Command1_Click();
  }
  void pressB() {
    game.state.buttonTicks = 2;
    game.Command4_Click();
  }
};

}  // namespace milka::testing
