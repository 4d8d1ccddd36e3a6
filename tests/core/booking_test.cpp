// No race result is lost and none is made up: the board books the race before the player can
// leave it, whatever order the five timers tick in, and a race the weight rule stops books
// nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <sstream>

#include "career/flow.h"
#include "race/running.h"
#include "scripted_random.h"

namespace milka {
namespace {

using testing::ScriptedGame;

void tick(Game& g, int timer) {
  switch (timer) {
    case 1: g.Timer1_Timer(); break;
    case 2: g.Timer2_Timer(); break;
    case 3: g.Timer3_Timer(); break;
    case 4: g.Timer4_Timer(); break;
    default: g.Timer5_Timer(); break;
  }
}

int32_t booked(const GameState& s) {
  int32_t n = s.horseClass;
  for (int p = 2; p <= 10; ++p) n += s.placeCount[p];
  return n;
}

// A named horse at the stable, of the given age and class, in the given month.
struct AtTheStable : ScriptedGame {
  AtTheStable(int age, int horseClass, int month) {
    GameState& s = game.state;
    s.screenState = screen::kStable;
    s.setupPhase = 0;
    s.horseName = "ab";
    s.horseSpeed = 90;
    s.horseKeys = 4;
    s.horseGrowth = 0;
    s.horseAge = age;
    s.horseClass = horseClass;
    s.month = month;
    s.bestWeight = 450;
    s.bodyWeight = 450;
  }
  // The surface and a field of rivals 1..9 and jockeys 11..19 for the next A at the stable.
  void lineUpField() {
    random.pushPick(3, 1);
    for (int k = 1; k <= 9; ++k) random.pushPick(34, k);
    for (int k = 1; k <= 9; ++k) random.pushPick(34, 10 + k);
  }
};

// A one-lap race just started at 川崎; every draw of the race gives 1.
struct OneLap : AtTheStable {
  OneLap() : AtTheStable(3, 1, 9) {
    GameState& s = game.state;
    lineUpField();
    pressA();
    EXPECT_EQ(s.screenState, screen::kRaceCard);
    s.lapsToGo = 1;
    pressA();
    EXPECT_EQ(s.screenState, screen::kRace);
  }
};

// The player mashes A through the whole race and the finish: a press after every timer tick.
// For every order of the timers within a period, the press that falls between the tick that
// ends the race and the board's tick does nothing, and the press that leaves the board leaves
// it booked.
TEST(ResultBooking, ABeforeTheBoardWaitsForItInEveryTimerOrder) {
  std::array<int, 5> order = {1, 2, 3, 4, 5};
  int orders = 0;
  do {
    std::ostringstream name;
    for (int t : order) name << t;
    SCOPED_TRACE("timer order " + name.str());
    OneLap g;
    GameState& s = g.game.state;
    const int32_t bookedBefore = booked(s);
    int pressesBeforeBoard = 0;
    for (int period = 0; period < 5000 && s.screenState != screen::kStable; ++period) {
      for (int t : order) {
        tick(g.game, t);
        const bool early = s.screenState == screen::kResults && s.resultsShown == 0;
        const int32_t ticksBefore = s.buttonTicks;
        g.game.Command1_Click();
        if (early) {
          ++pressesBeforeBoard;
          EXPECT_EQ(s.screenState, screen::kResults);
          EXPECT_EQ(s.buttonTicks, ticksBefore) << "a refused press restarts nothing";
        }
        if (s.screenState == screen::kStable) break;
      }
    }
    ASSERT_EQ(s.screenState, screen::kStable) << "the race never ended";
    EXPECT_GE(pressesBeforeBoard, 1);
    EXPECT_EQ(s.racesRun, 1);
    EXPECT_EQ(booked(s), bookedBefore + 1) << "the place or the win was lost";
    ++orders;
  } while (std::next_permutation(order.begin(), order.end()));
  EXPECT_EQ(orders, 120);
}

TEST(ResultBooking, ABeforeTheBoardStaysRefusedHoweverLongTheCountHasRun) {
  OneLap g;
  GameState& s = g.game.state;
  const int32_t bookedBefore = booked(s);
  s.screenState = screen::kResults;
  s.buttonTicks = 500;
  g.game.Command1_Click();
  EXPECT_EQ(s.screenState, screen::kResults);
  EXPECT_EQ(s.buttonTicks, 500);
  EXPECT_EQ(s.racesRun, 0);
  g.game.Timer5_Timer();
  ASSERT_EQ(s.resultsShown, 1);
  g.game.Command1_Click();
  EXPECT_EQ(s.screenState, screen::kStable);
  EXPECT_EQ(s.buttonTicks, 0);
  EXPECT_EQ(s.racesRun, 1);
  EXPECT_EQ(booked(s), bookedBefore + 1);
}

// A horse of class 14 in month 5 of its fourth year: the month's top race is open to it.
struct TopClass : AtTheStable {
  TopClass() : AtTheStable(4, 14, 5) {}
  // The race ends with the player's horse a long way ahead, after `time` ticks.
  void winTheRace(int32_t time) {
    GameState& s = game.state;
    s.raceTicks = time;
    s.screenState = screen::kResults;
    for (int k = 1; k <= 10; ++k) {
      const float ahead = k == 10 ? 9000.0f : 1000.0f;
      game.form.image(race::pictureA(s, k)).left = race::runsLeftward(s) ? -ahead : ahead;
    }
    game.Timer5_Timer();
  }
};

TEST(ResultBooking, ATopRaceTheWeightRuleStoppedIsNeverBooked) {
  TopClass g;
  GameState& s = g.game.state;
  s.bodyWeight = s.bestWeight - 21;
  g.lineUpField();
  g.pressA();
  ASSERT_EQ(s.screenState, screen::kStable);
  ASSERT_EQ(s.raceName, "ミルカリアダービー");
  for (int m = 1; m <= 12; ++m) EXPECT_EQ(s.bigRaceEntered[m], 0) << m;

  g.pressB();  // to pasture; the weight comes back
  ASSERT_EQ(s.screenState, screen::kPasture);
  g.pressA();
  ASSERT_EQ(s.month, 6);
  g.lineUpField();
  g.pressA();
  ASSERT_EQ(s.screenState, screen::kRaceCard);
  ASSERT_EQ(s.raceName, "ミルカダービー");
  g.pressA();
  g.winTheRace(97);
  ASSERT_EQ(s.finishPlace[10], 1);

  for (int m = 1; m <= 12; ++m) {
    EXPECT_EQ(s.bigRaceWon[m], m == 6 ? 1 : 0) << m;
    EXPECT_EQ(s.bigRaceTime[m], m == 6 ? 97 : 0) << m;
  }
}

TEST(ResultBooking, AnUnblockedTopRaceStaysEntered) {
  TopClass g;
  GameState& s = g.game.state;
  s.bodyWeight = s.bestWeight - 20;
  g.lineUpField();
  g.pressA();
  ASSERT_EQ(s.screenState, screen::kRaceCard);
  EXPECT_EQ(s.bigRaceEntered[5], 1);
  g.pressA();
  g.winTheRace(120);
  EXPECT_EQ(s.bigRaceWon[5], 1);
  EXPECT_EQ(s.bigRaceTime[5], 120);
}

}  // namespace
}  // namespace milka
