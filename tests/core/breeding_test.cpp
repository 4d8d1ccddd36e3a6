// The breeding screen: browsing the stud book, choosing the parents, and the foal they give.
#include "career/breeding.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "scripted_random.h"

namespace milka {
namespace {

using testing::ScriptedGame;

// A game on the breeding screen, choosing the sire.
struct AtBreeding : ScriptedGame {
  AtBreeding() { pressA(); }
  void up() {
    game.state.buttonTicks = 2;
    game.Command2_Click();
  }
  void down() {
    game.state.buttonTicks = 2;
    game.Command3_Click();
  }
};

// Splits a UTF-8 text into its characters.
std::vector<std::string> glyphs(const std::string& text) {
  std::vector<std::string> out;
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const size_t n = lead < 0x80 ? 1 : (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xE0) == 0xC0 ? 2 : 4;
    out.push_back(text.substr(i, n));
    i += n;
  }
  return out;
}

bool isKatakana(const std::string& glyph) {
  // U+30A1 .. U+30FC, the katakana block up to the long-vowel mark.
  if (glyph.size() != 3) return false;
  const auto b0 = static_cast<unsigned char>(glyph[0]);
  const auto b1 = static_cast<unsigned char>(glyph[1]);
  const auto b2 = static_cast<unsigned char>(glyph[2]);
  const int code = ((b0 & 0x0F) << 12) | ((b1 & 0x3F) << 6) | (b2 & 0x3F);
  return code >= 0x30A1 && code <= 0x30FC;
}

TEST(BreedingTable, PageAndRowGiveTheHorseNumber) {
  struct Case {
    int page, row, horse;
  };
  for (const Case& c :
       std::vector<Case>{{1, 1, 1}, {1, 10, 10}, {2, 1, 11}, {2, 7, 17}, {3, 1, 21}, {3, 10, 30}}) {
    AtBreeding g;
    for (int p = 1; p < c.page; ++p) g.pressB();
    for (int r = 1; r < c.row; ++r) g.down();
    g.pressA();
    EXPECT_EQ(g.game.state.sireIndex, c.horse) << "page " << c.page << " row " << c.row;
    EXPECT_EQ(g.game.state.setupPhase, 2);
  }
}

TEST(BreedingTable, UpAndDownStopAtTheEndsOfThePage) {
  AtBreeding g;
  g.up();
  EXPECT_EQ(g.game.state.cursorRow, 1);
  EXPECT_EQ(g.game.state.buttonTicks, 0);  // the press was taken, it just had nowhere to go
  for (int i = 0; i < 12; ++i) g.down();
  EXPECT_EQ(g.game.state.cursorRow, 10);
  g.up();
  EXPECT_EQ(g.game.state.cursorRow, 9);
}

TEST(BreedingTable, UpAndDownDoNothingAwayFromTheBreedingScreen) {
  for (int screen : {screen::kTitle, screen::kStable, screen::kRaceCard, screen::kPasture}) {
    ScriptedGame g;
    g.game.state.screenState = screen;
    g.game.state.cursorRow = 5;
    g.game.state.buttonTicks = 5;
    g.game.Command2_Click();
    g.game.Command3_Click();
    EXPECT_EQ(g.game.state.cursorRow, 5) << screen;
    EXPECT_EQ(g.game.state.buttonTicks, 5) << screen;
  }
}

TEST(BreedingTable, BTurnsThePagesRound) {
  AtBreeding g;
  std::vector<int> seen;
  for (int i = 0; i < 4; ++i) {
    g.pressB();
    seen.push_back(g.game.state.tablePage);
  }
  EXPECT_EQ(seen, (std::vector<int>{2, 3, 1, 2}));
  // A page that has somehow left 1..3 comes back to the first page.
  g.game.state.tablePage = 7;
  g.pressB();
  EXPECT_EQ(g.game.state.tablePage, 1);
}

TEST(BreedingTable, TheSireStepShowsThePageWithTheCursorInRed) {
  AtBreeding g;
  g.pressB();
  g.pressB();  // page 3
  g.down();
  g.down();  // row 3
  g.ticks(1);
  const Form& f = g.game.form;
  for (int i = 1; i <= 10; ++i) {
    const Label& row = f.label(16 + i);
    EXPECT_EQ(row.caption, career::breedingRowText(career::sireRow(20 + i))) << i;
    EXPECT_EQ(row.foreColour, i == 3 ? 0xFF1111u : 0x111111u) << i;
  }
  EXPECT_EQ(f.label(17).caption.rfind("  ダイチノコエ ", 0), 0u);  // row 1 is horse 21
  EXPECT_EQ(f.label(26).caption.rfind("  ヨボヨボ ", 0), 0u);      // row 10 is horse 30
  EXPECT_EQ(f.label(27).caption, "父馬を選び下さい");
  EXPECT_EQ(f.label(27).foreColour, 0x0000FFu);
  EXPECT_EQ(f.label(27).top, 100);
  EXPECT_EQ(f.label(28).caption,
            "■上ボタン下ボタンで選択    ■Ｂボタンで切り替え    ■ＡボタンでＯＫ");
}

TEST(BreedingTable, TheDamTableOpensOnItsFirstPageWithTheCursorWhereItWas) {
  AtBreeding g;
  g.pressB();
  g.pressB();
  for (int r = 1; r < 4; ++r) g.down();
  g.pressA();  // sire 24
  g.ticks(1);
  const GameState& s = g.game.state;
  const Form& f = g.game.form;
  EXPECT_EQ(s.sireIndex, 24);
  EXPECT_EQ(s.tablePage, 1);
  EXPECT_EQ(s.cursorRow, 4);
  EXPECT_EQ(f.label(20).foreColour, 0xFF1111u);
  EXPECT_EQ(f.label(20).caption, career::breedingRowText(career::damRow(4)));
  EXPECT_EQ(f.label(27).caption, "母馬を選び下さい");
  EXPECT_EQ(f.label(27).foreColour, 0xFF0011u);
  EXPECT_EQ(f.label(28).caption,
            "■上ボタン下ボタンで選択    ■Ｂボタンで切り替え    ■ＡボタンでＯＫ");
}

TEST(BreedingTable, ChoosingTheDamOpensTheNamingScreen) {
  AtBreeding g;
  g.pressA();  // sire 1
  g.pressB();
  g.down();
  g.pressA();  // dam 12
  const GameState& s = g.game.state;
  const Form& f = g.game.form;
  EXPECT_EQ(s.damIndex, 12);
  EXPECT_EQ(s.setupPhase, 3);
  EXPECT_EQ(f.backColour, 0xEEEEFFu);
  EXPECT_EQ(f.label(28).caption,
            "■右下のテキストボックスに名前を    ■Ｂボタンで消去    ■ＡボタンでＯＫ");
  EXPECT_EQ(f.label(27).caption, "");
  EXPECT_EQ(f.label(27).top, 2500);
  EXPECT_EQ(f.label(27).foreColour, 0x000000u);
  EXPECT_EQ(f.label(29).caption, "2文字以上12文字以下のアルファベットで名前を教えて下さい。");
  EXPECT_EQ(f.label(29).top, 2000);
  EXPECT_EQ(f.label(29).foreColour, 0x0000FFu);
  for (int n = 16; n <= 26; ++n) EXPECT_EQ(f.label(n).left, kRowsHiddenLeft) << n;
  // The table is no longer drawn once the name is being typed.
  const std::string before = f.label(17).caption;
  g.ticks(1);
  EXPECT_EQ(f.label(17).caption, before);
}

TEST(StudBook, NamesAreDistinctKatakanaOfTwoToSixCharacters) {
  std::set<std::string> names;
  for (int n = 1; n <= career::kBreedingRows; ++n) {
    for (const career::BreedingRow* row : {&career::kSires[n], &career::kDams[n]}) {
      const std::vector<std::string> chars = glyphs(row->name);
      EXPECT_GE(chars.size(), 2u) << row->name;
      EXPECT_LE(chars.size(), 6u) << row->name;
      for (const std::string& c : chars) EXPECT_TRUE(isKatakana(c)) << row->name << " " << c;
      names.insert(row->name);
    }
  }
  EXPECT_EQ(names.size(), 60u);
}

TEST(StudBook, OutOfRangeNumbersGiveTheNearestHorse) {
  EXPECT_EQ(&career::sireRow(0), &career::kSires[1]);
  EXPECT_EQ(&career::sireRow(-4), &career::kSires[1]);
  EXPECT_EQ(&career::damRow(31), &career::kDams[30]);
  EXPECT_EQ(&career::damRow(1000), &career::kDams[30]);
}

// The rows line up under the header as drawn: every value is centred under its header word to
// within half a space, and two columns are always parted by at least one space.
TEST(BreedingRows, ColumnsSitUnderTheHeaderWords) {
  EXPECT_EQ(designForm().label(16).caption, career::kMeasuredHeader);
  const int32_t space = career::rowTextWidth(" ");
  for (int n = 1; n <= career::kBreedingRows; ++n) {
    for (const career::BreedingRow* row : {&career::kSires[n], &career::kDams[n]}) {
      const std::string text = career::breedingRowText(*row);
      ASSERT_EQ(text.rfind("  " + std::string(row->name) + " ", 0), 0u) << text;
      // Walk the runs of spaces after the name; each value that follows is one column.
      size_t at = 2 + std::string(row->name).size();
      for (int column = 0; column < 6; ++column) {
        const size_t valueStart = text.find_first_not_of(' ', at);
        ASSERT_NE(valueStart, std::string::npos) << text;
        EXPECT_GE(valueStart - at, 1u) << text;
        size_t valueEnd = text.find(' ', valueStart);
        if (valueEnd == std::string::npos) valueEnd = text.size();
        const double left = career::rowTextWidth(text.substr(0, valueStart));
        const double right = career::rowTextWidth(text.substr(0, valueEnd));
        const career::HeaderSpan& h = career::kHeaderColumns[column];
        EXPECT_LE(std::abs((left + right) / 2 - (h.from + h.to) / 2.0), space / 2.0 + 1)
            << text << " column " << column;
        at = valueEnd;
      }
      EXPECT_EQ(at, text.size()) << text;
    }
  }
}

TEST(BreedingRows, EveryNameGlyphHasAMeasuredWidth) {
  // A glyph missing from the width table would be taken as a full em and push its row askew.
  for (int n = 1; n <= career::kBreedingRows; ++n)
    for (const career::BreedingRow* row : {&career::kSires[n], &career::kDams[n]})
      for (const std::string& c : glyphs(row->name)) {
        bool found = false;
        for (const career::GlyphWidth& w : career::kRowGlyphWidths) found |= c == w.glyph;
        EXPECT_TRUE(found) << row->name << " " << c;
      }
}

TEST(BreedingRows, ShowTheValuesAndTheDisplayWords) {
  struct Case {
    const career::BreedingRow& row;
    std::vector<std::string> columns;
  };
  const std::vector<Case> cases = {
      {career::kSires[1], {"ハヤテオー", "59", "36", "10", "逃げ", "早", "長距離"}},
      {career::kSires[7], {"イナズマ", "70", "23", "30", "追込", "早", "短距離"}},
      {career::kSires[23], {"ヤマトボシ", "55", "39", "9", "差し", "遅", "中距離"}},
      {career::kDams[3], {"サクラヒメ", "39", "47", "15", "先行", "普", "中距離"}},
      {career::kDams[10], {"マドンナ", "56", "40", "27", "追込", "普通", "中距離"}},
      {career::kDams[27], {"コトノハ", "39", "39", "7", "逃げ", "普通", "短距離"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> columns;
    const std::string text = career::breedingRowText(c.row);
    for (size_t at = text.find_first_not_of(' '); at != std::string::npos;) {
      const size_t end = text.find(' ', at);
      columns.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
      at = end == std::string::npos ? end : text.find_first_not_of(' ', end);
    }
    EXPECT_EQ(columns, c.columns) << text;
  }
}

// A game at the naming step with the parents chosen and a name ready.
struct Naming : ScriptedGame {
  Naming(int sire, int dam) {
    GameState& s = game.state;
    s.screenState = screen::kBreeding;
    s.setupPhase = 3;
    s.sireIndex = sire;
    s.damIndex = dam;
    s.horseName = "abc";
  }
  // The six foal draws, then the two weight draws.
  void lineUp(int speed, int whips, int keys, int coin1, int coin2, int coin3, int best = 61,
              int offset = 31) {
    random.pushPick(meanSpeed, speed);
    random.pushPick(meanStamina, whips);
    random.pushPick(meanTemper, keys);
    random.pushPick(2, coin1);
    random.pushPick(2, coin2);
    random.pushPick(2, coin3);
    random.pushPick(160, best);
    random.pushPick(60, offset);
  }
  int meanSpeed = 0, meanStamina = 0, meanTemper = 0;
};

TEST(Foal, TheParentsMeansAreRoundedHalfToEven) {
  struct Case {
    int sire, dam, speed, stamina, temper;
  };
  for (const Case& c : std::vector<Case>{{1, 1, 50, 38, 15},    // 49.5 up to the even 50
                                         {2, 12, 58, 38, 22},   // 58.5 and 38.5 down, 21.5 up
                                         {7, 15, 66, 26, 30},   // 66.5 and 26.5 down
                                         {1, 3, 49, 42, 12},    // 41.5 up, 12.5 down
                                         {30, 15, 46, 30, 28},  // 27.5 up
                                         {27, 27, 30, 30, 6}}) {
    Naming g(c.sire, c.dam);
    career::makeFoal(g.game);
    const GameState& s = g.game.state;
    EXPECT_EQ(s.damSpeed, c.speed) << c.sire << "x" << c.dam;
    EXPECT_EQ(s.damStamina, c.stamina) << c.sire << "x" << c.dam;
    EXPECT_EQ(s.damTemper, c.temper) << c.sire << "x" << c.dam;
    EXPECT_EQ(s.sireSpeed, career::kSires[c.sire].speed);
  }
}

TEST(Foal, ValuesSpanFromTheFloorToTheParentsMeans) {
  struct Case {
    int sire, dam, meanSpeed, meanStamina, meanTemper;
  };
  for (const Case& c :
       std::vector<Case>{{1, 1, 50, 38, 15}, {7, 15, 66, 26, 30}, {27, 27, 30, 30, 6}}) {
    {
      Naming g(c.sire, c.dam);
      g.random.fallback = 0.0;  // every draw at its lowest
      career::makeFoal(g.game);
      EXPECT_EQ(g.game.state.horseSpeed, 50);
      EXPECT_EQ(g.game.state.horseWhips, 40);
      EXPECT_EQ(g.game.state.horseKeys, 1);
    }
    {
      Naming g(c.sire, c.dam);
      g.random.fallback = 0.999999;  // every draw at its highest
      career::makeFoal(g.game);
      EXPECT_EQ(g.game.state.horseSpeed, 49 + c.meanSpeed);
      EXPECT_EQ(g.game.state.horseWhips, 39 + c.meanStamina);
      EXPECT_EQ(g.game.state.horseKeys, c.meanTemper);
    }
  }
}

TEST(Foal, SixDrawsEachAfterAReseed) {
  Naming g(1, 1);
  g.meanSpeed = 50;
  g.meanStamina = 38;
  g.meanTemper = 15;
  g.lineUp(7, 11, 13, 2, 1, 2);
  const int reseedsBefore = g.random.reseeds;
  career::makeFoal(g.game);
  const GameState& s = g.game.state;
  EXPECT_EQ(g.random.reseeds - reseedsBefore, 6);
  EXPECT_EQ(s.foalRoll[1], 56);
  EXPECT_EQ(s.foalRoll[2], 50);
  EXPECT_EQ(s.foalRoll[3], 13);
  EXPECT_EQ(s.foalRoll[4], 2);
  EXPECT_EQ(s.foalRoll[5], 1);
  EXPECT_EQ(s.foalRoll[6], 2);
  EXPECT_EQ(s.horseSpeed, 56);
  EXPECT_EQ(s.horseWhips, 50);
  EXPECT_EQ(s.horseKeys, 13);
  EXPECT_EQ(g.random.pending(), 0u);
}

TEST(Foal, EachCoinTakesTheSiresOrTheDamsValue) {
  // Sire 1 is a front-runner, early, long; dam 3 a stalker, normal, middle.
  struct Case {
    int coin1, coin2, coin3, style, growth, distance;
  };
  for (const Case& c : std::vector<Case>{{1, 1, 1, 1, 1, 3},
                                         {2, 2, 2, 2, 2, 2},
                                         {1, 2, 1, 1, 2, 3},
                                         {2, 1, 2, 2, 1, 2},
                                         {2, 2, 1, 2, 2, 3}}) {
    Naming g(1, 3);
    g.meanSpeed = 49;
    g.meanStamina = 42;
    g.meanTemper = 12;
    g.lineUp(1, 1, 1, c.coin1, c.coin2, c.coin3);
    career::makeFoal(g.game);
    const GameState& s = g.game.state;
    EXPECT_EQ(s.horseStyle, c.style) << c.coin1 << c.coin2 << c.coin3;
    EXPECT_EQ(s.horseGrowth, c.growth) << c.coin1 << c.coin2 << c.coin3;
    EXPECT_EQ(s.horseDistance, c.distance) << c.coin1 << c.coin2 << c.coin3;
  }
}

TEST(Foal, TheLabelsTellThePlayerWhatWasBred) {
  struct Case {
    int sire, dam;
    const char *style, *growth, *distance;
  };
  // All coins 1: the sire's style, growth and distance.
  for (const Case& c : std::vector<Case>{
           {1, 1, "この馬は逃げ馬です", "この馬は早熟です", "おそらく長距離に向いているでしょう"},
           {2, 1, "この馬は先行馬です", "この馬の成長は普通です",
            "おそらく中距離に向いているでしょう"},
           {4, 1, "この馬は差し馬です", "この馬の成長は普通です",
            "おそらく中距離に向いているでしょう"},
           {7, 1, "この馬は追込馬です", "この馬は早熟です", "おそらく短距離に向いているでしょう"},
           {30, 1, "この馬は追込馬です", "この馬は晩成型タイプです",
            "おそらく長距離に向いているでしょう"}}) {
    Naming g(c.sire, c.dam);
    g.game.form.label(27).top = 2500;
    career::makeFoal(g.game);
    const Form& f = g.game.form;
    const GameState& s = g.game.state;
    EXPECT_EQ(f.label(28).caption, "■Ａボタンを押して下さい");
    EXPECT_EQ(f.label(27).top, -2700);
    EXPECT_EQ(f.label(29).caption, "この馬の名前は  abc  です");
    EXPECT_EQ(f.label(30).caption, "スピードは    ⇒  " + std::to_string(s.horseSpeed));
    EXPECT_EQ(f.label(31).caption, "ムチの数は    ⇒  " + std::to_string(s.horseWhips));
    EXPECT_EQ(f.label(32).caption, "キーボードの文字数は    ⇒  " + std::to_string(s.horseKeys));
    EXPECT_EQ(f.label(33).caption, c.style) << c.sire;
    EXPECT_EQ(f.label(34).caption, c.growth) << c.sire;
    EXPECT_EQ(f.label(35).caption, c.distance) << c.sire;
    EXPECT_EQ(s.setupPhase, 4);
  }
}

TEST(Foal, BestWeightAndStartingWeight) {
  struct Case {
    int best, offset, bestWeight, bodyWeight;
  };
  for (const Case& c : std::vector<Case>{{1, 1, 390, 360},
                                         {160, 60, 549, 578},
                                         {61, 31, 450, 450},
                                         {1, 60, 390, 419},
                                         {160, 1, 549, 519}}) {
    Naming g(1, 1);
    g.meanSpeed = 50;
    g.meanStamina = 38;
    g.meanTemper = 15;
    g.lineUp(1, 1, 1, 1, 1, 1, c.best, c.offset);
    career::makeFoal(g.game);
    EXPECT_EQ(g.game.state.bestWeight, c.bestWeight);
    EXPECT_EQ(g.game.state.bodyWeight, c.bodyWeight);
  }
}

TEST(Foal, ProceduresFinishedAtPhaseFour) {
  ScriptedGame g;
  GameState& s = g.game.state;
  s.screenState = screen::kBreeding;
  s.setupPhase = 4;
  g.pressA();
  const Form& f = g.game.form;
  EXPECT_EQ(f.label(29).caption, "これで手続きは終わりです。馬を大事に育てましょう。");
  EXPECT_EQ(f.backColour, 0x111111u);
  EXPECT_EQ(f.label(27).top, -2700);
  for (int n = 30; n <= 35; ++n) EXPECT_EQ(f.label(n).top, -3700) << n;
  EXPECT_EQ(s.setupPhase, 5);
  g.pressA();
  EXPECT_EQ(s.screenState, screen::kStable);
  EXPECT_EQ(s.setupPhase, 0);
}

}  // namespace
}  // namespace milka
