#include "race/race_tick.h"

#include "race/running.h"
#include "race/running_tables.h"
#include "race/start_calls.h"
#include "shell/game.h"
#include "shell/text.h"

namespace milka {
namespace race {

namespace {

constexpr int32_t kStepsPerCount = 4;  // ticks each digit of the countdown stands

void applySurface(Game& g) {
  GameState& s = g.state;
  switch (s.trackSurface) {
    case 1:
      g.form.backColour = 0xCD874C;
      s.surfaceOffset = -5;
      break;
    case 2:
      g.form.backColour = 0xA0A0A0;
      s.surfaceOffset = -15;
      break;
    case 3:
      g.form.backColour = 0x7CFF32;
      s.surfaceOffset = -10;
      break;
    default: break;  // keep the last surface rather than guess one
  }
}

void showFixedLabels(Game& g) {
  Form& f = g.form;
  f.label(4).caption = "あと";
  f.label(5).caption = "周";
  f.label(6).caption = "タイム⇒";
  Label& whips = f.label(36);
  whips.caption = "ムチ数⇒ " + num(g.state.horseWhips);
  whips.top = f.label(6).top;
  whips.fontSize = f.label(6).fontSize;
  f.label(12).caption = g.state.targetKey;
  f.label(13).caption = "ムチの値⇒";
}

void placeGoalPosts(Game& g) {
  const GameState& s = g.state;
  const float x = static_cast<float>(runsLeftward(s) ? s.finishPostX - 20 : s.finishPostX + 20);
  g.form.image(12).left = x;
  g.form.image(9).left = x;
}

void countdownTick(Game& g) {
  GameState& s = g.state;
  Form& f = g.form;

  if (s.startCountdown == 2 && s.countdownStep == 0) {
    g.rng.Randomize();
    s.phraseChoice = toInt16(g.rng.pick(3));
    const std::string call = startCall(s);
    if (!call.empty()) f.label(39).caption = call;
  }
  f.label(7).caption = repeat("┳", 484);

  const bool finalLap = s.lapsToGo <= 0;
  f.image(12).top = finalLap ? -1000 : 240;
  f.image(9).top = finalLap ? 240 : -1000;

  const float start = runsLeftward(s) ? 9700 : 50;
  for (int k = 1; k <= 10; ++k) {
    Picture& a = f.image(pictureA(s, k));
    Picture& b = f.image(pictureB(s, k));
    a.left = start;
    b.left = start;
    a.top = kRunnerPictures[static_cast<size_t>(k)].laneTop;
    b.top = kParkedTopB;
  }

  s.countdownStep += 1;
  // ">=" so that a step counter knocked out of its range still lets the race start.
  if (s.countdownStep >= kStepsPerCount) {
    f.label(3).caption = num(s.startCountdown);
    s.startCountdown -= 1;
    s.countdownStep = 0;
  }
  if (s.startCountdown == -1) runningTick(g);
}

}  // namespace

std::string startCall(const GameState& s) {
  if (s.venue < 1 || s.venue > 4 || s.phraseChoice < 1 || s.phraseChoice > 3 ||
      s.trackSurface < 1 || s.trackSurface > 3)
    return "";
  const StartCall& c =
      kStartCalls[static_cast<size_t>(s.venue - 1)][static_cast<size_t>(s.phraseChoice - 1)]
                 [static_cast<size_t>(s.trackSurface - 1)];
  std::string call = std::string(c.beforeName) + s.raceName + c.afterName;
  if (c.tellsLaps) call += kLapsOpening + num(s.lapsToGo) + kLapsClosing;
  return call;
}

void raceTick(Game& g) {
  applySurface(g);
  showFixedLabels(g);
  placeGoalPosts(g);
  if (g.state.startCountdown <= -1)
    runningTick(g);
  else
    countdownTick(g);
}

}  // namespace race
}  // namespace milka
