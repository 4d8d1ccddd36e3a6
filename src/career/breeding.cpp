// The breeding screen. The table is browsed ten horses a page with Up, Down and B; A takes the
// highlighted horse as the sire, then as the dam, and once the foal is named it is made from the
// two rows.
#include "career/breeding.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

#include "shell/game.h"
#include "shell/text.h"

namespace milka {

namespace {

constexpr uint32_t kRowInk = 0x111111;
constexpr uint32_t kCursorInk = 0xFF1111;

}  // namespace

void Game::Command2_Click() {
  if (state.screenState != screen::kBreeding || state.buttonTicks <= 1) return;
  if (state.cursorRow > 1) state.cursorRow -= 1;
  state.buttonTicks = 0;
}

void Game::Command3_Click() {
  if (state.screenState != screen::kBreeding || state.buttonTicks <= 1) return;
  if (state.cursorRow < 10) state.cursorRow += 1;
  state.buttonTicks = 0;
}

namespace career {

namespace {

template <size_t N>
const char* word(const char* const (&table)[N], int32_t i) {
  return (i >= 1 && static_cast<size_t>(i) < N) ? table[i] : "";
}

const BreedingRow& rowOf(const BreedingRow (&table)[kBreedingRows + 1], int32_t number) {
  return table[std::clamp(number, 1, kBreedingRows)];
}

int32_t glyphWidth(std::string_view glyph) {
  for (const GlyphWidth& w : kRowGlyphWidths)
    if (glyph == w.glyph) return w.width;
  return kFullEm;
}

size_t utf8Length(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 1;
}

// Appends a column value after as many spaces as bring its centre nearest the centre of the
// header word above it. Spaces are the finest step the caption has, so a value may sit up to
// half a space off; at least one space always parts two columns.
void appendColumn(std::string& text, int32_t& drawn, const std::string& value,
                  const HeaderSpan& header) {
  const int32_t valueWidth = rowTextWidth(value);
  const int32_t space = glyphWidth(" ");
  const double wantedLeft = (header.from + header.to - valueWidth) / 2.0;
  const int32_t gap =
      std::max<int32_t>(1, static_cast<int32_t>(std::lround((wantedLeft - drawn) / space)));
  text += spaces(gap);
  text += value;
  drawn += gap * space + valueWidth;
}

std::string growthWordOf(const BreedingRow& row) {
  if (row.growth == 2 && row.growthSpelledOut) return kGrowthSpelledOut;
  return word(kGrowthWords, row.growth);
}

std::string styleLine(int32_t style) {
  switch (style) {
    case 1: return "この馬は逃げ馬です";
    case 2: return "この馬は先行馬です";
    case 3: return "この馬は差し馬です";
    case 4: return "この馬は追込馬です";
    default: return "";
  }
}

std::string growthLine(int32_t growth) {
  switch (growth) {
    case 1: return "この馬は早熟です";
    case 2: return "この馬の成長は普通です";
    case 3: return "この馬は晩成型タイプです";
    default: return "";
  }
}

std::string distanceLine(int32_t distance) {
  switch (distance) {
    case 1: return "おそらく短距離に向いているでしょう";
    case 2: return "おそらく中距離に向いているでしょう";
    case 3: return "おそらく長距離に向いているでしょう";
    default: return "";
  }
}

}  // namespace

int32_t horseNumber(int32_t page, int32_t row) {
  return (page - 1) * 10 + row;
}

const BreedingRow& sireRow(int32_t number) {
  return rowOf(kSires, number);
}
const BreedingRow& damRow(int32_t number) {
  return rowOf(kDams, number);
}

int32_t rowTextWidth(const std::string& text) {
  int32_t width = 0;
  for (size_t i = 0; i < text.size();) {
    const size_t n = std::min(utf8Length(static_cast<unsigned char>(text[i])), text.size() - i);
    width += glyphWidth(std::string_view(text).substr(i, n));
    i += n;
  }
  return width;
}

std::string breedingRowText(const BreedingRow& row) {
  std::string text = "  ";
  text += row.name;
  int32_t drawn = rowTextWidth(text);
  const std::array<std::string, 6> values = {num(row.speed),    num(row.stamina),
                                             num(row.temper),   word(kStyleWords, row.style),
                                             growthWordOf(row), word(kDistanceWords, row.distance)};
  for (size_t c = 0; c < values.size(); ++c)
    appendColumn(text, drawn, values[c], kHeaderColumns[c]);
  return text;
}

void drawBreedingTable(Game& g) {
  GameState& s = g.state;
  Form& f = g.form;
  const bool sireStep = s.setupPhase == 1;
  for (int32_t i = 1; i <= 10; ++i) {
    const int32_t number = horseNumber(s.tablePage, i);
    Label& row = f.label(16 + i);
    row.caption = breedingRowText(sireStep ? sireRow(number) : damRow(number));
    row.foreColour = i == s.cursorRow ? kCursorInk : kRowInk;
  }
  Label& prompt = f.label(27);
  prompt.top = 100;
  prompt.foreColour = sireStep ? 0x0000FF : 0xFF0011;
  prompt.caption = sireStep ? "父馬を選び下さい" : "母馬を選び下さい";
  f.label(28).caption = "■上ボタン下ボタンで選択    ■Ｂボタンで切り替え    ■ＡボタンでＯＫ";
}

void turnPage(Game& g) {
  int32_t& page = g.state.tablePage;
  page = (page >= 1 && page < 3) ? page + 1 : 1;
}

void chooseSire(Game& g) {
  GameState& s = g.state;
  s.sireIndex = std::clamp(horseNumber(s.tablePage, s.cursorRow), 1, kBreedingRows);
  s.setupPhase = 2;
  // The dam table opens at its first page, the cursor left where it was.
  s.tablePage = 1;
}

void chooseDam(Game& g) {
  GameState& s = g.state;
  Form& f = g.form;
  f.label(28).caption = "■右下のテキストボックスに名前を    ■Ｂボタンで消去    ■ＡボタンでＯＫ";
  f.backColour = 0xEEEEFF;
  s.damIndex = std::clamp(horseNumber(s.tablePage, s.cursorRow), 1, kBreedingRows);
  s.setupPhase = 3;

  Label& name = f.label(27);
  name.caption.clear();
  name.top = 2500;
  name.foreColour = 0x000000;
  Label& prompt = f.label(29);
  prompt.foreColour = 0x0000FF;
  prompt.top = 2000;
  prompt.caption = "2文字以上12文字以下のアルファベットで名前を教えて下さい。";
  for (int n = 16; n <= 26; ++n) f.label(n).left = kRowsHiddenLeft;
}

void makeFoal(Game& g) {
  GameState& s = g.state;
  Form& f = g.form;
  Rng& r = g.rng;

  const BreedingRow& sire = sireRow(s.sireIndex);
  const BreedingRow& dam = damRow(s.damIndex);
  s.sireSpeed = sire.speed;
  s.sireStamina = sire.stamina;
  s.sireTemper = sire.temper;
  s.sireStyle = sire.style;
  s.sireGrowth = sire.growth;
  s.sireDistance = sire.distance;
  s.damSpeed = dam.speed;
  s.damStamina = dam.stamina;
  s.damTemper = dam.temper;
  s.damStyle = dam.style;
  s.damGrowth = dam.growth;
  s.damDistance = dam.distance;

  // The dam's first three values become the parents' means.
  s.damSpeed = roundHalfEven((s.sireSpeed + s.damSpeed) / 2.0);
  s.damStamina = roundHalfEven((s.sireStamina + s.damStamina) / 2.0);
  s.damTemper = roundHalfEven((s.sireTemper + s.damTemper) / 2.0);

  s.foalRoll[1] = static_cast<int16_t>(r.reseedPick(s.damSpeed) + 49);
  s.foalRoll[2] = static_cast<int16_t>(r.reseedPick(s.damStamina) + 39);
  s.foalRoll[3] = static_cast<int16_t>(r.reseedPick(s.damTemper));
  for (int coin = 4; coin <= 6; ++coin) s.foalRoll[coin] = static_cast<int16_t>(r.reseedPick(2));

  s.horseSpeed = s.foalRoll[1];
  s.horseWhips = s.foalRoll[2];
  s.horseKeys = s.foalRoll[3];
  s.horseStyle = s.foalRoll[4] == 1 ? s.sireStyle : s.damStyle;
  s.horseGrowth = s.foalRoll[5] == 1 ? s.sireGrowth : s.damGrowth;
  s.horseDistance = s.foalRoll[6] == 1 ? s.sireDistance : s.damDistance;

  f.label(28).caption = "■Ａボタンを押して下さい";
  f.label(27).top = -2700;
  f.label(29).caption = "この馬の名前は  " + s.horseName + "  です";
  f.label(30).caption = "スピードは    ⇒  " + num(s.horseSpeed);
  f.label(31).caption = "ムチの数は    ⇒  " + num(s.horseWhips);
  f.label(32).caption = "キーボードの文字数は    ⇒  " + num(s.horseKeys);
  f.label(33).caption = styleLine(s.horseStyle);
  f.label(34).caption = growthLine(s.horseGrowth);
  f.label(35).caption = distanceLine(s.horseDistance);

  s.bodyWeight = r.pick(160) + 389;
  s.bestWeight = s.bodyWeight;
  s.bodyWeight += r.pick(60) - 31;

  s.setupPhase = 4;
}

void finishProcedures(Game& g) {
  Form& f = g.form;
  f.label(29).caption = "これで手続きは終わりです。馬を大事に育てましょう。";
  f.backColour = 0x111111;
  f.label(27).top = -2700;
  for (int n = 30; n <= 35; ++n) f.label(n).top = -3700;
  g.state.setupPhase = 5;
}

}  // namespace career
}  // namespace milka
