// Screen upkeep done by the commentary timer outside the race. Every item is redrawn on every
// tick for as long as its screen is up, so nothing here has to remember having done it.
#include "career/upkeep.h"

#include <span>

#include "career/career_over_tables.h"
#include "career/grazing_tables.h"
#include "shell/game.h"
#include "shell/text.h"

namespace milka {
namespace career {

namespace {

void graze(Game& g, std::span<const GrazingPair> pairs) {
  Form& f = g.form;
  GameState& s = g.state;
  const bool frameA = s.gaitFrame == 1;
  for (const GrazingPair& p : pairs) {
    f.image(p.first).top = frameA ? p.firstTopA : p.firstTopB;
    f.image(p.second).top = frameA ? p.secondTopA : p.secondTopB;
  }
  s.gaitFrame = frameA ? 0 : 1;

  for (const GrazingPair& p : pairs) {
    const int32_t step = g.rng.reseedPick(p.stride) + p.base;
    const float move = static_cast<float>(p.heading == Heading::Right ? step : -step);
    Picture& first = f.image(p.first);
    Picture& second = f.image(p.second);
    first.left += move;
    second.left = (p.follows == Follows::First ? first.left : second.left) + move;
  }
}

}  // namespace

void careerOverScreen(Game& g) {
  Form& f = g.form;
  const GameState& s = g.state;

  for (int n : {38, 40, 32, 30, 33, 34, 35, 31}) f.label(n).caption.clear();
  Label& heading = f.label(37);
  heading.foreColour = 0xFF1111;
  heading.caption = "引退です";
  heading.bold = true;

  for (int n = 17; n <= 26; ++n) {
    Label& line = f.label(n);
    line.transparent = true;
    line.left = n == 26 ? 3425 : 3415;
    line.top = kRecordLineTop[static_cast<size_t>(n - 17)];
  }
  for (int n = 19; n <= 24; ++n) f.label(n).bold = true;

  f.label(28).caption = "■Ａボタンを押すと成績次第で当サイトに残りますのでＡボタンを押して下さい。";

  f.label(17).foreColour = 0x0000FF;
  f.label(17).caption = std::string("馬名 : ") + s.horseName;
  f.label(18).caption =
      std::string("生涯成績 ") + num(s.racesRun) + " 戦 " + num(s.horseClass) + " 勝";

  for (int n = 19; n <= 24; ++n) f.label(n).caption.clear();
  for (int m = 1; m <= 12; ++m) {
    if (s.bigRaceWon[m] != 1) continue;
    Label& line = f.label(19 + (m - 1) / 2);
    if (m % 2 == 1)
      line.caption = kTopRaceLine[static_cast<size_t>(m)];
    else
      line.caption += kTopRaceLine[static_cast<size_t>(m)];
  }

  std::string counts = num(s.horseClass);
  for (int p = 2; p <= 10; ++p) counts += " - " + num(s.placeCount[p]);
  f.label(25).caption = counts;

  f.label(26).foreColour = 0xFF00FF;
  f.label(26).caption = "インターネットに繋がる環境でAボタンを押して下さい";
}

void raceCardHelpLine(Game& g) {
  g.form.label(28).caption = "■Ａボタンを押して下さい";
}

void raceHelpLine(Game& g) {
  g.form.label(28).caption = g.state.horseWhips != 0
                                 ? "■ムチの入れ方は上のムチの値を右下のテキストボックス内に入力する"
                                 : "■ムチがなくなってしまいました。";
}

void grazingA(Game& g) {
  graze(g, kGrazingA);
}

void grazingB(Game& g) {
  graze(g, kGrazingB);
}

void careerEndRule(Game& g) {
  GameState& s = g.state;
  // Beyond 5 cannot happen in play; it is caught all the same so no career can run on.
  if (s.horseAge >= 5) s.screenState = screen::kCareerOver;
  if ((s.horseAge == 3 || s.horseAge == 4) && s.month >= 7 && s.horseClass == 0)
    s.screenState = screen::kCareerOver;
}

}  // namespace career
}  // namespace milka
