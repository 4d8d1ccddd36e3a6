// Start-up and the random source.
#include <gtest/gtest.h>

#include <set>

#include "scripted_random.h"
#include "shell/random.h"
#include "shell/text.h"

namespace milka {
namespace {

using testing::ScriptedGame;
using testing::ScriptedRandom;

TEST(FormLoad, PutsTheRecordAndTheWindowInTheirOpeningState) {
  ScriptedRandom random;
  Game game(random);
  game.form.text2.text = "left over";
  for (int k = 1; k <= 10; ++k) game.state.finishPlace[k] = 7;
  game.state.bigRaceWon[6] = 1;
  game.state.placeCount[4] = 3;
  random.pushPick(30, 18);
  game.Form_Load();

  const GameState& s = game.state;
  EXPECT_EQ(s.screenState, screen::kTitle);
  EXPECT_EQ(s.setupPhase, 1);
  EXPECT_EQ(s.cursorRow, 1);
  EXPECT_EQ(s.tablePage, 1);
  EXPECT_EQ(s.horseAge, 2);
  EXPECT_EQ(s.month, 7);
  EXPECT_EQ(s.finishPostX, 9600);
  EXPECT_EQ(s.bigRaceWon[6], 0);
  EXPECT_EQ(s.placeCount[4], 0);
  for (int k = 1; k <= 10; ++k) EXPECT_EQ(s.finishPlace[k], 1);
  EXPECT_EQ(game.form.text2.text, "");
  EXPECT_EQ(game.form.text2.top, -9500);
  for (int n : {4, 5, 6, 36, 12, 13, 11, 2, 1}) EXPECT_EQ(game.form.label(n).caption, "") << n;
  for (int n = 17; n <= 26; ++n) EXPECT_EQ(game.form.label(n).fontSize, 12.0f);
  for (int n = 1; n <= 22; ++n) EXPECT_EQ(game.form.image(n).top, -4060) << n;
  EXPECT_EQ(game.form.label(8).caption, repeat("┳", 484));
  // 17 is "n" and 18 is "m": the table is not alphabetical there.
  EXPECT_EQ(s.keySymbolIndex, 18);
  EXPECT_EQ(s.targetKey, "m");
  EXPECT_EQ(random.reseeds, 1);
}

TEST(KeySymbols, FollowTheGamesOwnOrder) {
  const char* expected[31] = {"u", "←", "↑", "→", "↓", "a", "b", "c", "d", "e", "f",
                              "g", "h", "i", "j", "k", "l", "n", "m", "o", "p", "q",
                              "s", "z", "w", "x", "r", "v", "y", "t", "u"};
  for (int i = 1; i <= 30; ++i) EXPECT_EQ(keySymbol(i), expected[i]) << i;
  EXPECT_EQ(keySymbol(0), "u");
  EXPECT_EQ(keySymbol(31), "u");
  EXPECT_EQ(keySymbol(-5), "u");
}

TEST(KeySymbols, KeyCodesMapToArrowsAndLowerCaseLetters) {
  struct Case {
    int code;
    const char* symbol;
  } cases[] = {{37, "←"}, {38, "↑"}, {39, "→"}, {40, "↓"}, {65, "a"}, {77, "m"}, {90, "z"},
               {36, ""},  {41, ""},  {64, ""},  {91, ""},  {16, ""},  {13, ""}};
  for (const Case& c : cases) EXPECT_EQ(symbolOfKey(c.code), c.symbol) << c.code;
}

TEST(FirstKeySymbol, CanBeAnyOfTheThirty) {
  std::set<std::string> seen;
  for (int i = 1; i <= 30; ++i) {
    ScriptedRandom random;
    Game game(random);
    random.pushPick(30, i);
    game.Form_Load();
    seen.insert(game.state.targetKey);
  }
  EXPECT_EQ(seen.size(), 30u);
}

class FrozenClock final : public Clock {
 public:
  uint64_t now() override { return 123456789; }
};

TEST(ClockRandom, StaysInTheUnitInterval) {
  FrozenClock clock;
  ClockRandom random(clock);
  for (int i = 0; i < 100000; ++i) {
    double r = random.Rnd();
    ASSERT_GE(r, 0.0);
    ASSERT_LT(r, 1.0);
  }
}

// The field draw re-seeds before every pick; a generator that went back to the same point on
// each re-seed inside one clock instant would never find nine different rivals.
TEST(ClockRandom, ReseedingAtOneFrozenInstantStillGivesEveryValue) {
  FrozenClock clock;
  ClockRandom random(clock);
  Rng rng(random);
  std::set<int32_t> seen;
  int32_t previous = 0;
  int repeats = 0;
  for (int i = 0; i < 2000; ++i) {
    int32_t v = rng.reseedPick(34);
    ASSERT_GE(v, 1);
    ASSERT_LE(v, 34);
    if (v == previous) ++repeats;
    previous = v;
    seen.insert(v);
  }
  EXPECT_EQ(seen.size(), 34u);
  EXPECT_LT(repeats, 200);  // about 2000 / 34 expected
}

TEST(ClockRandom, TwoGeneratorsOnDifferentClocksDiffer) {
  class Ticking final : public Clock {
   public:
    explicit Ticking(uint64_t start) : t(start) {}
    uint64_t now() override { return t += 1000; }
    uint64_t t;
  };
  Ticking a(1), b(99999);
  ClockRandom ra(a), rb(b);
  int same = 0;
  for (int i = 0; i < 100; ++i) {
    ra.Randomize();
    rb.Randomize();
    if (ra.Rnd() == rb.Rnd()) ++same;
  }
  EXPECT_LT(same, 5);
}

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
  struct Case {
    double x;
    int32_t rounded;
  } cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2}, {2.51, 3}, {0.49, 0}};
  for (const Case& c : cases) EXPECT_EQ(roundHalfEven(c.x), c.rounded) << c.x;
}

}  // namespace
}  // namespace milka
