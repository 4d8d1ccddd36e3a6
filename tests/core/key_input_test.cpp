// Typing in the text box: the key codes the game knows, the whip prompt and its one whip per
// tick, and the symbols a horse with few keyboard characters is asked for.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "race/running.h"
#include "scripted_random.h"

namespace milka {
namespace {

using testing::ScriptedGame;

// A race running on a lap before the last, the prompt showing `target`.
struct Whipping : ScriptedGame {
  explicit Whipping(const std::string& target = "a", int whips = 5) {
    GameState& s = game.state;
    s.screenState = screen::kRaceCard;
    s.horseSpeed = 60;
    s.horseWhips = whips;
    s.horseKeys = 8;
    s.bodyWeight = 440;  // off its best weight: no extra draw
    s.bestWeight = 450;
    s.venue = 2;
    s.finishPostX = 8000;
    s.trackSurface = 1;
    s.lapsToGo = 3;
    pressA();
    s.startCountdown = -1;
    s.targetKey = target;
    game.form.label(12).caption = target;
  }
  GameState& s() { return game.state; }
  void key(int code, int shift = 0) {
    game.Text1_KeyDown(static_cast<int16_t>(code), static_cast<int16_t>(shift));
  }
  float playerLeft() const { return game.form.image(race::pictureA(game.state, 10)).left; }
};

TEST(KeyCodes, ArrowsAndLettersShowInTheRaceAndOtherKeysAreIgnored) {
  struct Case {
    int code;
    const char* symbol;
  } cases[] = {{37, "←"}, {38, "↑"}, {39, "→"}, {40, "↓"}, {65, "a"}, {77, "m"},
               {78, "n"}, {90, "z"}, {36, ""},  {41, ""},  {64, ""},  {91, ""},
               {97, ""},  {13, ""},  {48, ""},  {-1, ""}};
  for (const Case& c : cases) {
    Whipping w;
    w.game.form.label(11).caption = "before";
    w.key(c.code);
    EXPECT_EQ(w.game.form.label(11).caption, *c.symbol ? c.symbol : "before") << c.code;
  }
}

TEST(KeyInput, TheRightSymbolReadiesAWhipAndAWrongOneOnlyShows) {
  Whipping w("↓");
  w.key(38);
  EXPECT_EQ(w.s().keyPromptState, 0);
  EXPECT_EQ(w.game.form.label(11).caption, "↑");
  w.key(40);
  EXPECT_EQ(w.s().keyPromptState, 1);
}

TEST(KeyInput, ShiftStillGivesTheLowerCaseLetter) {
  Whipping w("a");
  w.key(65, 1);
  EXPECT_EQ(w.game.form.label(11).caption, "a");
  EXPECT_EQ(w.s().keyPromptState, 1);
}

TEST(KeyInput, TwoCorrectKeysBeforeATickGiveOneWhip) {
  Whipping w("a", 5);
  w.key(65);
  w.key(65);
  for (int i = 0; i < 19; ++i) w.random.push(0);  // the strengths
  w.random.pushPick(8, 6);                        // the next symbol: "b"
  w.ticks(1);
  EXPECT_EQ(w.s().horseWhips, 4);
  EXPECT_EQ(w.s().keyPromptState, 2);
  EXPECT_EQ(w.s().targetKey, "b");
  w.ticks(1);  // no key since: a plain step
  EXPECT_EQ(w.s().horseWhips, 4);
  EXPECT_EQ(w.game.form.label(12).caption, "b");  // the screen catches up on the next tick
}

TEST(KeyInput, WithNoWhipsLeftTheSymbolStaysAndTheStepIsPlain) {
  Whipping w("a", 0);
  w.key(65);
  float before = w.playerLeft();
  for (int tick = 0; tick < 20; ++tick) {
    w.ticks(1);
    EXPECT_EQ(w.playerLeft() - before, 50 + 1 - 5) << tick;  // every draw gives 1
    before = w.playerLeft();
    w.key(65);
  }
  EXPECT_EQ(w.s().keyPromptState, 1);
  EXPECT_EQ(w.s().targetKey, "a");
  EXPECT_EQ(w.s().horseWhips, 0);
}

TEST(KeyInput, OnlyTheRaceScreenTakesTheWhipKey) {
  for (int screen : {screen::kStable, screen::kRaceCard, screen::kResults, screen::kPasture}) {
    Whipping w("a");
    w.s().screenState = screen;
    w.game.form.label(11).caption = "x";
    w.key(65);
    EXPECT_EQ(w.s().keyPromptState, 0) << screen;
    EXPECT_EQ(w.game.form.label(11).caption, "x") << screen;
  }
}

TEST(KeyInput, NamingTakesTheSymbolIntoTheName) {
  ScriptedGame g;
  g.game.state.screenState = screen::kBreeding;
  g.game.state.setupPhase = 3;
  g.game.form.label(27).caption.clear();
  for (int code : {65, 37, 66}) g.game.Text1_KeyDown(static_cast<int16_t>(code), 0);
  g.game.Text1_KeyDown(13, 0);
  EXPECT_EQ(g.game.form.label(27).caption, "a←b");
  EXPECT_EQ(g.game.state.nameLength, 3);
  EXPECT_EQ(g.game.state.keyPromptState, 0);
}

TEST(KeyPrompt, ASymbolTypedInTheCountdownWhipsOnTheFirstRunningTick) {
  Whipping w("a", 5);
  w.s().startCountdown = 3;
  w.s().countdownStep = 0;
  for (int i = 0; i < 15; ++i) w.ticks(1);
  w.key(65);
  EXPECT_EQ(w.s().keyPromptState, 1);
  w.ticks(1);  // tick 16: the countdown runs out and the field moves
  EXPECT_EQ(w.s().raceTicks, 1);
  EXPECT_EQ(w.s().horseWhips, 4);
}

TEST(KeyPrompt, ASatisfiedPromptIsKeptIntoTheNextRace) {
  Whipping w("a", 0);
  w.key(65);
  w.ticks(3);
  // The next race: the career does not touch the prompt.
  w.s().screenState = screen::kRaceCard;
  w.s().horseWhips = 2;
  w.pressA();
  EXPECT_EQ(w.s().keyPromptState, 1);
  w.s().startCountdown = -1;
  w.ticks(1);
  EXPECT_EQ(w.s().horseWhips, 1);
}

TEST(KeyPrompt, TheNextSymbolComesFromTheFirstHorseKeysEntries) {
  struct Case {
    int horseKeys;
    double draw;
    const char* symbol;
  } cases[] = {
      {4, 0.0, "←"},    {4, 0.3, "↑"},        {4, 0.6, "→"},        {4, 0.999, "↓"},
      {30, 0.999, "u"}, {30, 16.5 / 30, "n"}, {30, 17.5 / 30, "m"}, {0, 0.7, "←"},
      {31, 0.999, "u"}, {1000, 0.5, "u"},     {-5, 0.5, "u"},
  };
  for (const Case& c : cases) {
    Whipping w("a", 5);
    w.s().horseKeys = c.horseKeys;
    w.key(65);
    for (int i = 0; i < 19; ++i) w.random.push(0);
    w.random.push(c.draw);
    w.ticks(1);
    EXPECT_EQ(w.s().targetKey, c.symbol) << c.horseKeys << " " << c.draw;
  }
}

TEST(KeyPrompt, AHorseWithFourKeysIsOnlyEverAskedForArrows) {
  Whipping w("a", 400);
  w.s().horseKeys = 4;
  w.s().lapsToGo = 7;  // long enough to be still running after 200 ticks
  std::set<std::string> asked;
  for (int tick = 0; tick < 200; ++tick) {
    w.random.fallback = (tick % 40) / 40.0;
    w.game.Text1_KeyDown(65, 0);
    for (int code = 37; code <= 40; ++code) w.key(code);
    w.ticks(1);
    asked.insert(w.s().targetKey);
  }
  EXPECT_EQ(asked, (std::set<std::string>{"←", "↑", "→", "↓"}));
}

}  // namespace
}  // namespace milka
