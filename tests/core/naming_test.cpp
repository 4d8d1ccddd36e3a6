// Naming the foal: keys grow the name, B erases it, A takes 2 to 12 symbols.
#include "career/naming.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scripted_random.h"

namespace milka {
namespace {

using testing::ScriptedGame;

constexpr int16_t kShift = 1;

// A game at the naming step, the parents chosen.
struct AtNaming : ScriptedGame {
  AtNaming() {
    pressA();  // title -> breeding
    pressA();  // sire
    pressA();  // dam
  }
  void type(const std::string& letters) {
    for (char c : letters) game.Text1_KeyDown(static_cast<int16_t>(c - 'a' + 65), 0);
  }
  const std::string& shown() const { return game.form.label(27).caption; }
};

TEST(Naming, TheNameLengthDecidesWhatAGets) {
  struct Case {
    int letters;
    int phaseAfter;
    const char* shownAfter;  // nullptr: the typed letters stay as they were
  };
  for (const Case& c : std::vector<Case>{{0, 3, nullptr},
                                         {1, 3, nullptr},
                                         {2, 4, nullptr},
                                         {7, 4, nullptr},
                                         {12, 4, nullptr},
                                         {13, 3, "Ｂボタンを押して下さい"},
                                         {20, 3, "Ｂボタンを押して下さい"}}) {
    AtNaming g;
    const std::string name = std::string("abcdefghijklmnopqrstuvwxyz").substr(0, c.letters);
    g.type(name);
    EXPECT_EQ(g.shown(), name);
    EXPECT_EQ(g.game.state.nameLength, c.letters);
    g.pressA();
    EXPECT_EQ(g.game.state.setupPhase, c.phaseAfter) << c.letters;
    EXPECT_EQ(g.game.state.buttonTicks, 0) << c.letters;
    if (c.shownAfter != nullptr) {
      EXPECT_EQ(g.shown(), c.shownAfter) << c.letters;
    }
    if (c.phaseAfter == 4) {
      EXPECT_EQ(g.game.state.horseName, name);
      EXPECT_EQ(g.game.form.label(29).caption, "この馬の名前は  " + name + "  です");
    } else {
      EXPECT_EQ(g.game.state.horseName, "") << c.letters;
      EXPECT_EQ(g.game.state.nameLength, c.letters) << c.letters;
    }
  }
}

TEST(Naming, AfterTheTooLongMessageOnlyBRecovers) {
  AtNaming g;
  g.type("abcdefghijklm");
  g.pressA();
  ASSERT_EQ(g.shown(), "Ｂボタンを押して下さい");
  // More keys land after the message and keep counting; A still refuses.
  g.type("ab");
  EXPECT_EQ(g.shown(), "Ｂボタンを押して下さいab");
  EXPECT_EQ(g.game.state.nameLength, 15);
  g.pressA();
  EXPECT_EQ(g.shown(), "Ｂボタンを押して下さい");
  EXPECT_EQ(g.game.state.setupPhase, 3);
  g.pressB();
  EXPECT_EQ(g.shown(), "");
  EXPECT_EQ(g.game.state.nameLength, 0);
  g.type("ok");
  g.pressA();
  EXPECT_EQ(g.game.state.setupPhase, 4);
  EXPECT_EQ(g.game.state.horseName, "ok");
}

TEST(Naming, BErasesTheNameWhateverThePacingSays) {
  for (int ticks : {0, 1, 2, 9}) {
    AtNaming g;
    g.type("abc");
    g.game.state.buttonTicks = ticks;
    g.game.Command4_Click();
    EXPECT_EQ(g.shown(), "") << ticks;
    EXPECT_EQ(g.game.state.nameLength, 0) << ticks;
    EXPECT_EQ(g.game.state.setupPhase, 3) << ticks;
  }
}

TEST(Naming, LettersAreLowerCaseWithOrWithoutShiftAndArrowsAreSymbols) {
  AtNaming g;
  g.game.Text1_KeyDown(65, 0);       // A
  g.game.Text1_KeyDown(66, kShift);  // Shift+B
  g.game.Text1_KeyDown(16, kShift);  // the Shift key itself
  g.game.Text1_KeyDown(67, 0);       // C
  EXPECT_EQ(g.shown(), "abc");
  EXPECT_EQ(g.game.state.nameLength, 3);
  for (int key : {37, 38, 39, 40}) g.game.Text1_KeyDown(static_cast<int16_t>(key), 0);
  for (int ignored : {13, 32, 48, 57, 27, 112, 186})
    g.game.Text1_KeyDown(static_cast<int16_t>(ignored), 0);
  EXPECT_EQ(g.shown(), "abc←↑→↓");
  EXPECT_EQ(g.game.state.nameLength, 7);
  g.pressA();
  EXPECT_EQ(g.game.state.horseName, "abc←↑→↓");
}

TEST(Naming, OnlyKeySymbolsAndOnlyWhileNaming) {
  AtNaming g;
  for (const char* notASymbol : {"", "A", "1", " ", "ab", "あ"})
    career::appendNameSymbol(g.game, notASymbol);
  EXPECT_EQ(g.shown(), "");
  EXPECT_EQ(g.game.state.nameLength, 0);
  career::appendNameSymbol(g.game, "z");
  EXPECT_EQ(g.shown(), "z");

  for (int phase : {0, 1, 2, 4, 5}) {
    ScriptedGame other;
    other.game.state.setupPhase = phase;
    other.game.form.label(27).caption = "x";
    career::appendNameSymbol(other.game, "a");
    EXPECT_EQ(other.game.form.label(27).caption, "x") << phase;
    EXPECT_EQ(other.game.state.nameLength, 0) << phase;
  }
}

}  // namespace
}  // namespace milka
