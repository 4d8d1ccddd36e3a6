// The career flow: what each press of A (and B) does on each screen, and the month's turn.
#include "career/flow.h"

#include <gtest/gtest.h>

#include <set>

#include "scripted_random.h"
#include "shell/text.h"

namespace milka {
namespace {

using testing::ScriptedGame;

// A game standing at the stable with a named, healthy horse.
struct AtStable : ScriptedGame {
  AtStable() {
    GameState& s = game.state;
    s.screenState = screen::kStable;
    s.setupPhase = 0;
    s.horseName = "abc";
    s.horseSpeed = 60;
    s.horseWhips = 50;
    s.horseKeys = 8;
    s.horseGrowth = 2;
    s.bestWeight = 450;
    s.bodyWeight = 450;
  }
  // Line up the surface and a field of gates 1..9 with rivals 1..9 and jockeys 11..19.
  void lineUpRace(int surface) {
    random.pushPick(3, surface);
    for (int k = 1; k <= 9; ++k) random.pushPick(34, k);
    for (int k = 1; k <= 9; ++k) random.pushPick(34, 10 + k);
  }
};

TEST(Pacing, AActsOnlyFromTheThirdTick) {
  ScriptedGame g;
  g.game.Command1_Click();  // buttonTicks 0
  g.ticks(2);
  g.game.Command1_Click();
  EXPECT_EQ(g.game.state.screenState, screen::kTitle);
  EXPECT_EQ(g.game.state.buttonTicks, 2);  // a refused press leaves the count alone
  g.ticks(1);
  g.game.Command1_Click();
  EXPECT_EQ(g.game.state.screenState, screen::kBreeding);
  EXPECT_EQ(g.game.state.buttonTicks, 0);
}

TEST(Pacing, TheRaceTimerCountsInEveryState) {
  for (int state : {screen::kTitle, screen::kBreeding, screen::kStable, screen::kRaceCard,
                    screen::kResults, screen::kPasture, screen::kCareerOver, screen::kFinished}) {
    ScriptedGame g;
    g.game.state.screenState = state;
    g.game.state.buttonTicks = 0;
    g.game.Timer1_Timer();
    EXPECT_EQ(g.game.state.buttonTicks, 1) << state;
  }
}

TEST(Pacing, BActsFromTheSecondTickAndAnEarlyPressRestartsTheCount) {
  AtStable g;
  g.game.state.buttonTicks = 1;
  g.game.Command4_Click();
  EXPECT_EQ(g.game.state.screenState, screen::kStable);
  EXPECT_EQ(g.game.state.buttonTicks, 0);
  g.ticks(2);
  g.game.Command4_Click();
  EXPECT_EQ(g.game.state.screenState, screen::kPasture);
  EXPECT_EQ(g.game.state.buttonTicks, 0);
}

TEST(Pacing, UpAndDownActFromTheSecondTick) {
  ScriptedGame g;
  g.pressA();  // to the breeding screen
  g.game.state.cursorRow = 5;
  g.game.state.buttonTicks = 1;
  g.game.Command3_Click();
  g.game.Command2_Click();
  EXPECT_EQ(g.game.state.cursorRow, 5);
  g.game.state.buttonTicks = 2;
  g.game.Command3_Click();
  EXPECT_EQ(g.game.state.cursorRow, 6);
  EXPECT_EQ(g.game.state.buttonTicks, 0);
  g.game.state.buttonTicks = 2;
  g.game.Command2_Click();
  EXPECT_EQ(g.game.state.cursorRow, 5);
}

TEST(TitleToBreeding, ClearsTheTitleAndOpensTheTable) {
  ScriptedGame g;
  g.pressA();
  const Form& f = g.game.form;
  EXPECT_EQ(g.game.state.screenState, screen::kBreeding);
  EXPECT_EQ(g.game.state.setupPhase, 1);  // the same press does not pick a sire
  EXPECT_EQ(f.label(14).top, 9999);
  EXPECT_EQ(f.label(15).top, 9999);
  for (int n : {21, 19, 17, 15, 13}) EXPECT_EQ(f.image(n).top, -2460) << n;
  EXPECT_EQ(f.image(22).top, -4500);
  EXPECT_EQ(f.image(20).top, -3500);
  EXPECT_EQ(f.image(18).top, -4000);
  EXPECT_EQ(f.image(16).top, -2000);
  EXPECT_EQ(f.image(14).top, -4000);
  for (int n = 16; n <= 26; ++n) EXPECT_EQ(f.label(n).left, 915) << n;
  EXPECT_EQ(f.backColour, 0x111111u);
}

TEST(PastureToStable, AdvancesTheMonthButDoesNotEnterTheRace) {
  AtStable g;
  g.game.state.screenState = screen::kPasture;
  g.game.state.month = 12;
  g.game.state.horseAge = 3;
  g.pressA();
  EXPECT_EQ(g.game.state.screenState,
            screen::kStable);  // not on to the race card in the same press
  EXPECT_EQ(g.game.state.month, 1);
  EXPECT_EQ(g.game.state.horseAge, 4);
  EXPECT_EQ(g.game.form.label(37).caption, "厩舎画面");
  for (int n = 13; n <= 28; ++n) EXPECT_EQ(g.game.form.image(n).top, -3300) << n;
}

TEST(StableToRaceCard, ChoosesVenueByMonthAndThePostByVenue) {
  struct Case {
    int month, venue, post;
  } cases[] = {{1, 4, 7000}, {2, 3, 9700}, {3, 1, 200},  {4, 1, 200},   {5, 1, 200},  {6, 1, 200},
               {7, 1, 200},  {8, 4, 7000}, {9, 2, 8000}, {10, 2, 8000}, {11, 1, 200}, {12, 1, 200}};
  for (const Case& c : cases) {
    AtStable g;
    g.game.state.month = c.month;
    g.lineUpRace(1);
    g.pressA();
    EXPECT_EQ(g.game.state.venue, c.venue) << c.month;
    EXPECT_EQ(g.game.state.finishPostX, c.post) << c.month;
    EXPECT_EQ(g.game.state.screenState, screen::kRaceCard) << c.month;
  }
}

TEST(StableToRaceCard, DrawsTheSurfaceAndShowsTheCard) {
  for (int surface = 1; surface <= 3; ++surface) {
    AtStable g;
    g.lineUpRace(surface);
    g.pressA();
    const GameState& s = g.game.state;
    const Form& f = g.game.form;
    EXPECT_EQ(s.trackSurface, surface);
    EXPECT_EQ(f.label(27).top, 300);
    EXPECT_EQ(f.label(27).foreColour, 0x000000u);
    EXPECT_EQ(f.label(27).caption, career::raceHeading(s));
    const uint32_t gate[11] = {0,        0xEEEEEE, 0xCDCDCD, 0xFEB1BD, 0x6696FD, 0xFFFF99,
                               0x10FF10, 0xFFC040, 0xFFC040, 0xFF99FF, 0xFF99FF};
    for (int k = 1; k <= 10; ++k) {
      const Label& row = f.label(16 + k);
      EXPECT_EQ(row.left, 915);
      EXPECT_EQ(row.backColour, gate[k]) << k;
      EXPECT_EQ(row.foreColour, 0x111111u);
      EXPECT_EQ(row.caption, career::raceCardRow(s, k));
    }
    for (int n = 30; n <= 35; ++n) EXPECT_EQ(f.label(n).top, -3700);
    for (int k = 1; k <= 9; ++k) {
      EXPECT_EQ(s.rivalPick[k], k);
      EXPECT_EQ(s.jockeyPick[k], 10 + k);
    }
  }
}

TEST(StableToRaceCard, TheFieldIsDrawnAgainUntilAllNineDiffer) {
  AtStable g;
  g.random.pushPick(3, 1);
  // Two rounds with a repeat each (gates 3 and 9 alike, then 1 and 2), then a clean one.
  for (int v : {5, 6, 7, 8, 9, 10, 11, 12, 7}) g.random.pushPick(34, v);
  for (int v : {4, 4, 1, 2, 3, 5, 6, 7, 8}) g.random.pushPick(34, v);
  for (int v : {34, 1, 20, 3, 15, 9, 2, 8, 33}) g.random.pushPick(34, v);
  for (int k = 1; k <= 9; ++k) g.random.pushPick(34, k);  // the jockeys at the first try
  int reseedsBefore = g.random.reseeds;
  g.pressA();
  const int expected[10] = {0, 34, 1, 20, 3, 15, 9, 2, 8, 33};
  for (int k = 1; k <= 9; ++k) {
    EXPECT_EQ(g.game.state.rivalPick[k], expected[k]);
    EXPECT_EQ(g.game.state.jockeyPick[k], k);
  }
  // One re-seed for the surface and one before each of the 36 picks, at the least.
  EXPECT_GE(g.random.reseeds - reseedsBefore, 37);
}

TEST(StableToRaceCard, TheWeightRuleLetsExactlyTwentyBelowRace) {
  struct Case {
    int below;
    int state;
  } cases[] = {{20, screen::kRaceCard}, {21, screen::kStable}};
  for (const Case& c : cases) {
    AtStable g;
    g.game.state.bodyWeight = g.game.state.bestWeight - c.below;
    g.lineUpRace(1);
    g.pressA();
    EXPECT_EQ(g.game.state.screenState, c.state) << c.below;
    if (c.state == screen::kStable) {
      EXPECT_EQ(g.game.form.label(27).caption,
                "放牧しましょう。馬体重が馬じゃなくなってきました。やばいっす！");
      EXPECT_EQ(g.game.form.label(27).foreColour, 0xFF1111u);
      EXPECT_EQ(g.game.form.label(17).left, kRowsHiddenLeft);  // no race card
    }
  }
}

TEST(StableToRaceCard, AtFiveTheCareerIsOver) {
  AtStable g;
  g.game.state.horseAge = 5;
  g.game.state.month = 3;
  g.lineUpRace(1);
  g.pressA();
  EXPECT_EQ(g.game.state.screenState, screen::kCareerOver);
}

TEST(RaceHeading, NamesVenueRaceLapsAndSurface) {
  GameState s;
  s.raceName = "Ｃ３";
  s.lapsToGo = 3;
  struct Case {
    int venue, surface;
    const char* heading;
  } cases[] = {
      {1, 1, "大井競馬場    Ｃ３    3周    ダート"},
      {2, 2, "川崎競馬場    Ｃ３    3周    ドロ"},
      {3, 3, "船橋競馬場    Ｃ３    3周    芝"},
      {4, 1, "浦和競馬場    Ｃ３    3周    ダート"},
  };
  for (const Case& c : cases) {
    s.venue = c.venue;
    s.trackSurface = c.surface;
    EXPECT_EQ(career::raceHeading(s), c.heading);
  }
}

TEST(RaceCardRow, RivalsNameTheirJockeyAndThePlayerIsYou) {
  GameState s;
  s.horseName = "abc";
  s.jockeyName[1] = "佐藤";
  s.runnerName[1] = "サクラ";
  s.jockeyName[9] = "鈴木";
  s.runnerName[9] = "ミルカ";
  EXPECT_EQ(career::raceCardRow(s, 1), "騎手佐藤" + spaces(13) + "サクラ    1番" + spaces(15));
  EXPECT_EQ(career::raceCardRow(s, 9), "騎手鈴木" + spaces(13) + "ミルカ    9番" + spaces(15));
  EXPECT_EQ(career::raceCardRow(s, 10), spaces(13) + "あなたabc    10番" + spaces(15));
}

TEST(RaceCardToRace, SetsTheRaceEntryValues) {
  AtStable g;
  g.lineUpRace(2);
  g.pressA();
  ASSERT_EQ(g.game.state.screenState, screen::kRaceCard);
  GameState& s = g.game.state;
  s.commentaryState = 9;
  s.commentaryTicks = 5;
  s.rerankRequested = 1;
  s.straightStage = 3;
  s.raceFinished = 1;
  s.finishStage = 2;
  s.lapsToGo = 4;
  g.pressA();
  const Form& f = g.game.form;
  EXPECT_EQ(s.screenState, screen::kRace);
  EXPECT_FALSE(f.label(39).transparent);
  EXPECT_EQ(f.label(28).top, 6240);
  EXPECT_EQ(s.commentaryState, 0);
  EXPECT_EQ(s.commentaryTicks, 0);
  EXPECT_EQ(s.rerankRequested, 0);
  EXPECT_EQ(s.straightStage, 0);
  EXPECT_EQ(s.raceFinished, 0);
  EXPECT_EQ(s.finishStage, 0);
  for (int n = 16; n <= 26; ++n) EXPECT_EQ(f.label(n).left, kRowsHiddenLeft);
  EXPECT_EQ(f.label(27).top, -2500);
  EXPECT_EQ(s.startCountdown, 3);
  EXPECT_EQ(s.countdownStep, 0);
  EXPECT_EQ(s.raceLaps, 4);
  EXPECT_EQ(s.raceTicks, 0);
  EXPECT_EQ(f.label(1).caption, "4");
  EXPECT_EQ(f.label(2).caption, "0");
}

TEST(AfterRace, TurnsTheMonthAndAgesTheHorseAtTheNewYear) {
  struct Case {
    int month, age, nextMonth, nextAge;
  } cases[] = {{7, 2, 8, 2}, {11, 2, 12, 2}, {12, 2, 1, 3}, {12, 4, 1, 5}};
  for (const Case& c : cases) {
    AtStable g;
    GameState& s = g.game.state;
    s.screenState = screen::kResults;
    s.resultsShown = 1;  // the board is up
    s.month = c.month;
    s.horseAge = c.age;
    s.racesRun = 4;
    g.pressA();
    EXPECT_EQ(s.screenState, screen::kStable);
    EXPECT_EQ(s.month, c.nextMonth);
    EXPECT_EQ(s.horseAge, c.nextAge);
    EXPECT_EQ(s.racesRun, 5);
  }
}

TEST(AfterRace, ClearsTheBoardAndTheRace) {
  AtStable g;
  GameState& s = g.game.state;
  Form& f = g.game.form;
  s.screenState = screen::kResults;
  s.playerFinished = 1;
  s.afterFinishTicks = 12;
  s.resultsShown = 1;
  s.bigRaceEntered[6] = 1;
  for (int k = 1; k <= 10; ++k) s.finishPlace[k] = k;
  f.label(39).caption = "ゴール";
  f.label(39).transparent = false;
  f.label(7).caption = "┳┳┳";
  f.text1.text = "abc";
  g.pressA();
  EXPECT_EQ(f.label(39).caption, "");
  EXPECT_TRUE(f.label(39).transparent);
  EXPECT_EQ(f.label(28).top, 5880);
  EXPECT_EQ(f.label(7).caption, "");
  EXPECT_EQ(f.label(27).top, -2500);
  EXPECT_EQ(f.text1.text, "");
  EXPECT_EQ(f.label(37).caption, "厩舎画面");
  EXPECT_EQ(f.backColour, 0x80FF8Du);
  EXPECT_EQ(s.playerFinished, 0);
  EXPECT_EQ(s.afterFinishTicks, 0);
  EXPECT_EQ(s.resultsShown, 0);
  for (int m = 1; m <= 12; ++m) EXPECT_EQ(s.bigRaceEntered[m], 0);
  for (int k = 1; k <= 10; ++k) EXPECT_EQ(s.finishPlace[k], 1);
}

TEST(AfterRace, RaceWearComesFirstThenGrowthAfterAReseed) {
  AtStable g;
  GameState& s = g.game.state;
  s.screenState = screen::kResults;
  s.resultsShown = 1;
  s.month = 7;
  s.horseAge = 3;
  s.horseGrowth = 2;  // normal, age 3: 2..6
  g.random.pushPick(5, 4);
  g.random.pushPick(5, 5);
  int reseeds = g.random.reseeds;
  g.pressA();
  EXPECT_EQ(s.bodyWeight, 450 - 4);
  EXPECT_EQ(s.horseSpeed, 60 + 6);
  EXPECT_EQ(g.random.reseeds - reseeds, 1);
}

// The speed gained after a race, by growth type and the age the horse has just reached.
TEST(Growth, GainsByTypeAndAge) {
  struct Case {
    int growth, age, low, high;
  } cases[] = {
      {1, 2, 4, 9}, {1, 3, 2, 5}, {1, 4, 1, 2}, {2, 2, 2, 4}, {2, 3, 2, 6}, {2, 4, 2, 4},
      {3, 2, 2, 3}, {3, 3, 2, 3}, {3, 4, 2, 6}, {1, 5, 0, 0}, {2, 5, 0, 0}, {0, 3, 0, 0},
  };
  for (const Case& c : cases) {
    for (double r : {0.0, 0.999999}) {
      testing::ScriptedRandom random;
      Game game(random);
      game.state.horseGrowth = c.growth;
      game.state.horseAge = c.age;
      random.push(r);
      int32_t gain = career::growthGain(game);
      EXPECT_EQ(gain, r == 0.0 ? c.low : c.high) << c.growth << " " << c.age;
    }
  }
}

TEST(CareerOver, AnEarlyPressRestartsTheCountAndALateOneFinishes) {
  AtStable g;
  GameState& s = g.game.state;
  s.screenState = screen::kCareerOver;
  s.buttonTicks = 2;
  g.game.Command1_Click();
  EXPECT_EQ(s.screenState, screen::kCareerOver);
  EXPECT_EQ(s.buttonTicks, 0);
  s.buttonTicks = 3;
  g.game.Command1_Click();
  EXPECT_EQ(s.screenState, screen::kFinished);
  EXPECT_EQ(s.buttonTicks, 0);
  s.buttonTicks = 50;
  g.game.Command1_Click();
  EXPECT_EQ(s.screenState, screen::kFinished);  // the finished game takes nothing more
}

TEST(OnePress, NeverDoesTwoSteps) {
  // From every screen one accepted press moves at most one state along.
  AtStable g;
  GameState& s = g.game.state;
  g.lineUpRace(1);
  g.pressA();
  EXPECT_EQ(s.screenState, screen::kRaceCard);
  g.pressA();
  EXPECT_EQ(s.screenState, screen::kRace);
  s.screenState = screen::kResults;
  s.resultsShown = 1;
  g.pressA();
  EXPECT_EQ(s.screenState, screen::kStable);
  EXPECT_EQ(g.game.form.label(17).left, kRowsHiddenLeft);  // not straight back on a race card
}

}  // namespace
}  // namespace milka

namespace milka {
namespace {

// Rows put aside must be wholly out of the window, however wide they are drawn.
TEST(TableRows, StandWhollyOutsideTheWindowWhenPutAside) {
  testing::ScriptedGame g;
  for (int n = 16; n <= 26; ++n) {
    const Label& row = g.game.form.label(n);
    EXPECT_LE(row.left + row.width, 0.0f) << n;
    EXPECT_LE(915 + row.width, g.game.form.clientWidth) << n;  // and fit inside when shown
  }
  g.game.state.screenState = screen::kResults;
  g.game.state.resultsShown = 1;
  g.pressA();
  for (int n = 16; n <= 26; ++n) {
    const Label& row = g.game.form.label(n);
    EXPECT_LE(row.left + row.width, 0.0f) << n;
  }
}

}  // namespace
}  // namespace milka
