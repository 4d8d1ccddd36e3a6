// Whole races played through the handlers, from the race card to the stable, as the window
// plays them: a key typed when the screen asks for one, then a tick of every timer.
#include <gtest/gtest.h>

#include <string>

#include "career/flow.h"
#include "race/jockey_tables.h"
#include "race/rival_tables.h"
#include "scripted_random.h"
#include "shell/text.h"
#include "typed_key.h"

namespace milka {
namespace {

using testing::ScriptedGame;

using milka::testing::keyCodeOf;

struct Course {
  int month, venue, post, surface, laps;
};

// A 3-year-old of class 0 on the race card: the weak table, rivals 1..9, jockeys 11..19.
// Every draw of the race itself gives 1, so every rival runs at strength 2, level with the
// others, and the player's horse at 1.
struct Scenario : ScriptedGame {
  explicit Scenario(const Course& c) {
    GameState& s = game.state;
    s.screenState = screen::kStable;
    s.setupPhase = 0;
    s.horseName = "milk";
    s.horseSpeed = 1;
    s.horseWhips = 400;
    s.horseKeys = 10;
    s.horseStyle = 0;
    s.horseDistance = 0;
    s.horseGrowth = 0;  // no growth after the race, so the speed shows the win's bonus alone
    s.horseAge = 3;
    s.bodyWeight = 440;
    s.bestWeight = 450;
    s.month = c.month;
    s.venue = c.venue;
    s.finishPostX = c.post;
    s.trackSurface = c.surface;
    s.lapsToGo = c.laps;
    s.raceName = "Ｃ３";
    for (int k = 1; k <= 9; ++k) random.pushPick(34, k);
    for (int k = 1; k <= 9; ++k) random.pushPick(34, 10 + k);
    career::drawField(game);
    s.screenState = screen::kRaceCard;
    pressA();
  }
  // Plays until the board is up; returns the ticks the finish wait took.
  int playToTheBoard() {
    GameState& s = game.state;
    int finishedAt = -1, ticks = 0;
    for (; s.resultsShown == 0 && ticks < 5000; ++ticks) {
      if (s.screenState == screen::kRace) {
        const int code = keyCodeOf(game.form.label(12).caption);
        if (code != 0) game.Text1_KeyDown(static_cast<int16_t>(code), 0);
      }
      const bool wasFinished = s.playerFinished == 1;
      game.Timer1_Timer();
      if (!wasFinished && s.playerFinished == 1) finishedAt = ticks;
      if (s.screenState == screen::kResults && finishedAt >= 0 && waitTicks < 0) {
        waitTicks = ticks - finishedAt;
        rankAtTheEnd = s.runnerRank[10];
      }
      game.Timer2_Timer();
      game.Timer3_Timer();
      game.Timer4_Timer();
      game.Timer5_Timer();
    }
    return ticks;
  }
  int waitTicks = -1;
  int rankAtTheEnd = 0;
};

std::string rivalRow(const GameState& s, int place, int runner) {
  return num(place) + "着        " + num(runner) + "番" + spaces(15) + s.runnerName[runner] +
         spaces(13) + s.jockeyName[runner] + "騎手";
}

TEST(RaceScenario, AWhippedRaceAtKawasakiFromTheCardToTheStable) {
  Scenario sc({9, 2, 8000, 1, 2});
  GameState& s = sc.game.state;
  ASSERT_EQ(s.screenState, screen::kRace);
  sc.playToTheBoard();
  ASSERT_EQ(s.resultsShown, 1);

  // Every running tick is a whip step. Before the last lap it is 100 + 2 - 5 = 97 from 50,
  // across 8000 on the 82nd tick (at 8004, back to 4) and again 83 ticks later (back to 55);
  // then 60 + 2 - 5 = 57 a tick into the zone past 7900 on the 138th: 303 ticks.
  EXPECT_EQ(s.raceTicks, 303);
  EXPECT_EQ(sc.waitTicks, sc.rankAtTheEnd == 1 ? 31 : 11);

  const Form& f = sc.game.form;
  EXPECT_EQ(f.label(27).caption, "レース結果    川崎競馬場    Ｃ３     ダート");
  EXPECT_EQ(f.label(17).caption,
            "1着       10番               milk             あなた      タイム303秒");
  EXPECT_EQ(f.label(17).foreColour, 0x1111FFu);
  // The rivals ran level all race, so the higher number is placed first.
  for (int place = 2; place <= 10; ++place)
    EXPECT_EQ(f.label(16 + place).caption, rivalRow(s, place, 11 - place)) << place;
  EXPECT_EQ(s.runnerName[9], race::kWeakRivals[8].name);
  EXPECT_EQ(s.jockeyName[9], race::kJockeys[18].name);

  EXPECT_EQ(s.horseClass, 1);
  EXPECT_EQ(s.horseSpeed, 2);
  EXPECT_EQ(s.horseWhips, 400 - 303 + 1);
  EXPECT_EQ(s.sendEnabled, 0);
  for (int p = 2; p <= 10; ++p) EXPECT_EQ(s.placeCount[p], 0);

  // The board stays until A, which returns to the stable with the month turned.
  for (int i = 0; i < 20; ++i) {
    sc.game.Timer1_Timer();
    sc.game.Timer2_Timer();
    sc.game.Timer5_Timer();
  }
  EXPECT_EQ(s.horseClass, 1);
  EXPECT_EQ(f.backColour, 0xFFEEFFu);
  sc.game.Command1_Click();
  EXPECT_EQ(s.screenState, screen::kStable);
  EXPECT_EQ(s.month, 10);
  EXPECT_EQ(s.racesRun, 1);
  EXPECT_EQ(s.resultsShown, 0);
  EXPECT_EQ(s.playerFinished, 0);
  for (int k = 1; k <= 10; ++k) EXPECT_EQ(s.finishPlace[k], 1);
}

TEST(RaceScenario, OneLapOnTurfAtOiRunsRightToLeft) {
  Scenario sc({3, 1, 200, 3, 1});
  GameState& s = sc.game.state;
  sc.playToTheBoard();
  ASSERT_EQ(s.resultsShown, 1);
  // 100 + 2 - 10 = 92 a tick left from 9700, below 200 on the 104th (132, back to 9832); then
  // 60 + 2 - 10 = 52 a tick to below 450 on the 181st.
  EXPECT_EQ(s.raceTicks, 285);
  EXPECT_EQ(sc.game.form.label(27).caption, "レース結果    大井競馬場    Ｃ３     芝");
  EXPECT_TRUE(sc.game.form.label(17).caption.starts_with("1着       10番"));
  EXPECT_EQ(sc.game.form.label(18).caption, rivalRow(s, 2, 9));
  EXPECT_EQ(s.horseClass, 1);
}

TEST(RaceScenario, WithoutWhipsTheHorseCanLose) {
  Scenario sc({1, 4, 7000, 2, 2});
  GameState& s = sc.game.state;
  s.horseWhips = 0;
  sc.playToTheBoard();
  ASSERT_EQ(s.resultsShown, 1);
  // Rivals at 2 + 60 - 15 = 47 a tick outrun the plain 50 + 1 - 15 = 36: the player is last.
  EXPECT_EQ(s.finishPlace[10], 10);
  EXPECT_EQ(s.placeCount[10], 1);
  EXPECT_EQ(s.horseClass, 0);
  EXPECT_EQ(sc.waitTicks, 11);
  EXPECT_TRUE(sc.game.form.label(26).caption.starts_with("10着       10番               milk"));
}

}  // namespace
}  // namespace milka
