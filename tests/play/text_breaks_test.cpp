// Where a caption may go onto a second line, and where it may be cut.
#include "play/text_breaks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace milka::play {
namespace {

// The text with a | wherever it may break.
std::string marked(const std::string& text, const std::vector<size_t>& at) {
  std::string out;
  size_t from = 0;
  for (size_t p : at) {
    out += text.substr(from, p - from) + "|";
    from = p;
  }
  return out + text.substr(from);
}

struct BreakCase {
  const char* text;
  const char* lines;  // the text with | where a line may break
};

TEST(LineBreaks, LinesBreakWhereAReaderOfJapaneseExpects) {
  const BreakCase cases[] = {
      {"先頭はまだまだ", "先|頭|は|ま|だ|ま|だ"},
      {"ゴール！", "ゴー|ル！"},                     // nor before ー or ！
      {"ちょっと待った", "ちょっ|と|待っ|た"},       // nor before a small kana
      {"「ミルカ」、先頭", "「ミ|ル|カ」、|先|頭"},  // nor after 「, nor before 」、
      {"あなたmilka", "あ|な|た|milka"},             // a Latin word stays whole
      {"10番ゲート", "10|番|ゲー|ト"},               // so does a number
      {"タイム 1:23.4", "タ|イ|ム |1:23.4"},         // after the spaces, not before them
      {"ムチ数⇒ 102", "ム|チ|数|⇒ |102"},
      {"生涯成績 4 戦", "生|涯|成|績 |4 |戦"},
      {"距離 1,600 m (3)", "距|離 |1,600 |m |(3)"},
      {"ミルカ　ダービー", "ミ|ル|カ　|ダー|ビー"},  // the ideographic space too
      {"", ""},
  };
  for (const BreakCase& c : cases) EXPECT_EQ(marked(c.text, lineBreaks(c.text)), c.lines);
}

TEST(CharacterBreaks, ACutNeverSplitsACharacterNorItsMark) {
  const BreakCase cases[] = {
      {"ab", "a|b"},
      {"先頭", "先|頭"},
      {"\u304B\u3099か", "\u304B\u3099|か"},  // か and its voiced mark: one が on screen
      {"e\u0301x", "e\u0301|x"},
      {"馬", "馬"},
  };
  for (const BreakCase& c : cases) EXPECT_EQ(marked(c.text, characterBreaks(c.text)), c.lines);
}

TEST(CodePoints, BytesThatStartNoCharacterStandAlone) {
  struct Case {
    std::string bytes;
    char32_t value;
    size_t next;
  };
  const Case cases[] = {
      {"a", U'a', 1},
      {"馬", U'馬', 3},
      {"\xF0\x9F\x90\x8E", 0x1F40E, 4},
      {"\x80z", 0xFFFD, 1},
      {"\xE9\xA6", 0xFFFD, 1},
      {"\xC0\xAF", 0xFFFD, 1},
      {"\xED\xA0\x80", 0xFFFD, 1},
  };
  for (const Case& c : cases) {
    const CodePoint got = codePointAt(c.bytes, 0);
    EXPECT_EQ(got.value, c.value) << c.bytes;
    EXPECT_EQ(got.next, c.next) << c.bytes;
  }
}

}  // namespace
}  // namespace milka::play
