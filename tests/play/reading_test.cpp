// A screen reader hears the screen line by line as a sighted player reads it, and is told the
// commentary and the board as they change.
#include "play/reading.h"

#include <gtest/gtest.h>

#include "scripted_random.h"
#include "shell/screens.h"

namespace milka::play {
namespace {

void put(Game& g, int n, const char* caption, float left, float top, float width, float height) {
  Label& l = g.form.label(n);
  l.caption = caption;
  l.left = left;
  l.top = top;
  l.width = width;
  l.height = height;
}

TEST(Reading, LinesInReadingOrderAndTheCommentaryOrTheBoardSpoken) {
  testing::ScriptedRandom random;
  Game g(random);
  for (int n = 1; n <= kLabelCount; n++) g.form.label(n).caption.clear();
  // The race's heading: figures a few twips off the words they belong to still share their line.
  put(g, 6, "タイム⇒", 4920, 255, 855, 360);
  put(g, 2, "12.4", 6120, 240, 855, 375);
  put(g, 4, "あと", 4660, 520, 855, 375);
  put(g, 1, "3", 5260, 520, 735, 375);
  put(g, 5, "周", 5500, 520, 495, 255);
  put(g, 8, "┳┳┳┳", 0, 5400, 245745, 255);             // the rail: nothing to read
  put(g, 17, "1着   5番", kRowsHiddenLeft, 960, kRowWidth, 300);  // aside, out of the window
  put(g, 28, "　　", 3240, 5880, 7335, 375);             // blank
  put(g, 39, "　先頭は　　ミルカ  です", 2880, 5640, 7935, 495);
  g.state.screenState = screen::kRace;

  Reading r = readingOf(g);
  EXPECT_EQ(r.lines, (std::vector<std::string>{"タイム⇒ 12.4", "あと 3 周", "先頭は ミルカ です"}));
  EXPECT_EQ(r.spoken, "先頭は ミルカ です");
  EXPECT_EQ(readingJson(r), "{\"lines\":[\"タイム⇒ 12.4\",\"あと 3 周\",\"先頭は ミルカ です\"],"
                            "\"spoken\":\"先頭は ミルカ です\"}");

  // After the race the board is spoken, header first, once it is drawn.
  g.state.screenState = screen::kResults;
  EXPECT_EQ(readingOf(g).spoken, "") << "the board not yet drawn";
  g.state.resultsShown = 1;
  put(g, 27, "大井　ダービー　ダート", 840, 300, 8895, 375);
  for (int n = 17; n <= 26; n++) put(g, n, "", 915, 960.0f + 360.0f * static_cast<float>(n - 17), kRowWidth, 300);
  g.form.label(17).caption = "1着        10番     ミルカ";
  const std::string board = readingOf(g).spoken;
  EXPECT_EQ(board.substr(0, board.find('\n', board.find('\n') + 1)), "大井 ダービー ダート\n1着 10番 ミルカ");
  EXPECT_EQ(std::count(board.begin(), board.end(), '\n'), 10);

  g.state.screenState = screen::kStable;
  EXPECT_EQ(readingOf(g).spoken, "") << "nothing announced away from the race";
}

}  // namespace
}  // namespace milka::play
