#include "race/commentary.h"

#include <cmath>
#include <limits>

#include "race/ranking.h"
#include "shell/game.h"
#include "shell/text.h"

namespace milka {
namespace race {

namespace {

// The runner pictures the running model moves, runners 1 to 10: the left-facing set at 大井, the
// right-facing set elsewhere.
constexpr std::array<int, 11> kLeftFacing = {0, 23, 25, 27, 29, 31, 33, 35, 37, 39, 41};
constexpr std::array<int, 11> kRightFacing = {0, 1, 3, 5, 7, 10, 13, 15, 17, 19, 21};

constexpr int kFirstStep = 0;
constexpr int kLastStep = 14;
constexpr int kLineEvery = 7;  // ticks between lines

// A picture's left edge as a whole number of units. The pictures stay well inside the window;
// the clamp only keeps a wild value from overflowing what the order and the margins work on.
int32_t unitsOf(float left) {
  const double x = static_cast<double>(left);
  if (std::isnan(x)) return 0;
  constexpr double kFar = 1e9;
  return roundHalfEven(x < -kFar ? -kFar : (x > kFar ? kFar : x));
}

void samplePositions(Game& g) {
  GameState& s = g.state;
  for (int k = 1; k <= 10; ++k) {
    if (s.venue == 1) {
      // At 大井 the field runs right to left, so the smaller edge is the one further on.
      s.runnerLeftRaw[k] = unitsOf(g.form.image(kLeftFacing[k]).left);
      s.runnerPos[k] = -s.runnerLeftRaw[k];
    } else {
      s.runnerPos[k] = unitsOf(g.form.image(kRightFacing[k]).left);
    }
  }
}

template <size_t N>
const Line* lineAt(const std::array<Line, N>& table, int choice) {
  return (choice >= 1 && static_cast<size_t>(choice) <= N) ? &table[choice - 1] : nullptr;
}

std::optional<std::string> filled(const Line* line, const LineFill& fill) {
  if (line == nullptr) return std::nullopt;
  return buildLine(*line, fill);
}

// The words for a runner: the player's column for runner 10, else a rival's own exception or his
// column.
std::optional<std::string> runnerLine(const GameState& s, int step, int choice, int runner) {
  if (!isRunner(runner)) return std::nullopt;
  const LineFill fill = fillFor(s, runner);
  if (runner != 10) {
    for (const RunnerException& e : kRunnerExceptions)
      if (e.step == step && e.choice == choice && e.runner == runner)
        return buildLine(e.line, fill);
  }
  for (const RunnerCall& c : kRunnerCalls)
    if (c.step == step && c.choice == choice)
      return buildLine(runner == 10 ? c.player : c.rival, fill);
  return std::nullopt;
}

int spreadColumn(int32_t lengths) {
  if (lengths <= 5) return 1;
  if (lengths <= 10) return 2;
  return 3;
}

std::optional<std::string> spreadLine(const GameState& s, int choice) {
  const int column = spreadColumn(s.marginLengths);
  const LineFill fill = fillFor(s, 0);
  for (const SpreadCall& c : kSpreadCalls)
    if (c.choice == choice && c.column == column) return buildLine(c.line, fill);
  return std::nullopt;
}

int64_t gapBetweenPlaces(const GameState& s, int ahead, int behind) {
  const int a = runnerInPlace(s, ahead);
  const int b = runnerInPlace(s, behind);
  if (a == 0 || b == 0) return 0;
  return int64_t{s.runnerPos[a]} - s.runnerPos[b];
}

// One step of the script; every step but the start waits for its line slot.
void scriptStep(Game& g) {
  GameState& s = g.state;
  const int step = s.commentaryState;
  if (step == kFirstStep) {
    const int choice = drawPhrase(g, 4);
    showLine(g, scriptLine(s, 0, choice, 0));
    s.commentaryState = 1;
    return;
  }
  // The leader, spread and margin lines speak of the order of the tick before they are spoken.
  if ((step == 2 || step == 12 || step == kLastStep) &&
      (s.commentaryTicks == 4 || s.commentaryTicks == 5))
    s.rerankRequested = 1;
  if (s.commentaryTicks < kLineEvery) return;

  int next = step;
  if (step == 1) {
    // The start's own choice picks its follow-up.
    showLine(g, scriptLine(s, 1, s.phraseChoice, 0));
    s.rerankRequested = 1;
    next = 2;
  } else if (step >= 2 && step <= 11) {
    const int choice = drawPhrase(g, 3);
    showLine(g, scriptLine(s, step, choice, runnerInPlace(s, placeOfStep(step))));
    next = step + 1;
  } else if (step == 12) {
    s.marginLengths = lengthsOf(gapBetweenPlaces(s, 1, 10));
    const int choice = drawPhrase(g, 4);
    showLine(g, scriptLine(s, 12, choice, 0));
    next = 13;
  } else if (step == 13) {
    const int choice = drawPhrase(g, 4);
    showLine(g, scriptLine(s, 13, choice, 0));
    next = 14;
  } else if (step == kLastStep) {
    measureLead(s);
    const int choice = drawPhrase(g, 6);
    showLine(g, scriptLine(s, 14, choice, runnerInPlace(s, 1)));
    next = 3;  // the field again from second place
  } else {
    return;  // a step the script does not know says nothing
  }
  s.commentaryState = next;
  s.commentaryTicks = 0;
}

}  // namespace

int16_t drawPhrase(Game& g, int32_t n) {
  g.state.phraseChoice = static_cast<int16_t>(g.rng.reseedPick(n));
  return g.state.phraseChoice;
}

void showLine(Game& g, const std::optional<std::string>& line) {
  if (line) g.form.label(39).caption = *line;
}

int32_t lengthsOf(int64_t units) {
  return roundHalfEven(static_cast<double>(units) / 500.0);
}

std::string marginTextOf(int32_t lengths) {
  return lengths == 0 ? "半" : num(lengths);
}

void measureLead(GameState& s) {
  s.marginLengths = lengthsOf(gapBetweenPlaces(s, 1, 2));
  s.marginText = marginTextOf(s.marginLengths);
}

std::string buildLine(const Line& line, const LineFill& fill) {
  std::string out;
  for (const Piece& p : line) {
    switch (p.slot) {
      case Slot::Text: out += p.text; break;
      case Slot::Horse: out += fill.horse; break;
      case Slot::Jockey: out += fill.jockey; break;
      case Slot::No: out += fill.number; break;
      case Slot::Margin: out += fill.margin; break;
      case Slot::Spread: out += fill.spread; break;
      case Slot::Race: out += fill.race; break;
      case Slot::Laps: out += fill.laps; break;
      case Slot::PassedHorse: out += fill.passedHorse; break;
      case Slot::PassedNo: out += fill.passedNo; break;
    }
  }
  return out;
}

LineFill fillFor(const GameState& s, int runner) {
  LineFill fill;
  fill.margin = s.marginText;
  fill.spread = num(s.marginLengths);
  fill.race = s.raceName;
  fill.laps = num(s.lapsToGo);
  if (runner >= 1 && runner <= 9) {
    fill.horse = s.runnerName[runner];
    fill.jockey = s.jockeyName[runner];
    fill.number = num(runner);
  } else if (runner == 10) {
    fill.horse = s.horseName;
    fill.number = num(runner);
  }
  return fill;
}

int runnerInPlace(const GameState& s, int place) {
  for (int k = 1; k <= 10; ++k)
    if (s.runnerRank[k] == place) return k;
  return 0;
}

int placeOfStep(int step) {
  for (const RunnerCall& c : kRunnerCalls)
    if (c.step == step) return c.place;
  return 0;
}

std::optional<std::string> scriptLine(const GameState& s, int step, int choice, int runner) {
  switch (step) {
    case 0: return filled(lineAt(kStartCalls, choice), fillFor(s, 0));
    case 1: return filled(lineAt(kStartFollowUps, choice), fillFor(s, 0));
    case 12: return spreadLine(s, choice);
    case 13: return filled(lineAt(kLinkCalls, choice), fillFor(s, 0));
    default: return runnerLine(s, step, choice, runner);
  }
}

void commentaryTick(Game& g) {
  GameState& s = g.state;
  if (s.screenState != screen::kRace || s.startCountdown >= 0) return;
  samplePositions(g);
  // On the final lap the order is kept fresh every tick for the final straight.
  if (s.lapsToGo == 0) s.rerankRequested = 1;
  if (s.rerankRequested == 1) {
    s.runnerRank = rankRunners(s.runnerPos);
    s.rerankRequested = 0;
  }
  if (s.commentaryTicks < std::numeric_limits<int32_t>::max()) s.commentaryTicks += 1;
  if (s.lapsToGo == 0) return;
  scriptStep(g);
}

}  // namespace race
}  // namespace milka
