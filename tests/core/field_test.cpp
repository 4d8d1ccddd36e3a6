// Making the field's rows at race entry: the tier and class choose the table, the class and the
// top races of the last three months lift every rival, and the jockey's final lap depends on the
// course.
#include "race/field.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "career/flow.h"
#include "race/jockey_tables.h"
#include "race/rival_tables.h"
#include "scripted_random.h"

namespace milka {
namespace {

using testing::ScriptedGame;
using Row = std::array<int32_t, 8>;

// Code points of a UTF-8 text, and whether each is katakana (the long-vowel mark included).
std::u32string decode(const std::string& s) {
  std::u32string out;
  for (size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    char32_t cp = len == 1 ? c : c & (0xFF >> (len + 1));
    for (size_t j = 1; j < len; ++j) cp = (cp << 6) | (static_cast<unsigned char>(s[i + j]) & 0x3F);
    out += cp;
    i += len;
  }
  return out;
}

TEST(RivalNames, EveryTableHas34DistinctKatakanaNamesOf2To7Characters) {
  for (const race::RivalTable* table :
       {&race::kWeakRivals, &race::kMiddleRivals, &race::kStrongRivals}) {
    std::set<std::string> seen;
    for (const race::RivalEntry& e : *table) {
      const std::u32string name = decode(e.name);
      EXPECT_GE(name.size(), 2u) << e.name;
      EXPECT_LE(name.size(), 7u) << e.name;
      for (char32_t c : name) EXPECT_TRUE(c >= U'ァ' && c <= U'ー') << e.name;
      EXPECT_TRUE(seen.insert(e.name).second) << e.name;
    }
  }
}

TEST(JockeyNames, ThirtyFourDistinctNamesOf2To5Characters) {
  std::set<std::string> seen;
  for (const race::JockeyEntry& e : race::kJockeys) {
    const size_t n = decode(e.name).size();
    EXPECT_GE(n, 2u) << e.name;
    EXPECT_LE(n, 5u) << e.name;
    EXPECT_TRUE(seen.insert(e.name).second) << e.name;
  }
}

// A game with a field of rival `pick` in gate 1 and jockey `jockey`, at the given age and class.
struct Entry : ScriptedGame {
  Entry(int age, int horseClass, int pick, int jockey = 1, int venue = 1) {
    GameState& s = game.state;
    s.horseAge = age;
    s.horseClass = horseClass;
    s.venue = venue;
    s.rivalPick[1] = pick;
    s.jockeyPick[1] = jockey;
  }
  const Row& ability() const { return game.state.runnerAbility[1]; }
};

Row plus(const Row& a, const Row& b) {
  Row r{};
  for (size_t i = 0; i < 8; ++i) r[i] = a[i] + b[i];
  return r;
}

// Rows copied from the tables as the game was given them.
constexpr Row kWeak1 = {30, 40, 45, 30, 30, 25, 22, 20};
constexpr Row kWeak34 = {46, 73, 40, 46, 40, 42, 38, 36};
constexpr Row kMiddle14 = {139, 79, 52, 30, 33, 30, 33, 30};
constexpr Row kStrong6 = {230, 190, 40, 40, 30, 30, 38, 30};
constexpr Row kStrong34 = {146, 113, 80, 76, 70, 52, 48, 46};

TEST(RivalRow, TheTierLevelChoosesTheTable) {
  struct Case {
    int age, horseClass, tierDraw, pick;
    Row base;
  } cases[] = {
      // A 2-year-old draws the level per gate; the class still sets the adjustment (0 here).
      {2, 0, 1, 1, kWeak1},
      {2, 0, 6, 34, kWeak34},
      {2, 0, 7, 14, kMiddle14},
      {2, 0, 12, 14, kMiddle14},
      {2, 0, 13, 6, kStrong6},
      {2, 0, 17, 34, kStrong34},
      // Older horses: the class is the level.
      {3, 0, 0, 1, kWeak1},
      {4, 0, 0, 34, kWeak34},
  };
  for (const Case& c : cases) {
    Entry e(c.age, c.horseClass, c.pick);
    if (c.age == 2) e.random.pushPick(17, c.tierDraw);
    race::makeRivalRow(e.game, 1);
    EXPECT_EQ(e.ability(), c.base) << c.age << " " << c.tierDraw << " " << c.pick;
    EXPECT_EQ(e.random.pending(), 0u);
  }
}

TEST(RivalRow, OlderHorsesMeetTheTableOfTheirClassPlusItsAdjustment) {
  struct Case {
    int horseClass, pick;
    Row base, added;
  } cases[] = {
      {6, 1, kWeak1, {30, 30, 30, 30, 30, 30, 30, 30}},
      {7, 14, kMiddle14, {15, 15, 15, 25, 25, 25, 25, 25}},
      {12, 14, kMiddle14, {45, 45, 55, 55, 55, 55, 55, 55}},
      {13, 6, kStrong6, {50, 40, 85, 60, 50, 60, 60, 60}},
      {30, 34, kStrong34, {250, 220, 210, 175, 175, 159, 159, 159}},
  };
  for (const Case& c : cases) {
    Entry e(3, c.horseClass, c.pick);
    race::makeRivalRow(e.game, 1);
    EXPECT_EQ(e.ability(), plus(c.base, c.added)) << c.horseClass;
  }
}

TEST(RivalRow, AYoungFieldMixesTiersButTheAdjustmentFollowsTheClass) {
  Entry e(2, 8, 14);
  e.random.pushPick(17, 2);  // weak table despite class 8
  race::makeRivalRow(e.game, 1);
  EXPECT_EQ(e.ability(), plus({79, 39, 32, 40, 43, 40, 43, 40}, {20, 20, 20, 30, 30, 30, 30, 30}));
  EXPECT_EQ(e.game.state.runnerName[1], race::kWeakRivals[13].name);
}

TEST(ClassAdjustment, EveryStep) {
  struct Case {
    int horseClass;
    Row added;
  } cases[] = {
      {-3, {0, 0, 0, 0, 0, 0, 0, 0}},
      {0, {0, 0, 0, 0, 0, 0, 0, 0}},
      {1, {5, 5, 5, 5, 5, 5, 5, 5}},
      {2, {10, 10, 10, 10, 10, 10, 10, 10}},
      {3, {15, 15, 15, 15, 15, 15, 15, 15}},
      {4, {20, 20, 20, 20, 20, 20, 20, 20}},
      {5, {25, 25, 25, 25, 25, 25, 25, 25}},
      {6, {30, 30, 30, 30, 30, 30, 30, 30}},
      {7, {15, 15, 15, 25, 25, 25, 25, 25}},
      {8, {20, 20, 20, 30, 30, 30, 30, 30}},
      {9, {25, 25, 25, 35, 35, 35, 35, 35}},
      {10, {30, 30, 40, 40, 40, 40, 40, 40}},
      {11, {35, 35, 45, 45, 45, 45, 45, 45}},
      {12, {45, 45, 55, 55, 55, 55, 55, 55}},
      {13, {50, 40, 85, 60, 50, 60, 60, 60}},
      {14, {70, 100, 100, 100, 80, 80, 80, 80}},
      {15, {100, 100, 100, 100, 130, 100, 100, 100}},
      {16, {120, 120, 120, 150, 120, 120, 100, 100}},
      {17, {150, 150, 130, 130, 130, 130, 130, 130}},
      {18, {250, 220, 210, 175, 175, 159, 159, 159}},
      {19, {250, 220, 210, 175, 175, 159, 159, 159}},
      {1000000, {250, 220, 210, 175, 175, 159, 159, 159}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(race::classAdjustment(c.horseClass), c.added) << c.horseClass;
}

TEST(BigRaceBonus, TheTopRacesOfMonths10To12RaiseTheFieldOnTopOfTheClass) {
  struct Case {
    std::array<int, 3> entered;  // months 10, 11, 12
    Row added;
  } cases[] = {
      {{0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0}},
      {{1, 0, 0}, {20, 20, 20, 20, 20, 20, 20, 20}},
      {{0, 1, 0}, {30, 30, 30, 40, 40, 40, 40, 40}},
      {{0, 0, 1}, {50, 50, 50, 50, 50, 50, 50, 50}},
      {{1, 1, 1}, {100, 100, 100, 110, 110, 110, 110, 110}},
  };
  for (const Case& c : cases) {
    Entry e(3, 14, 6);
    for (int m = 1; m <= 9; ++m) e.game.state.bigRaceEntered[m] = 1;  // no bonus of their own
    for (int i = 0; i < 3; ++i)
      e.game.state.bigRaceEntered[10 + i] = c.entered[static_cast<size_t>(i)];
    race::makeRivalRow(e.game, 1);
    EXPECT_EQ(e.ability(), plus(plus(kStrong6, race::classAdjustment(14)), c.added))
        << c.entered[0] << c.entered[1] << c.entered[2];
  }
}

TEST(JockeyRow, TheFinalLapDependsOnTheCourseAndTheRestIsFixed) {
  struct Case {
    int jockey, venue;
    Row riding;
  } cases[] = {
      {1, 1, {50, 38, 34, 33, 36, 34, 35, 34}},  {1, 2, {30, 38, 34, 33, 36, 34, 35, 34}},
      {2, 3, {60, 39, 37, 25, 20, 20, 20, 20}},  {16, 4, {50, 21, 20, 19, 18, 17, 16, 15}},
      {34, 2, {53, 24, 25, 24, 14, 13, 16, 15}}, {34, 4, {19, 24, 25, 24, 14, 13, 16, 15}},
  };
  for (const Case& c : cases) {
    Entry e(3, 0, 1, c.jockey, c.venue);
    race::makeRivalRow(e.game, 1);
    EXPECT_EQ(e.game.state.jockeyAbility[1], c.riding) << c.jockey << " " << c.venue;
    EXPECT_EQ(e.game.state.jockeyName[1], race::kJockeys[static_cast<size_t>(c.jockey - 1)].name);
  }
}

TEST(RivalRow, PicksAndGatesOutsideTheTablesNeverReadPastThem) {
  Entry e(3, 0, 0, 99, 7);
  race::makeRivalRow(e.game, 1);
  EXPECT_EQ(e.ability(), kWeak1);  // held to the first entry
  EXPECT_EQ(e.game.state.jockeyName[1], race::kJockeys[33].name);
  EXPECT_EQ(e.game.state.jockeyAbility[1][0], 22);  // an unknown course rides as at 大井
  race::makeRivalRow(e.game, 0);
  race::makeRivalRow(e.game, 10);
  EXPECT_TRUE(e.game.state.runnerName[9].empty());
}

TEST(DrawField, FillsAllNineGatesInOrder) {
  ScriptedGame g;
  GameState& s = g.game.state;
  s.horseAge = 3;
  s.horseClass = 7;
  s.venue = 2;
  for (int k = 1; k <= 9; ++k) g.random.pushPick(34, 10 + k);
  for (int k = 1; k <= 9; ++k) g.random.pushPick(34, 35 - k);
  career::drawField(g.game);
  for (int k = 1; k <= 9; ++k) {
    EXPECT_EQ(s.runnerName[k], race::kMiddleRivals[static_cast<size_t>(9 + k)].name) << k;
    EXPECT_EQ(s.runnerAbility[k][0],
              race::kMiddleRivals[static_cast<size_t>(9 + k)].ability[0] + 15);
    EXPECT_EQ(s.jockeyName[k], race::kJockeys[static_cast<size_t>(34 - k)].name) << k;
    EXPECT_EQ(s.jockeyAbility[k][0], race::kJockeys[static_cast<size_t>(34 - k)].finalLap[1]);
  }
}

}  // namespace
}  // namespace milka
