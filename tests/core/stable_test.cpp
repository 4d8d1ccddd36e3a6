// The stable screen, the pasture and the body-weight line.
#include "career/stable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scripted_random.h"

namespace milka {
namespace {

using testing::ScriptedGame;

struct AtStable : ScriptedGame {
  AtStable() {
    GameState& s = game.state;
    s.screenState = screen::kStable;
    s.setupPhase = 0;
    s.horseName = "milka";
    s.horseAge = 3;
    s.month = 2;
    s.horseClass = 5;
    s.horseSpeed = 71;
    s.horseWhips = 48;
    s.horseKeys = 9;
    s.racesRun = 12;
    s.bestWeight = 480;
    s.bodyWeight = 470;
    for (int p = 2; p <= 10; ++p) s.placeCount[p] = p - 1;
  }
};

TEST(Stable, TheStatusLinesAreRedrawnOnEveryTick) {
  AtStable g;
  g.ticks(1);
  const Form& f = g.game.form;
  struct Line {
    int label;
    float top;
    uint32_t colour;
    std::string text;
  };
  const std::vector<Line> lines = {
      {30, 1700, 0x000000, "馬名  milka      3 歳   現在 2 月です"},
      {31, 2000, 0x000000, "B2"},
      {32, 2300, 0x0000FF, "スピードは   ⇒  71"},
      {33, 2600, 0x0000FF, "ムチの数は   ⇒  48"},
      {34, 2900, 0x0000FF, "キーボードの文字数は    ⇒  9"},
      {35, 3200, 0xFF1111, "現在 12 戦 5 勝"},
  };
  for (const Line& l : lines) {
    EXPECT_EQ(f.label(l.label).caption, l.text) << l.label;
    EXPECT_EQ(f.label(l.label).top, l.top) << l.label;
    EXPECT_EQ(f.label(l.label).foreColour, l.colour) << l.label;
  }
  EXPECT_EQ(f.label(38).top, 4000);
  EXPECT_EQ(f.label(40).top, 3500);
  EXPECT_EQ(f.label(28).caption,
            "■調教はＡボタン   ■放牧はＢボタン   ■レースカレンダー参照は作者サイト");

  // A win booked elsewhere shows on the next tick.
  g.game.state.horseClass = 10;
  g.game.state.racesRun = 13;
  g.ticks(1);
  EXPECT_EQ(f.label(31).caption, "S3");
  EXPECT_EQ(f.label(35).caption, "現在 13 戦 10 勝");
}

TEST(Stable, TheCommentaryTimerWritesTheWeightAndTheRecord) {
  AtStable g;
  g.game.Timer2_Timer();
  EXPECT_EQ(g.game.form.label(38).caption, "馬体重は   ⇒   470です。馬体が寂しく感じます");
  EXPECT_EQ(g.game.form.label(40).caption, "5-1-2-3-4-5-6-7-8-9");
}

TEST(Stable, AtTwoTheClassWordIsSpecial) {
  AtStable g;
  g.game.state.horseAge = 2;
  g.game.state.month = 9;
  g.ticks(1);
  EXPECT_EQ(g.game.form.label(31).caption, "特選");
  EXPECT_EQ(g.game.form.label(30).caption, "馬名  milka      2 歳   現在 9 月です");
}

TEST(WeightLine, EndsByTheWeightAgainstTheBest) {
  struct Case {
    int body, best;
    const char* text;
  };
  for (const Case& c : std::vector<Case>{
           {449, 450, "馬体重は   ⇒   449です。馬体が寂しく感じます"},
           {429, 450, "馬体重は   ⇒   429です。馬体が寂しく感じます"},
           {450, 450, "馬体重は   ⇒   450です。ベスト体重です"},
           {451, 450, "馬体重は   ⇒   451です。馬体が太く感じます"},
           {578, 549, "馬体重は   ⇒   578です。馬体が太く感じます"},
       })
    EXPECT_EQ(career::weightLine(c.body, c.best), c.text) << c.body << " vs " << c.best;
}

TEST(FinishingRecord, WinsThenPlacesTwoToTen) {
  GameState s;
  EXPECT_EQ(career::finishingRecord(s), "0-0-0-0-0-0-0-0-0-0");
  s.horseClass = 14;
  s.placeCount[2] = 3;
  s.placeCount[10] = 11;
  EXPECT_EQ(career::finishingRecord(s), "14-3-0-0-0-0-0-0-0-11");
}

// Lines up every draw of a spell at grass: speed, the eight picture pairs, weight, whips.
void lineUpPasture(testing::ScriptedRandom& r, int speed, int weight, int whips) {
  r.pushPick(3, speed);
  for (int pair = 1; pair <= 8; ++pair) r.pushPick(5000, pair * 100);
  r.pushPick(6, weight);
  r.pushPick(30, whips);
}

TEST(Pasture, GainsSpeedWeightAndWhips) {
  struct Case {
    int speedPick, weightPick, whipPick;
    int speedGain, weightGain, whipGain;
  };
  for (const Case& c :
       std::vector<Case>{{1, 1, 1, 1, 4, 30}, {3, 6, 30, 3, 9, 59}, {2, 3, 15, 2, 6, 44}}) {
    AtStable g;
    lineUpPasture(g.random, c.speedPick, c.weightPick, c.whipPick);
    g.pressB();
    const GameState& s = g.game.state;
    EXPECT_EQ(s.horseSpeed, 71 + c.speedGain);
    EXPECT_EQ(s.bodyWeight, 470 + c.weightGain);
    EXPECT_EQ(s.horseWhips, 48 + c.whipGain);
    EXPECT_EQ(s.horseKeys, 9);
    EXPECT_EQ(s.bestWeight, 480);
    EXPECT_EQ(s.screenState, screen::kPasture);
    EXPECT_EQ(s.buttonTicks, 0);
    EXPECT_EQ(g.random.pending(), 0u);
  }
}

TEST(Pasture, ReseedsOnceBeforeTheSpeedDraw) {
  AtStable g;
  lineUpPasture(g.random, 2, 2, 2);
  const int before = g.random.reseeds;
  g.pressB();
  EXPECT_EQ(g.random.reseeds - before, 1);
}

TEST(Pasture, ScattersThePicturesAPairAtATime) {
  AtStable g;
  lineUpPasture(g.random, 1, 1, 1);
  g.pressB();
  const Form& f = g.game.form;
  // Pair k drew k × 100: the first five land from 100 on, the last three from 4000 on.
  const std::vector<std::pair<int, float>> lefts = {
      {13, 99 + 100}, {15, 99 + 200},   {17, 99 + 300},   {19, 99 + 400},
      {21, 99 + 500}, {23, 3999 + 600}, {25, 3999 + 700}, {27, 3999 + 800}};
  for (const auto& [first, left] : lefts) {
    EXPECT_EQ(f.image(first).left, left) << first;
    EXPECT_EQ(f.image(first + 1).left, left) << first + 1;
  }
}

TEST(Pasture, ClearsTheStableAndSaysWhereTheHorseIs) {
  AtStable g;
  g.ticks(1);
  lineUpPasture(g.random, 1, 1, 1);
  g.pressB();
  const Form& f = g.game.form;
  const std::vector<std::pair<int, float>> tops = {{27, -1700}, {30, -1700}, {31, -2000},
                                                   {32, -2300}, {33, -2600}, {34, -2900},
                                                   {35, -3200}, {38, -3200}, {40, -3200}};
  for (const auto& [label, top] : tops) EXPECT_EQ(f.label(label).top, top) << label;
  EXPECT_EQ(f.label(28).caption, "■Ａボタンを押して下さい");
  EXPECT_EQ(f.label(37).caption, "放牧に出しました");
  // The stable is not redrawn over the pasture.
  g.ticks(1);
  EXPECT_EQ(f.label(30).top, -1700);
}

TEST(Pasture, AnEarlyBOnlyRestartsTheCount) {
  AtStable g;
  g.game.state.buttonTicks = 1;
  const int draws = g.random.draws;
  g.game.Command4_Click();
  EXPECT_EQ(g.game.state.screenState, screen::kStable);
  EXPECT_EQ(g.game.state.horseSpeed, 71);
  EXPECT_EQ(g.game.state.buttonTicks, 0);
  EXPECT_EQ(g.random.draws, draws);
}

TEST(BodyWeight, TwentyOneBelowTheBestMustGoToPastureFirst) {
  AtStable g;
  GameState& s = g.game.state;
  s.horseAge = 2;
  s.month = 8;
  s.bodyWeight = s.bestWeight - 21;
  // A: surface and a field are drawn, but the card never opens.
  g.random.pushPick(3, 1);
  for (int k = 1; k <= 9; ++k) g.random.pushPick(34, k);
  for (int k = 1; k <= 9; ++k) g.random.pushPick(34, 10 + k);
  g.pressA();
  EXPECT_EQ(s.screenState, screen::kStable);
  EXPECT_EQ(g.game.form.label(27).caption,
            "放牧しましょう。馬体重が馬じゃなくなってきました。やばいっす！");
  EXPECT_EQ(g.game.form.label(27).foreColour, 0xFF1111u);

  g.random.clear();
  lineUpPasture(g.random, 1, 1, 1);  // the least a pasture gives: 4
  g.pressB();
  EXPECT_EQ(s.bodyWeight, s.bestWeight - 17);
  g.pressA();  // back from pasture, a month on
  EXPECT_EQ(s.screenState, screen::kStable);
  EXPECT_EQ(s.month, 9);

  g.random.pushPick(3, 1);
  for (int k = 1; k <= 9; ++k) g.random.pushPick(34, k);
  for (int k = 1; k <= 9; ++k) g.random.pushPick(34, 10 + k);
  g.pressA();
  EXPECT_EQ(s.screenState, screen::kRaceCard);
}

}  // namespace
}  // namespace milka
