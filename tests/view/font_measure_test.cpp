// What the midend lays the window's words out with, taken from Qt: the widths and heights of
// the game's fonts as the canvas draws them, and lines broken where Qt's own text engine breaks
// them, so the words stand where they always stood.
#include "platform/draw/font_measure.h"

#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QTextBoundaryFinder>
#include <functional>
#include <string>
#include <vector>

#include "platform/draw/fonts.h"
#include "platform/draw/glyph_cache.h"
#include "play/text_breaks.h"

namespace milka::platform {
namespace {

using play::Font;

TEST(FontMeasure, ATextIsAsWideAsTheCanvasDrawsIt) {
  struct Case {
    const char* text;
    Font font;
  };
  const Case cases[] = {
      {"あとは ワタアメ", {FontFace::Mincho, 12}},
      {"ムチ数⇒ 102", {FontFace::Mincho, 9}},
      {"◀3", {FontFace::Gothic, 9, true}},
      {"12馬身", {FontFace::Gothic, 9}},
      {"　　名前　　　　スピード", {FontFace::Mincho, 11.25 * 0.975}},
  };
  FontMeasure measure;
  for (const Case& c : cases) {
    const QFont font = gameFont(c.font.face, c.font.points, c.font.bold);
    EXPECT_EQ(measure.advance(c.text, c.font),
              CaptionLayout(QString::fromUtf8(c.text), font).width())
        << c.text;
  }
}

TEST(FontMeasure, ALineIsAsTallAndAsFarFromTheNextAsQtHasIt) {
  FontMeasure measure;
  for (FontFace face : {FontFace::Mincho, FontFace::Gothic})
    for (bool bold : {false, true})
      for (double points : {9.0, 9.75, 11.25 * 0.75, 11.7, 12.0, 14.25, 24.0, 48.0}) {
        const Font font{face, points, bold};
        const QFontMetricsF metrics(gameFont(face, points, bold));
        const double height = measure.ascent(font) + measure.descent(font);
        EXPECT_EQ(height, metrics.height()) << points;
        EXPECT_EQ(height + measure.leading(font), metrics.lineSpacing()) << points;
      }
}

// Qt's boundaries in a text, as offsets into its UTF-8.
std::vector<size_t> qtBreaks(const std::string& utf8, QTextBoundaryFinder::BoundaryType type) {
  const QString text = QString::fromStdString(utf8);
  std::vector<size_t> at;
  QTextBoundaryFinder finder(type, text);
  for (qsizetype p = finder.toNextBoundary(); p > 0 && p < text.size(); p = finder.toNextBoundary())
    at.push_back(static_cast<size_t>(text.left(p).toUtf8().size()));
  return at;
}

// Every text of up to `length` pieces.
void everyText(const std::vector<std::string>& pieces, size_t length,
               const std::function<void(const std::string&)>& visit, const std::string& head = {}) {
  if (!head.empty()) visit(head);
  if (length == 0) return;
  for (const std::string& piece : pieces) everyText(pieces, length - 1, visit, head + piece);
}

TEST(TextBreaks, TheMidendBreaksAndCutsWhereQtDoes) {
  // A character of every kind the game's captions hold; then the ones numbers are made of,
  // which Qt keeps together in ways that take a few characters to show.
  const std::vector<std::string> kinds = {"あ", "先", "ア", "ー", "っ", "「", "」", "、", "。",
                                          "！", "・", "：", "（", "）", "　", " ",  "A",  "z",
                                          "0",  "9",  ".",  ",",  ":",  "/",  "%",  "$",  "+",
                                          "-",  "(",  ")",  "…",  "⇒",  "×",  "◀",  "┳",  "\u3099"};
  const std::vector<std::string> numbers = {"あ", "a", "1", " ", ".", "+", "(", "-", ")", "=", "%"};
  const auto check = [](const std::string& text) {
    ASSERT_EQ(play::lineBreaks(text), qtBreaks(text, QTextBoundaryFinder::Line)) << text;
    ASSERT_EQ(play::characterBreaks(text), qtBreaks(text, QTextBoundaryFinder::Grapheme)) << text;
  };
  everyText(kinds, 3, check);
  everyText(numbers, 5, check);
}

}  // namespace
}  // namespace milka::platform
