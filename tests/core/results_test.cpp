// The results board: the order from the pictures, its rows, and the booking of the result.
#include "race/results.h"

#include <gtest/gtest.h>

#include <string>

#include "race/running.h"
#include "scripted_random.h"
#include "shell/text.h"

namespace milka {
namespace {

using testing::ScriptedGame;

constexpr uint32_t kColour[11] = {0,        0xEEEEEE, 0xCDCDCD, 0xFEB1BD, 0x6696FD, 0xFFFF99,
                                  0x10FF10, 0xFFC040, 0xFFC040, 0xFF99FF, 0xFF99FF};

// A race just over at 川崎: the field as `progress` says (larger is further ahead).
struct Board : ScriptedGame {
  Board() {
    GameState& s = game.state;
    s.screenState = screen::kResults;
    s.venue = 2;
    s.trackSurface = 1;
    s.raceName = "Ｃ３";
    s.horseName = "abc";
    s.horseSpeed = 60;
    s.horseWhips = 10;
    s.horseClass = 2;
    s.raceTicks = 321;
    for (int k = 1; k <= 9; ++k) {
      s.runnerName[k] = "ウマ" + num(k);
      s.jockeyName[k] = "騎" + num(k);
    }
  }
  GameState& s() { return game.state; }
  // Places the right-facing pictures (the board reads those at every course but 大井).
  void field(const std::array<float, 10>& progress) {
    for (int k = 1; k <= 10; ++k) {
      GameState at = game.state;
      at.venue = 2;
      game.form.image(race::pictureA(at, k)).left = progress[static_cast<size_t>(k - 1)];
    }
  }
  // The player in `place`, every rival far behind or ahead as needed.
  void playerIn(int place) {
    std::array<float, 10> progress{};
    for (int k = 1; k <= 9; ++k) progress[static_cast<size_t>(k - 1)] = k < place ? 9000 : 100;
    progress[9] = 5000;
    field(progress);
  }
  const std::string& row(int place) const { return game.form.label(16 + place).caption; }
};

TEST(ResultsBoard, TheOrderComesFromThePicturesWithTiesToTheHigherNumber) {
  Board b;
  // Runners 3 and 7 level; the player level with runner 1 at the front.
  b.field({8000, 5000, 6000, 4000, 3000, 2000, 6000, 1000, 500, 8000});
  b.game.Timer5_Timer();
  const int expected[11] = {0, 2, 5, 4, 6, 7, 8, 3, 9, 10, 1};
  for (int k = 1; k <= 10; ++k) EXPECT_EQ(b.s().finishPlace[k], expected[k]) << k;
  EXPECT_TRUE(b.row(1).starts_with("1着       10番")) << b.row(1);
  EXPECT_TRUE(b.row(2).starts_with("2着        1番")) << b.row(2);
  EXPECT_TRUE(b.row(3).starts_with("3着        7番")) << b.row(3);
  EXPECT_TRUE(b.row(4).starts_with("4着        3番")) << b.row(4);
  EXPECT_TRUE(b.row(10).starts_with("10着        9番")) << b.row(10);
  EXPECT_EQ(b.s().horseClass, 3);  // a win
}

TEST(ResultsBoard, AtOiTheLeftFacingPicturesAreReadRightToLeft) {
  Board b;
  b.s().venue = 1;
  GameState oi = b.s();
  for (int k = 1; k <= 10; ++k)
    b.game.form.image(race::pictureA(oi, k)).left = 1000.0f * static_cast<float>(k);
  b.game.Timer5_Timer();
  for (int k = 1; k <= 10; ++k) EXPECT_EQ(b.s().finishPlace[k], k) << k;  // smaller is ahead
  EXPECT_EQ(b.game.form.image(21).left, -10000);
  EXPECT_EQ(b.s().placeCount[10], 1);
  EXPECT_EQ(b.game.form.label(27).caption, "レース結果    大井競馬場    Ｃ３     ダート");
}

TEST(ResultsBoard, RowLiteralsForFirstAndTenthPlace) {
  for (int place : {1, 10}) {
    for (int runner = 1; runner <= 10; ++runner) {
      Board b;
      std::array<float, 10> progress{};
      // Everyone else level at 5000 (ordered 10..1 by the tie rule), the runner ahead or behind.
      progress.fill(5000);
      progress[static_cast<size_t>(runner - 1)] = place == 1 ? 9000 : 100;
      b.field(progress);
      b.game.Timer5_Timer();
      const std::string head = num(place) + "着" + (runner == 10 ? "       " : "        ") +
                               num(runner) + "番" + "               ";
      const std::string tail =
          runner == 10 ? "abc             あなた      タイム321秒"
                       : "ウマ" + num(runner) + "             騎" + num(runner) + "騎手";
      const Label& row = b.game.form.label(16 + place);
      EXPECT_EQ(row.caption, head + tail) << place << " " << runner;
      EXPECT_EQ(row.backColour, kColour[runner]) << place << " " << runner;
      EXPECT_EQ(row.left, 915);
    }
  }
  EXPECT_EQ(race::boardRow(GameState{}, 1, 1),
            "1着        1番               " + spaces(13) + "騎手");
  GameState s;
  s.horseName = "xy";
  EXPECT_EQ(race::boardRow(s, 10, 10),
            "10着       10番               xy             あなた      タイム0秒");
}

TEST(ResultsBoard, ThePlayersRowIsBlueAndTheOthersKeepTheirTextColour) {
  Board b;
  for (int n = 17; n <= 26; ++n) b.game.form.label(n).foreColour = 0x111111;
  b.playerIn(4);
  b.game.Timer5_Timer();
  for (int place = 1; place <= 10; ++place)
    EXPECT_EQ(b.game.form.label(16 + place).foreColour, place == 4 ? 0x1111FFu : 0x111111u);
  EXPECT_TRUE(b.row(4).starts_with("4着       10番")) << b.row(4);
  EXPECT_EQ(b.game.form.label(20).backColour, 0xFF99FFu);
}

TEST(ResultsBoard, HeaderByCourseAndSurface) {
  struct Case {
    int venue, surface;
    const char* header;
  } cases[] = {
      {1, 1, "レース結果    大井競馬場    Ｃ３     ダート"},
      {2, 2, "レース結果    川崎競馬場    Ｃ３     ドロ"},
      {3, 3, "レース結果    船橋競馬場    Ｃ３     芝"},
      {4, 1, "レース結果    浦和競馬場    Ｃ３     ダート"},
      {0, 1, "unchanged"},
      {2, 4, "unchanged"},
  };
  for (const Case& c : cases) {
    Board b;
    b.s().venue = c.venue;
    b.s().trackSurface = c.surface;
    b.game.form.label(27).caption = "unchanged";
    b.game.Timer5_Timer();
    EXPECT_EQ(b.game.form.label(27).caption, c.header) << c.venue << " " << c.surface;
    EXPECT_EQ(b.game.form.label(27).top, 300);
  }
}

TEST(ResultsBoard, TheRaceSceneIsCleared) {
  Board b;
  b.playerIn(2);
  for (int n : {4, 5, 6, 36, 12, 13, 11, 2, 1}) b.game.form.label(n).caption = "x";
  b.game.Timer5_Timer();
  for (int n = 1; n <= 42; ++n) EXPECT_EQ(b.game.form.image(n).top, -2300) << n;
  for (int n : {4, 5, 6, 36, 12, 13, 11, 2, 1}) EXPECT_EQ(b.game.form.label(n).caption, "") << n;
}

TEST(ResultsBoard, EveryPlaceButFirstIsCounted) {
  for (int place = 2; place <= 10; ++place) {
    Board b;
    b.s().placeCount[place] = 4;
    b.playerIn(place);
    b.game.Timer5_Timer();
    EXPECT_EQ(b.s().finishPlace[10], place);
    EXPECT_EQ(b.s().placeCount[place], 5) << place;
    EXPECT_EQ(b.s().horseClass, 2) << place;
    EXPECT_EQ(b.s().horseSpeed, 60) << place;
    EXPECT_EQ(b.s().horseWhips, 10) << place;
  }
}

TEST(ResultsBoard, StayingOnTheBoardNeitherRedrawsNorBooksTwice) {
  Board b;
  b.playerIn(3);
  b.game.Timer5_Timer();
  const std::string third = b.row(3);
  b.playerIn(1);  // nothing that happens to the pictures now changes the board
  for (int i = 0; i < 50; ++i) {
    b.game.Timer5_Timer();
    b.game.Timer2_Timer();
  }
  EXPECT_EQ(b.s().placeCount[3], 1);
  EXPECT_EQ(b.s().horseClass, 2);
  EXPECT_EQ(b.row(3), third);
  EXPECT_EQ(b.s().resultsShown, 1);
  EXPECT_EQ(b.game.form.backColour, 0xFFEEFFu);
  EXPECT_EQ(b.game.form.label(28).caption, "■レース結果でした。Ａボタンを押して下さい");
}

TEST(ResultsBoard, OnlyAfterTheRace) {
  for (int screen : {screen::kStable, screen::kRaceCard, screen::kRace, screen::kPasture}) {
    Board b;
    b.s().screenState = screen;
    b.playerIn(1);
    b.game.Timer5_Timer();
    EXPECT_EQ(b.s().resultsShown, 0) << screen;
    EXPECT_EQ(b.s().horseClass, 2) << screen;
  }
}

TEST(ResultsBoard, AStaleFinishPlaceCannotSpoilTheOrder) {
  Board b;
  for (int k = 1; k <= 10; ++k) b.s().finishPlace[k] = 6;
  b.playerIn(1);
  b.game.Timer5_Timer();
  for (int p = 1; p <= 10; ++p) EXPECT_EQ(b.row(p).substr(0, num(p).size() + 3), num(p) + "着");
  EXPECT_EQ(b.s().finishPlace[10], 1);
}

// A win, with the top race of month `month` entered (0 for an ordinary race). The bonuses are
// lined up in the order they are drawn.
struct Win : Board {
  explicit Win(int month) {
    if (month >= 1) s().bigRaceEntered[month] = 1;
    s().horseWhips = 10;
    s().horseSpeed = 60;
    s().sendEnabled = 0;
    if (month == 9) random.pushPick(10, 10);   // 5 + 9
    if (month == 10) random.pushPick(15, 1);   // 10 + 0
    if (month == 11) random.pushPick(30, 30);  // 20 + 29
    random.pushPick(3, 2);                     // speed + 2
    random.pushPick(5, 5);                     // whips + 5
    playerIn(1);
    game.Timer5_Timer();
  }
};

TEST(WinBooking, EachKindOfRace) {
  struct Case {
    int month, whips, sendEnabled;
  } cases[] = {
      {0, 15, 0}, {1, 15, 1},  {4, 15, 1},  {8, 15, 1},
      {9, 29, 1}, {10, 25, 0}, {11, 64, 0}, {12, 15, 0},
  };
  for (const Case& c : cases) {
    Win w(c.month);
    const GameState& s = w.game.state;
    EXPECT_EQ(s.horseClass, 3) << c.month;
    EXPECT_EQ(s.horseSpeed, 62) << c.month;
    EXPECT_EQ(s.horseWhips, c.whips) << c.month;
    EXPECT_EQ(s.sendEnabled, c.sendEnabled) << c.month;
    for (int m = 1; m <= 12; ++m) {
      EXPECT_EQ(s.bigRaceWon[m], m == c.month ? 1 : 0) << c.month << " " << m;
      EXPECT_EQ(s.bigRaceTime[m], m == c.month ? 321 : 0) << c.month << " " << m;
    }
    for (int p = 2; p <= 10; ++p) EXPECT_EQ(s.placeCount[p], 0);
    EXPECT_EQ(w.random.pending(), 0u) << c.month;
  }
}

TEST(WinBooking, AnEarlierSendStaysWhenALateTopRaceIsWon) {
  Board b;
  b.s().sendEnabled = 1;
  b.s().bigRaceEntered[11] = 1;
  b.playerIn(1);
  b.game.Timer5_Timer();
  EXPECT_EQ(b.s().sendEnabled, 1);
  EXPECT_EQ(b.s().bigRaceWon[11], 1);
}

TEST(WinBooking, ATimeOfNoTicksShowsAsZero) {
  Board b;
  b.s().raceTicks = 0;
  b.playerIn(1);
  b.game.Timer5_Timer();
  EXPECT_EQ(b.row(1), "1着       10番               abc             あなた      タイム0秒");
}

}  // namespace
}  // namespace milka
