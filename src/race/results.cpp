#include "race/results.h"

#include "race/board_tables.h"
#include "race/ranking.h"
#include "race/running_tables.h"
#include "shell/game.h"
#include "shell/text.h"

namespace milka {
namespace race {

namespace {

// A bonus drawn uniformly from lowest .. lowest + width - 1, after a re-seed.
int32_t bonus(Game& g, int32_t width, int32_t lowest) {
  g.rng.Randomize();
  return g.rng.pick(width) - 1 + lowest;
}

void recordTopRace(GameState& s, int month) {
  s.bigRaceWon[month] = 1;
  s.bigRaceTime[month] = s.raceTicks;
}

// The steps keep their order: each bonus is its own draw. Only the top races of months 1 to 9
// open the sending of the times.
void bookWin(Game& g) {
  GameState& s = g.state;
  s.horseClass += 1;
  for (int m = 1; m <= 8; ++m) {
    if (s.bigRaceEntered[m] != 1) continue;
    recordTopRace(s, m);
    s.sendEnabled = 1;
  }
  if (s.bigRaceEntered[9] == 1) {
    s.sendEnabled = 1;
    recordTopRace(s, 9);
    s.horseWhips += bonus(g, 10, 5);
  }
  if (s.bigRaceEntered[10] == 1) {
    recordTopRace(s, 10);
    s.horseWhips += bonus(g, 15, 10);
  }
  if (s.bigRaceEntered[11] == 1) {
    s.horseWhips += bonus(g, 30, 20);
    recordTopRace(s, 11);
  }
  if (s.bigRaceEntered[12] == 1) recordTopRace(s, 12);
  s.horseSpeed += bonus(g, 3, 1);
  s.horseWhips += bonus(g, 5, 1);
}

void clearScene(Game& g) {
  for (int n = 1; n <= kImageCount; ++n) g.form.image(n).top = -2300;
  for (int n : {4, 5, 6, 36, 12, 13, 11, 2, 1}) g.form.label(n).caption.clear();
}

}  // namespace

std::string boardRow(const GameState& s, int place, int runner) {
  const std::string head =
      num(place) + "着" + spaces(runner == 10 ? 7 : 8) + num(runner) + "番" + spaces(15);
  if (runner == 10) return head + s.horseName + kPlayerTimeText + num(s.raceTicks) + "秒";
  if (runner < 1 || runner > 9) return head;
  return head + s.runnerName[runner] + kRivalJockeyGap + s.jockeyName[runner] + "騎手";
}

void resultsBoardTick(Game& g) {
  GameState& s = g.state;
  Form& f = g.form;
  if (s.screenState != screen::kResults || s.resultsShown != 0) return;

  clearScene(g);

  // Seen from the right-facing pictures, a larger left edge is further ahead on every course.
  Family<float, 10> progress{};
  for (int k = 1; k <= 10; ++k) {
    const RunnerPictures& pics = kRunnerPictures[static_cast<size_t>(k)];
    Picture& right = f.image(pics.rightA);
    if (s.venue == 1) right.left = -f.image(pics.leftA).left;
    progress[k] = right.left;
  }
  // Placed afresh rather than counted up from what finishPlace holds, so a board can never
  // show a place twice whatever the last race left behind.
  s.finishPlace = rankRunners(progress);
  s.resultsShown = 1;

  Label& header = f.label(27);
  header.top = 300;
  if (s.venue >= 1 && s.venue <= 4 && s.trackSurface >= 1 && s.trackSurface <= 3)
    header.caption = std::string(kBoardCourse[static_cast<size_t>(s.venue - 1)]) + s.raceName +
                     kBoardSurface[static_cast<size_t>(s.trackSurface - 1)];

  for (int n = 17; n <= 26; ++n) f.label(n).left = 915;

  for (int place = 1; place <= 10; ++place) {
    for (int k = 1; k <= 10; ++k) {
      if (s.finishPlace[k] != place) continue;
      Label& row = f.label(16 + place);
      row.caption = boardRow(s, place, k);
      row.backColour = kBoardRowColour[static_cast<size_t>(k)];
      if (k != 10) continue;
      row.foreColour = kPlayerRowText;
      if (place == 1)
        bookWin(g);
      else
        s.placeCount[place] += 1;
    }
  }
}

void afterRacePrompt(Game& g) {
  g.form.backColour = kAfterRaceBackground;
  g.form.label(28).caption = kAfterRacePrompt;
}

}  // namespace race
}  // namespace milka
