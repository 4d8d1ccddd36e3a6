// The race programme: the month's race by age, month and class step, the top-race chain,
// retirement, and the stable's class word.
#include "career/programme.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "scripted_random.h"

namespace milka {
namespace {

using testing::ScriptedGame;

struct Looked {
  std::string name;
  int laps;
  int screenState;
  int enteredFlags;  // how many months are flagged as a top-race entry
  bool thisMonthEntered;
};

Looked lookUp(int age, int month, int step, std::vector<int> wonMonths = {}) {
  ScriptedGame g;
  GameState& s = g.game.state;
  s.screenState = screen::kStable;
  s.horseAge = age;
  s.month = month;
  s.horseClass = step;
  for (int m : wonMonths) s.bigRaceWon[m] = 1;
  career::lookUpRace(g.game);
  int flags = 0;
  for (int m = 1; m <= 12; ++m) flags += s.bigRaceEntered[m];
  const bool entered = month >= 1 && month <= 12 && s.bigRaceEntered[month] == 1;
  return {s.raceName, s.lapsToGo, s.screenState, flags, entered};
}

TEST(Programme, TheListedCases) {
  struct Case {
    int age, month, step;
    std::vector<int> won;
    const char* name;
    int laps;
    bool topRace;
  };
  const std::vector<Case> cases = {
      {3, 1, 0, {}, "特選", 3, false},
      {3, 1, 9, {}, "Ａ１", 2, false},
      {3, 1, 12, {}, "金盃銀盃王", 3, false},
      {3, 1, 15, {}, "ミルカリア記念", 4, true},
      {4, 10, 20, {}, "ミルカリアプログラム賞", 6, false},
      {2, 12, 0, {}, "2歳チャンピオン", 3, false},
      {2, 12, 7, {}, "2歳チャンピオン", 3, false},
      {2, 12, 30, {}, "2歳チャンピオン", 3, false},
  };
  for (const Case& c : cases) {
    const Looked r = lookUp(c.age, c.month, c.step, c.won);
    EXPECT_EQ(r.name, c.name) << c.age << "/" << c.month << "/" << c.step;
    EXPECT_EQ(r.laps, c.laps) << c.age << "/" << c.month << "/" << c.step;
    EXPECT_EQ(r.thisMonthEntered, c.topRace) << c.age << "/" << c.month << "/" << c.step;
    EXPECT_EQ(r.enteredFlags, c.topRace ? 1 : 0);
    EXPECT_EQ(r.screenState, screen::kStable);
  }
}

TEST(Programme, TwoYearOldsRunTheJuvenileRacesWhateverTheirStep) {
  const std::vector<std::pair<const char*, int>> expected = {
      {"2歳特選", 1}, {"2歳特選", 1}, {"2歳特選", 2},
      {"2歳特選", 2}, {"2歳特選", 3}, {"2歳チャンピオン", 3}};
  for (int month = 7; month <= 12; ++month)
    for (int step : {0, 1, 9, 10, 14, 40}) {
      const Looked r = lookUp(2, month, step);
      EXPECT_EQ(r.name, expected[static_cast<size_t>(month - 7)].first) << month << "/" << step;
      EXPECT_EQ(r.laps, expected[static_cast<size_t>(month - 7)].second) << month << "/" << step;
      EXPECT_EQ(r.enteredFlags, 0);
      EXPECT_EQ(r.screenState, screen::kStable);
    }
}

// The class races of ages 3 and 4, the whole table, row by row ("R" is retirement).
TEST(Programme, ClassRacesFollowTheTableAtThreeAndFour) {
  const std::vector<std::string> rows = {
      " 3  1  2  2  4  7  3  1  1  2",  // 1
      " 5  3  2  2  4  4  5  3  1  4",  // 2
      " 6  3  4  3  2  5  7  1  1  2",  // 3
      " 4  4  5  3  4  4  4  1  1  7",  // 4
      " 7  5  6  2  5  3  7  1  1  3",  // 5
      " 2  6  7  2  1  2  4  1  1  4",  // 6
      " R  1  1  2  4  3  1  1  1  1",  // 7
      " R  2  2  3  4  2  3  2  1  1",  // 8
      " R  3  3  5  5  4  4  6  1  1",  // 9
      " R  2  4  6  2  1  2  2  1  1",  // 10
      " R  2  5  7  6  5  2  4  1  1",  // 11
      " R  4  6  1  1  1  1  1  1  1",  // 12
  };
  const std::vector<std::string> names = {"特選", "Ｃ３", "Ｃ２", "Ｃ１", "Ｂ３",
                                          "Ｂ２", "Ｂ１", "Ａ３", "Ａ２", "Ａ１"};
  for (int age : {3, 4})
    for (int month = 1; month <= 12; ++month) {
      std::istringstream row(rows[static_cast<size_t>(month - 1)]);
      for (int step = 0; step <= 9; ++step) {
        std::string cell;
        row >> cell;
        const Looked r = lookUp(age, month, step);
        const std::string where =
            std::to_string(age) + "/" + std::to_string(month) + "/" + std::to_string(step);
        if (cell == "R") {
          EXPECT_EQ(r.name, "特選") << where;
          EXPECT_EQ(r.laps, 2) << where;
          EXPECT_EQ(r.screenState, screen::kCareerOver) << where;
        } else {
          EXPECT_EQ(r.name, names[static_cast<size_t>(step)]) << where;
          EXPECT_EQ(r.laps, std::stoi(cell)) << where;
          EXPECT_EQ(r.screenState, screen::kStable) << where;
        }
        EXPECT_EQ(r.enteredFlags, 0) << where;
      }
    }
}

TEST(Programme, GradedAndTopRacesByMonth) {
  struct Row {
    const char* graded;
    int gradedLaps;
    const char* top;
    int topLaps;
  };
  const std::vector<Row> rows = {
      {"金盃銀盃王", 3, "ミルカリア記念", 4},
      {"かしわ船橋記念", 4, "ミルカグランプリ", 3},
      {"マリンカップ", 5, "ダイオライト賞", 7},
      {"赤潮賞", 4, "羽田盃", 5},
      {"ミルカシティ賞", 2, "ミルカリアダービー", 6},
      {"ミルカテレビ盃", 3, "ミルカダービー", 6},
      {"ミルカ源三郎記念", 1, "帝王盃", 7},
      {"ミルカ新聞盃", 3, "北海南海ダービー", 4},
      {"オールスターカップ", 2, "川崎記念", 4},
      {"ミルカリアプログラム賞", 6, "ＪＢＣ(交流)", 5},
      {"ミルカ王冠賞", 7, "日本カップ(交流)", 6},
      {"カルデン盃", 2, "ミルカ大賞典(交流)", 7},
  };
  for (int age : {3, 4})
    for (int month = 1; month <= 12; ++month) {
      const Row& row = rows[static_cast<size_t>(month - 1)];
      for (int step : {10, 11, 12, 13}) {
        const Looked r = lookUp(age, month, step);
        EXPECT_EQ(r.name, row.graded) << month << "/" << step;
        EXPECT_EQ(r.laps, row.gradedLaps) << month << "/" << step;
        EXPECT_EQ(r.enteredFlags, 0);
      }
      for (int step : {14, 15, 99}) {
        // The chain months need the month before's top race won.
        const Looked r = lookUp(age, month, step, {month - 1});
        EXPECT_EQ(r.name, row.top) << month << "/" << step;
        EXPECT_EQ(r.laps, row.topLaps) << month << "/" << step;
        EXPECT_TRUE(r.thisMonthEntered) << month << "/" << step;
        EXPECT_EQ(r.enteredFlags, 1);
        EXPECT_EQ(r.screenState, screen::kStable);
      }
    }
}

TEST(Programme, TheLastThreeTopRacesAreAChain) {
  struct Case {
    int month;
    std::vector<int> won;
    const char* name;
    bool topRace;
  };
  for (const Case& c : std::vector<Case>{
           {10, {}, "ミルカリアプログラム賞", false},
           {10, {9}, "ＪＢＣ(交流)", true},
           {10, {1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12}, "ミルカリアプログラム賞", false},
           {11, {9}, "ミルカ王冠賞", false},
           {11, {10}, "日本カップ(交流)", true},
           {12, {9, 10}, "カルデン盃", false},
           {12, {11}, "ミルカ大賞典(交流)", true},
           {9, {}, "川崎記念", true},  // the chain starts here, open to any step-14 horse
       }) {
    const Looked r = lookUp(4, c.month, 14, c.won);
    EXPECT_EQ(r.name, c.name) << c.month;
    EXPECT_EQ(r.thisMonthEntered, c.topRace) << c.month;
  }
}

TEST(Programme, RetirementComesFromTheSummerOfTheThirdAndFourthYears) {
  for (int age : {3, 4}) {
    EXPECT_EQ(lookUp(age, 6, 0).screenState, screen::kStable) << age;
    for (int month = 7; month <= 12; ++month) {
      const Looked r = lookUp(age, month, 0);
      EXPECT_EQ(r.screenState, screen::kCareerOver) << age << "/" << month;
      EXPECT_EQ(r.name, "特選");
      EXPECT_EQ(r.laps, 2);
      EXPECT_EQ(lookUp(age, month, 1).screenState, screen::kStable)
          << "one win keeps the horse racing";
    }
  }
}

TEST(Programme, FromFiveThereIsNoRace) {
  for (int age : {5, 6, 40}) {
    ScriptedGame g;
    GameState& s = g.game.state;
    s.screenState = screen::kStable;
    s.horseAge = age;
    s.month = 3;
    s.horseClass = 15;
    s.raceName = "前の月";
    s.lapsToGo = 4;
    career::lookUpRace(g.game);
    EXPECT_EQ(s.screenState, screen::kCareerOver) << age;
    EXPECT_EQ(s.raceName, "前の月") << age;
    EXPECT_EQ(s.lapsToGo, 4) << age;
    EXPECT_EQ(s.bigRaceEntered[3], 0) << age;
  }
}

TEST(Programme, ValuesOutsideTheirRangesNeverLeaveTheTables) {
  // Impossible in play; each still gives a real race and never reads past a table.
  struct Case {
    int age, month, step;
    const char* name;
    int laps;
  };
  for (const Case& c : std::vector<Case>{{2, 3, 0, "2歳特選", 1},  // before the juvenile season
                                         {2, 0, 0, "2歳特選", 1},
                                         {1, 9, 0, "2歳特選", 2},  // younger than two
                                         {-3, 12, 0, "2歳チャンピオン", 3},
                                         {3, 0, 1, "Ｃ３", 1},  // month below 1: month 1
                                         {3, -7, 12, "金盃銀盃王", 3},
                                         {3, 13, 2, "Ｃ２", 6},  // month above 12: month 12
                                         {4, 99, 12, "カルデン盃", 2},
                                         {3, 5, -2, "特選", 7},  // a negative step is step 0
                                         {3, 4, 1000, "羽田盃", 5}}) {
    const Looked r = lookUp(c.age, c.month, c.step);
    EXPECT_EQ(r.name, c.name) << c.age << "/" << c.month << "/" << c.step;
    EXPECT_EQ(r.laps, c.laps) << c.age << "/" << c.month << "/" << c.step;
  }
}

TEST(ClassWord, EveryStepAtThreeAndFour) {
  const std::vector<const char*> words = {"特選", "C3", "C2", "C1", "B3", "B2", "B1", "A3",
                                          "A2",   "A1", "S3", "S3", "S2", "S2", "S1"};
  for (int age : {3, 4, 5}) {
    for (int step = 0; step <= 14; ++step)
      EXPECT_EQ(career::classWord(step, age), words[static_cast<size_t>(step)]) << step;
    for (int step : {15, 20, 1000}) EXPECT_EQ(career::classWord(step, age), "S1") << step;
    EXPECT_EQ(career::classWord(-1, age), "特選");
  }
}

TEST(ClassWord, TwoYearOldsAreAlwaysSpecial) {
  for (int step : {0, 1, 5, 9, 10, 13, 14, 30})
    EXPECT_EQ(career::classWord(step, 2), "特選") << step;
}

}  // namespace
}  // namespace milka
