// Career screen upkeep: the career-end rule, the career-over record, the help lines of the card
// and the race, and the grazing horses, all driven through the commentary timer.
#include <gtest/gtest.h>

#include "scripted_random.h"

namespace milka {
namespace {

using testing::ScriptedGame;

struct EndCase {
  int screen;
  int age;
  int month;
  int wins;
  int expected;
};

TEST(CareerEndRule, RetiresAtFiveAndTheWinlessFromJulyOfTheThirdAndFourthYear) {
  using screen::kCareerOver, screen::kPasture, screen::kRace, screen::kRaceCard, screen::kStable;
  // clang-format off
  const EndCase cases[] = {
    // screen   age month wins expected
    {kStable,   5,  1,    4,   kCareerOver},      // five years old, whatever the record
    {kPasture,  5,  1,    4,   kCareerOver},
    {kStable,   3,  6,    0,   kStable},          // June of the third year: not yet
    {kStable,   3,  7,    0,   kCareerOver},
    {kPasture,  3,  7,    0,   kCareerOver},      // the pasture too
    {kPasture,  3,  6,    0,   kPasture},
    {kStable,   4,  6,    0,   kStable},
    {kStable,   4,  7,    0,   kCareerOver},
    {kPasture,  4, 12,    0,   kCareerOver},
    {kStable,   3,  7,    1,   kStable},          // one win is enough to go on
    {kStable,   4, 12,    1,   kStable},
    {kStable,   2, 12,    0,   kStable},          // the first year is never cut short
    {kRaceCard, 5,  1,    0,   kRaceCard},        // the race card and the race are left alone
    {kRace,     3,  7,    0,   kRace},
  };
  // clang-format on
  for (const EndCase& c : cases) {
    ScriptedGame g;
    GameState& s = g.game.state;
    s.screenState = c.screen;
    s.setupPhase = 0;
    s.horseAge = c.age;
    s.month = c.month;
    s.horseClass = c.wins;
    s.startCountdown = 3;
    g.game.Timer2_Timer();
    EXPECT_EQ(s.screenState, c.expected)
        << "screen " << c.screen << " age " << c.age << " month " << c.month << " wins " << c.wins;
  }
}

// A career that has just ended, with its record.
struct CareerOver : ScriptedGame {
  CareerOver() {
    GameState& s = game.state;
    s.screenState = screen::kCareerOver;
    s.horseName = "abc";
    s.racesRun = 24;
    s.horseClass = 5;
    for (int p = 2; p <= 10; ++p) s.placeCount[p] = p - 1;
  }
};

TEST(CareerOverScreen, ShowsTheNameTheRecordAndTheFinishCounts) {
  CareerOver g;
  g.game.Timer2_Timer();
  const Form& f = g.game.form;
  EXPECT_EQ(f.label(37).caption, "引退です");
  EXPECT_EQ(f.label(37).foreColour, 0xFF1111u);
  EXPECT_TRUE(f.label(37).bold);
  EXPECT_EQ(f.label(17).caption,
            "馬名 : "
            "abc");
  EXPECT_EQ(f.label(17).foreColour, 0x0000FFu);
  EXPECT_EQ(f.label(18).caption,
            "生涯成績 "
            "24"
            " 戦 "
            "5"
            " 勝");
  EXPECT_EQ(f.label(25).caption, "5 - 1 - 2 - 3 - 4 - 5 - 6 - 7 - 8 - 9");
  EXPECT_EQ(f.label(26).caption, "インターネットに繋がる環境でAボタンを押して下さい");
  EXPECT_EQ(f.label(26).foreColour, 0xFF00FFu);
  EXPECT_EQ(f.label(28).caption,
            "■Ａボタンを押すと成績次第で当サイトに残りますのでＡボタンを押して下さい。");
  for (int n : {38, 40, 30, 31, 32, 33, 34, 35}) EXPECT_EQ(f.label(n).caption, "") << n;
  for (int n = 17; n <= 26; ++n) {
    EXPECT_TRUE(f.label(n).transparent) << n;
    EXPECT_EQ(f.label(n).left, n == 26 ? 3425.0f : 3415.0f) << n;
  }
  EXPECT_EQ(f.label(17).top, 1200.0f);
  EXPECT_EQ(f.label(25).top, 4400.0f);
  EXPECT_EQ(f.label(26).top, 4900.0f);
  EXPECT_TRUE(f.label(19).bold);
  EXPECT_TRUE(f.label(24).bold);
  EXPECT_FALSE(f.label(25).bold);
  for (int n = 19; n <= 24; ++n) EXPECT_EQ(f.label(n).caption, "") << "no top race won";
}

TEST(CareerOverScreen, TopRacesGoTwoMonthsToALine) {
  CareerOver g;
  GameState& s = g.game.state;
  s.bigRaceWon[1] = 1;
  s.bigRaceWon[2] = 1;
  s.bigRaceWon[6] = 1;
  s.bigRaceWon[11] = 1;
  g.game.form.label(20).caption = "left over";
  g.game.Timer2_Timer();
  g.game.Timer2_Timer();  // redrawn every tick without piling up
  const Form& f = g.game.form;
  EXPECT_EQ(f.label(19).caption,
            "ミルカリア記念        "
            "ミルカグランプリ");
  EXPECT_EQ(f.label(20).caption, "");
  EXPECT_EQ(f.label(21).caption, "ミルカダービー");
  EXPECT_EQ(f.label(22).caption, "");
  EXPECT_EQ(f.label(23).caption, "");
  EXPECT_EQ(f.label(24).caption, "日本カップ (交流)        ");
}

TEST(CareerOverScreen, AnEvenMonthAloneStandsAlone) {
  CareerOver g;
  g.game.state.bigRaceWon[2] = 1;
  g.game.state.bigRaceWon[12] = 1;
  g.game.Timer2_Timer();
  EXPECT_EQ(g.game.form.label(19).caption, "ミルカグランプリ");
  EXPECT_EQ(g.game.form.label(24).caption, "ミルカ大賞典 (交流)");
}

TEST(HelpLines, TheCardAsksForAAndTheRaceExplainsTheWhip) {
  ScriptedGame g;
  GameState& s = g.game.state;
  Form& f = g.game.form;
  s.screenState = screen::kRaceCard;
  g.game.Timer2_Timer();
  EXPECT_EQ(f.label(28).caption, "■Ａボタンを押して下さい");

  s.screenState = screen::kRace;
  s.startCountdown = 3;  // before the start, so the commentary stays out of it
  s.horseWhips = 1;
  g.game.Timer2_Timer();
  EXPECT_EQ(f.label(28).caption, "■ムチの入れ方は上のムチの値を右下のテキストボックス内に入力する");
  s.horseWhips = 0;
  for (int i = 0; i < 3; ++i) {
    g.game.Timer2_Timer();
    EXPECT_EQ(f.label(28).caption, "■ムチがなくなってしまいました。");
  }
}

TEST(GrazingA, PairsSwapFramesAndStepByTheirDraws) {
  ScriptedGame g;
  GameState& s = g.game.state;
  Form& f = g.game.form;
  s.screenState = screen::kBreeding;
  s.setupPhase = 3;
  s.gaitFrame = 1;
  f.image(13).left = 100;
  f.image(14).left = 0;
  f.image(15).left = 1000;
  f.image(16).left = 2000;
  f.image(23).left = 9000;
  f.image(24).left = 5000;
  f.image(27).left = 8000;
  f.image(28).left = 7000;
  f.image(31).left = 6000;
  f.image(32).left = 0;
  g.random.pushPick(80, 7);    // 13/14: 57 to the right
  g.random.pushPick(160, 10);  // 15/16: 110 to the right, each from its own place
  g.random.pushPick(60, 1);    // 23/24: 51 to the left
  g.random.pushPick(50, 50);   // 27/28: 100 to the left, each from its own place
  g.random.pushPick(80, 80);   // 31/32: 130 to the left
  const int reseeds = g.random.reseeds;
  g.game.Timer2_Timer();

  EXPECT_EQ(g.random.pending(), 0u);
  EXPECT_EQ(g.random.reseeds - reseeds, 5);
  EXPECT_EQ(s.gaitFrame, 0);
  EXPECT_EQ(f.image(13).left, 157.0f);
  EXPECT_EQ(f.image(14).left, 214.0f);
  EXPECT_EQ(f.image(15).left, 1110.0f);
  EXPECT_EQ(f.image(16).left, 2110.0f);
  EXPECT_EQ(f.image(23).left, 8949.0f);
  EXPECT_EQ(f.image(24).left, 8898.0f);
  EXPECT_EQ(f.image(27).left, 7900.0f);
  EXPECT_EQ(f.image(28).left, 6900.0f);
  EXPECT_EQ(f.image(31).left, 5870.0f);
  EXPECT_EQ(f.image(32).left, 5740.0f);
  // clang-format off
  const float topsFrame1[][3] = {
    {13,  200, -1100}, {15,  600, -3100}, {23,  790, -2150}, {27, 1000, -3600}, {31,  400, -1500},
  };
  // clang-format on
  for (const auto& row : topsFrame1) {
    const int first = static_cast<int>(row[0]);
    EXPECT_EQ(f.image(first).top, row[1]) << first;
    EXPECT_EQ(f.image(first + 1).top, row[2]) << first + 1;
  }

  g.game.Timer2_Timer();
  EXPECT_EQ(s.gaitFrame, 1);
  // clang-format off
  const float topsFrame0[][3] = {
    {13, -1100,  200}, {15, -3100,  600}, {23, -2500,  790}, {27, -4000, 1000}, {31, -1550,  450},
  };
  // clang-format on
  for (const auto& row : topsFrame0) {
    const int first = static_cast<int>(row[0]);
    EXPECT_EQ(f.image(first).top, row[1]) << first;
    EXPECT_EQ(f.image(first + 1).top, row[2]) << first + 1;
  }
}

TEST(GrazingA, OnlyWhileTheNameIsBeingSettled) {
  for (int phase : {1, 2}) {
    ScriptedGame g;
    g.game.state.screenState = screen::kBreeding;
    g.game.state.setupPhase = phase;
    g.game.state.gaitFrame = 1;
    const float left = g.game.form.image(31).left;
    g.game.Timer2_Timer();
    EXPECT_EQ(g.game.state.gaitFrame, 1) << phase;
    EXPECT_EQ(g.game.form.image(31).left, left) << phase;
  }
}

TEST(GrazingB, ThePastureHorsesWalkAndTheLastPairHidesHigher) {
  ScriptedGame g;
  GameState& s = g.game.state;
  Form& f = g.game.form;
  s.screenState = screen::kPasture;
  s.horseAge = 2;
  s.month = 8;
  s.gaitFrame = 0;
  for (int n = 13; n <= 28; ++n) f.image(n).left = 4000;
  const int strides[] = {80, 60, 70, 80, 50, 60, 50, 80};
  for (int stride : strides) g.random.pushPick(stride, 1);  // every step 51
  g.game.Timer2_Timer();

  EXPECT_EQ(g.random.pending(), 0u);
  EXPECT_EQ(s.gaitFrame, 1);
  EXPECT_EQ(s.screenState, screen::kPasture);
  // gaitFrame was 0: the second picture of each pair is the one out in the field.
  // clang-format off
  const float shown[][2] = {
    {13, 1100}, {15, 3100}, {17, 2500}, {19, 4000}, {21, 1550}, {23, 2150}, {25, 3600}, {27, 500},
  };
  // clang-format on
  for (const auto& row : shown) {
    const int first = static_cast<int>(row[0]);
    EXPECT_EQ(f.image(first + 1).top, row[1]) << first + 1;
    EXPECT_EQ(f.image(first).top, first == 27 ? -1500.0f : -row[1]) << first;
  }
  EXPECT_EQ(f.image(13).left, 4051.0f);
  EXPECT_EQ(f.image(14).left, 4102.0f);
  EXPECT_EQ(f.image(15).left, 4051.0f);  // its own place
  EXPECT_EQ(f.image(16).left, 4051.0f);
  EXPECT_EQ(f.image(21).left, 4051.0f);
  EXPECT_EQ(f.image(22).left, 4102.0f);
  EXPECT_EQ(f.image(23).left, 3949.0f);
  EXPECT_EQ(f.image(24).left, 3898.0f);
  EXPECT_EQ(f.image(28).left, 3898.0f);

  g.game.Timer2_Timer();
  EXPECT_EQ(f.image(27).top, 500.0f);
  EXPECT_EQ(f.image(28).top, -1500.0f);
  EXPECT_EQ(f.image(13).top, 1100.0f);
  EXPECT_EQ(f.image(14).top, -1100.0f);
}

}  // namespace
}  // namespace milka
