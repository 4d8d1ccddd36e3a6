// The stable. Its lines are redrawn on every tick, so whatever the month's race or a spell at
// grass changed shows up without anyone having to remember to refresh it.
#include "career/stable.h"

#include <utility>

#include "career/programme.h"
#include "shell/game.h"
#include "shell/text.h"

namespace milka {
namespace career {

namespace {

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kBlue = 0x0000FF;
constexpr uint32_t kRed = 0xFF1111;

void line(Label& label, float top, uint32_t colour, std::string caption) {
  label.top = top;
  label.foreColour = colour;
  label.caption = std::move(caption);
}

}  // namespace

std::string weightLine(int32_t bodyWeight, int32_t bestWeight) {
  std::string text = "馬体重は   ⇒   " + num(bodyWeight);
  if (bodyWeight < bestWeight) return text + "です。馬体が寂しく感じます";
  if (bodyWeight == bestWeight) return text + "です。ベスト体重です";
  return text + "です。馬体が太く感じます";
}

std::string finishingRecord(const GameState& s) {
  std::string text = num(s.horseClass);
  for (int place = 2; place <= 10; ++place) {
    // Appended piece by piece: GCC 12 at -O3 misreads a `"-" + num(...)` temporary as an
    // overlapping copy (-Wrestrict).
    text += '-';
    text += num(s.placeCount[place]);
  }
  return text;
}

void drawStableStatus(Game& g) {
  const GameState& s = g.state;
  Form& f = g.form;
  line(f.label(30), 1700, kBlack,
       "馬名  " + s.horseName + "      " + num(s.horseAge) + " 歳" + "   現在 " + num(s.month) +
           " 月です");
  line(f.label(31), 2000, kBlack, classWord(s.horseClass, s.horseAge));
  line(f.label(32), 2300, kBlue, "スピードは   ⇒  " + num(s.horseSpeed));
  line(f.label(33), 2600, kBlue, "ムチの数は   ⇒  " + num(s.horseWhips));
  line(f.label(34), 2900, kBlue, "キーボードの文字数は    ⇒  " + num(s.horseKeys));
  line(f.label(35), 3200, kRed, "現在 " + num(s.racesRun) + " 戦 " + num(s.horseClass) + " 勝");
  f.label(38).top = 4000;
  f.label(40).top = 3500;
  f.label(28).caption = "■調教はＡボタン   ■放牧はＢボタン   ■レースカレンダー参照は作者サイト";
}

void drawStableLines(Game& g) {
  g.form.label(38).caption = weightLine(g.state.bodyWeight, g.state.bestWeight);
  g.form.label(40).caption = finishingRecord(g.state);
}

void sendToPasture(Game& g) {
  GameState& s = g.state;
  Form& f = g.form;
  Rng& r = g.rng;

  r.Randomize();
  s.horseSpeed += r.pick(3);

  // Each pair is one horse in two stride frames, so both pictures share the left edge.
  for (int first : {13, 15, 17, 19, 21}) {
    const auto left = static_cast<float>(r.pick(5000) + 99);
    f.image(first).left = left;
    f.image(first + 1).left = left;
  }
  for (int first : {23, 25, 27}) {
    const auto left = static_cast<float>(r.pick(5000) + 3999);
    f.image(first).left = left;
    f.image(first + 1).left = left;
  }

  f.label(27).top = -1700;
  f.label(30).top = -1700;
  f.label(31).top = -2000;
  f.label(32).top = -2300;
  f.label(33).top = -2600;
  f.label(34).top = -2900;
  for (int n : {35, 38, 40}) f.label(n).top = -3200;

  f.label(28).caption = "■Ａボタンを押して下さい";
  f.label(37).caption = "放牧に出しました";

  s.bodyWeight += r.pick(6) + 3;
  s.horseWhips += r.pick(30) + 29;

  s.screenState = screen::kPasture;
  s.buttonTicks = 0;
}

}  // namespace career
}  // namespace milka
