#include "race/running.h"

#include <algorithm>
#include <limits>

#include "race/running_tables.h"
#include "shell/game.h"
#include "shell/text.h"

namespace milka {
namespace race {

namespace {

constexpr float kOiLapLength = 9700;    // 大井; elsewhere a lap is the post's own distance
constexpr int32_t kFixedStrength = 30;  // a rival's strength when no table column applies
constexpr int32_t kCoastStep = 50;      // a rival past the post on the final lap
constexpr int32_t kOiFinishZone = 250;  // how far before the post the player's horse counts as in
constexpr int32_t kOtherFinishZone = 100;
// The board follows once the field has stood still for more than this after a win of the
// player's horse (the announcer has the longer call to make), or after any other finish.
constexpr int32_t kWinnerWait = 30;
constexpr int32_t kOtherWait = 10;

bool inAbilityTable(int32_t lapsToGo) {
  return lapsToGo >= 0 && lapsToGo <= 7;
}

struct Course {
  bool leftward;
  float post;
  float forward(float x, int32_t step) const {
    return leftward ? x - static_cast<float>(step) : x + static_cast<float>(step);
  }
  bool crossed(float x) const { return leftward ? x < post : x > post; }
  float lapBack(float x) const { return leftward ? x + kOiLapLength : x - post; }
};

void drawStrengths(Game& g) {
  GameState& s = g.state;
  const bool inTable = inAbilityTable(s.lapsToGo);
  const size_t lap = inTable ? static_cast<size_t>(s.lapsToGo) : 0;
  for (int k = 1; k <= 9; ++k) {
    if (!inTable) {
      s.runnerPower[k] = kFixedStrength;
      continue;
    }
    g.rng.Randomize();
    s.runnerPower[k] = toInt16(g.rng.pick(s.runnerAbility[k][lap]));
  }
  if (inTable) {
    for (int k = 1; k <= 9; ++k) {
      g.rng.Randomize();
      s.jockeyPower[k] = toInt16(g.rng.pick(s.jockeyAbility[k][lap]));
      s.runnerPower[k] = toInt16(int64_t{s.runnerPower[k]} + s.jockeyPower[k]);
    }
  }

  g.rng.Randomize();
  int64_t player = g.rng.pick(s.horseSpeed);
  player += styleBonus(s.horseStyle, s.raceLaps, s.lapsToGo);
  player += distanceBonus(s.horseDistance, s.raceLaps);
  if (s.bodyWeight == s.bestWeight) {
    g.rng.Randomize();
    s.rollTemp = g.rng.pick(5);
    player += s.rollTemp;
  }
  s.runnerPower[10] = toInt16(player);
}

void showGoalPost(Game& g, bool finalLap) {
  g.form.image(12).top = finalLap ? -1000 : 240;
  g.form.image(9).top = finalLap ? 240 : -1000;
}

void moveRivals(Game& g, const Course& course, bool finalLap) {
  GameState& s = g.state;
  for (int k = 1; k <= 9; ++k) {
    const int32_t step = s.runnerPower[k] + (finalLap ? 30 : 60) + s.surfaceOffset;
    for (int n : {pictureA(s, k), pictureB(s, k)}) {
      Picture& pic = g.form.image(n);
      if (finalLap && course.crossed(pic.left)) {
        pic.left = course.forward(pic.left, kCoastStep);
        s.raceFinished = 1;
      } else {
        pic.left = course.forward(pic.left, step);
      }
    }
  }
}

void movePlayer(Game& g, const Course& course, bool finalLap) {
  GameState& s = g.state;
  const int32_t p = s.runnerPower[10];
  const int32_t off = s.surfaceOffset;
  const bool whip = s.keyPromptState == 1 && s.horseWhips > 0;
  const int32_t base = finalLap ? (whip ? 60 : 25) : (whip ? 100 : 50);
  const int32_t step = base + (whip ? 2 * p : p) + off;
  for (int n : {pictureA(s, 10), pictureB(s, 10)})
    g.form.image(n).left = course.forward(g.form.image(n).left, step);

  // The rails scroll to carry the sense of speed; at the right-running courses a whip step
  // scrolls them by its base alone.
  const int32_t railMove = course.leftward ? step : (whip ? -base + off : -base - p + off);
  for (int n : {7, 8}) g.form.label(n).left += static_cast<float>(railMove);

  if (whip) {
    s.horseWhips -= 1;
    s.keyPromptState = 3;
  }
}

void drawNextKey(Game& g) {
  GameState& s = g.state;
  if (s.keyPromptState != 3) return;
  s.keyPromptState = 2;
  g.rng.Randomize();
  s.keySymbolIndex = toInt16(g.rng.pick(s.horseKeys));
  s.targetKey = keySymbol(s.keySymbolIndex);
}

void stepGait(Game& g) {
  GameState& s = g.state;
  // Runner 5 strides with the front group at 大井 and with the back group elsewhere.
  const int frontGroupEnd = runsLeftward(s) ? 5 : 4;
  const bool frontShowsB = s.gaitFrame == 1;
  for (int k = 1; k <= 10; ++k) {
    const RunnerPictures& lane = kRunnerPictures[static_cast<size_t>(k)];
    const bool showB = (k <= frontGroupEnd) == frontShowsB;
    g.form.image(pictureA(s, k)).top = showB ? lane.parkedTopA : lane.laneTop;
    g.form.image(pictureB(s, k)).top = showB ? lane.laneTop : kParkedTopB;
  }
  s.gaitFrame = frontShowsB ? 0 : 1;
}

void shiftBackIfCrossed(Game& g, const Course& course, bool pictureSetA, bool countLap) {
  GameState& s = g.state;
  bool anyCrossed = false;
  for (int k = 1; k <= 10; ++k) {
    const int n = pictureSetA ? pictureA(s, k) : pictureB(s, k);
    if (course.crossed(g.form.image(n).left)) anyCrossed = true;
  }
  if (!anyCrossed) return;
  for (int k = 1; k <= 10; ++k) {
    Picture& pic = g.form.image(pictureSetA ? pictureA(s, k) : pictureB(s, k));
    pic.left = course.lapBack(pic.left);
  }
  if (!countLap) return;
  s.lapsToGo -= 1;
  g.form.label(1).caption = num(s.lapsToGo);
  const float railLeft = course.leftward ? -520 : -720;
  g.form.label(7).left = railLeft;
  g.form.label(8).left = railLeft;
}

void checkLine(Game& g, const Course& course, bool finalLap) {
  GameState& s = g.state;
  if (finalLap) {
    const float x = g.form.image(pictureA(s, 10)).left;
    const bool inZone = course.leftward ? x < static_cast<float>(s.finishPostX + kOiFinishZone)
                                        : x > static_cast<float>(s.finishPostX - kOtherFinishZone);
    if (inZone) s.playerFinished = 1;
    return;
  }
  shiftBackIfCrossed(g, course, true, true);
  shiftBackIfCrossed(g, course, false, false);
}

}  // namespace

int16_t toInt16(int64_t v) {
  return static_cast<int16_t>(std::clamp<int64_t>(v, std::numeric_limits<int16_t>::min(),
                                                  std::numeric_limits<int16_t>::max()));
}

int32_t styleBonus(int32_t horseStyle, int32_t raceLaps, int32_t lapsToGo) {
  if (raceLaps == kLapsWithoutStyleBonus) return 0;
  if (horseStyle < 1 || horseStyle > 4 || lapsToGo < 0 || lapsToGo > 7) return 0;
  const StyleTable& table = raceLaps == 7 ? kStyleBonusSevenLaps : kStyleBonusOtherLaps;
  return table[static_cast<size_t>(horseStyle - 1)][static_cast<size_t>(lapsToGo)];
}

int32_t distanceBonus(int32_t horseDistance, int32_t raceLaps) {
  if (horseDistance < 1 || horseDistance > 3 || raceLaps < 1 || raceLaps > 7) return 0;
  return kDistanceBonus[static_cast<size_t>(horseDistance - 1)][static_cast<size_t>(raceLaps)];
}

bool runsLeftward(const GameState& s) {
  return s.venue == 1;
}

int pictureA(const GameState& s, int runner) {
  const RunnerPictures& p = kRunnerPictures[static_cast<size_t>(std::clamp(runner, 1, 10))];
  return runsLeftward(s) ? p.leftA : p.rightA;
}

int pictureB(const GameState& s, int runner) {
  const RunnerPictures& p = kRunnerPictures[static_cast<size_t>(std::clamp(runner, 1, 10))];
  return runsLeftward(s) ? p.leftB : p.rightB;
}

void runningTick(Game& g) {
  GameState& s = g.state;
  Form& f = g.form;
  const Course course{runsLeftward(s), static_cast<float>(s.finishPostX)};
  // The career never goes below the final lap; if it ever did, the race still ends there.
  const bool finalLap = s.lapsToGo <= 0;

  // The rails are the same every tick: made once, and put back only where something changed them.
  static const std::string kRail = repeat("┳", 500);
  if (f.label(7).caption != kRail) f.label(7).caption = kRail;
  if (f.label(8).caption != kRail) f.label(8).caption = kRail;
  if (course.leftward) {
    if (f.label(8).left > -300) f.label(7).left = f.label(8).left = -1800;
  } else if (f.label(7).left < -1500) {
    f.label(7).left = f.label(8).left = -230;
  }
  f.label(3).caption.clear();

  drawStrengths(g);
  showGoalPost(g, finalLap);

  if (s.playerFinished == 1) {
    // The field stands still while the announcer calls the finish.
    s.raceFinished = 1;
    s.afterFinishTicks += 1;
    if (s.afterFinishTicks > (s.runnerRank[10] == 1 ? kWinnerWait : kOtherWait))
      s.screenState = screen::kResults;
  } else {
    s.raceTicks += 1;
    f.label(2).caption = num(s.raceTicks);
    moveRivals(g, course, finalLap);
    movePlayer(g, course, finalLap);
    drawNextKey(g);
  }

  stepGait(g);
  checkLine(g, course, finalLap);
}

}  // namespace race
}  // namespace milka
