#include "race/final_straight.h"

#include "race/commentary.h"
#include "shell/game.h"

namespace milka {
namespace race {

namespace {

constexpr int kLineAfter = 6;  // a line needs more ticks than this since the last one

template <size_t N>
std::optional<std::string> callFor(const std::array<RunnerCall, N>& table, int stage, int pick,
                                   int runner, const LineFill& fill) {
  for (const RunnerCall& c : table)
    if (c.step == stage && c.choice == pick)
      return buildLine(runner == 10 ? c.player : c.rival, fill);
  return std::nullopt;
}

void speakOfPlace(Game& g, int place, auto lineFor) {
  for (int k = 1; k <= 10; ++k)
    if (g.state.runnerRank[k] == place) showLine(g, lineFor(k));
}

void leadCheck(Game& g, int stage, int pick) {
  GameState& s = g.state;
  const int leader = s.announcedLeader;
  if (!isRunner(leader)) {
    // Nobody named yet: whoever leads is called as holding the lead.
    const int k = runnerInPlace(s, 1);
    if (k != 0) {
      showLine(g, straightLine(s, stage, pick, k));
      s.announcedLeader = k;
    }
    return;
  }
  if (s.runnerRank[leader] == 1) {
    showLine(g, straightLine(s, stage, pick, leader));
    return;
  }
  for (int k : leadCheckOrder(leader)) {
    if (s.runnerRank[k] == 1) {
      showLine(g, leadChangeLine(s, stage, pick, k, leader));
      s.announcedLeader = k;
      break;
    }
  }
}

void straightStep(Game& g) {
  GameState& s = g.state;
  switch (s.straightStage) {
    case 0:
      showLine(g, straightLine(s, 0, drawPhrase(g, 6), 0));
      s.straightStage = 10;
      break;
    case 10:
      showLine(g, straightLine(s, 10, drawPhrase(g, 6), 0));
      s.straightStage = 1;
      break;
    case 1: {
      const int pick = drawPhrase(g, 3);
      speakOfPlace(g, 1, [&](int k) {
        s.announcedLeader = k;
        return straightLine(s, 1, pick, k);
      });
      s.straightStage = 2;
      break;
    }
    case 2: {
      const int pick = drawPhrase(g, 3);
      speakOfPlace(g, 2, [&](int k) { return straightLine(s, 2, pick, k); });
      s.straightStage = 3;
      break;
    }
    case 3:
      leadCheck(g, 3, drawPhrase(g, 3));
      s.straightStage = 4;
      break;
    case 4:
      leadCheck(g, 4, drawPhrase(g, 3));
      // Even odds of another lead check or of calling second place again first.
      s.phraseChoice = static_cast<int16_t>(g.rng.reseedPick(2) + 9);
      s.straightStage = s.phraseChoice == 10 ? 3 : 2;
      break;
    default: return;  // a stage the straight does not know says nothing
  }
  s.commentaryTicks = 0;
}

void finishStep(Game& g) {
  GameState& s = g.state;
  switch (s.finishStage) {
    case 0: showLine(g, finishLine(s, 0, drawPhrase(g, 6), 0)); break;
    case 1:
    case 3: {
      const int stage = s.finishStage;
      const int pick = drawPhrase(g, stage == 1 ? 3 : 4);
      speakOfPlace(g, 1, [&](int k) { return finishLine(s, stage, pick, k); });
      break;
    }
    case 2: {
      const int pick = drawPhrase(g, 3);
      speakOfPlace(g, 2, [&](int k) { return finishLine(s, 2, pick, k); });
      break;
    }
    default: return;  // all four calls made
  }
  s.commentaryTicks = 0;
  s.finishStage += 1;
}

}  // namespace

std::optional<std::string> straightLine(const GameState& s, int stage, int pick, int runner) {
  if (stage == 0 || stage == 10) {
    if (pick < 1 || pick > static_cast<int>(kSceneCalls.size())) return std::nullopt;
    const SceneCall& c = kSceneCalls[pick - 1];
    return buildLine(stage == 0 ? c.stage0 : c.stage10, fillFor(s, 0));
  }
  if (!isRunner(runner)) return std::nullopt;
  const LineFill fill = fillFor(s, runner);
  if (runner != 10) {
    for (const RunnerException& e : kStraightExceptions)
      if (e.step == stage && e.choice == pick && e.runner == runner) return buildLine(e.line, fill);
  }
  return callFor(kStraightCalls, stage, pick, runner, fill);
}

std::optional<std::string> leadChangeLine(const GameState& s, int stage, int pick, int newLeader,
                                          int passed) {
  if (!isRunner(newLeader) || !isRunner(passed)) return std::nullopt;
  LineFill fill = fillFor(s, newLeader);
  const LineFill other = fillFor(s, passed);
  fill.passedHorse = other.horse;
  fill.passedNo = other.number;
  for (const LeadChangeCall& c : kLeadChangeCalls)
    if (c.stage == stage && c.choice == pick) return buildLine(c.line, fill);
  return std::nullopt;
}

std::optional<std::string> finishLine(const GameState& s, int stage, int pick, int runner) {
  if (stage == 0) {
    if (pick < 1 || pick > static_cast<int>(kGoalCalls.size())) return std::nullopt;
    return buildLine(kGoalCalls[pick - 1], fillFor(s, 0));
  }
  if (!isRunner(runner)) return std::nullopt;
  return callFor(kFinishCalls, stage, pick, runner, fillFor(s, runner));
}

std::vector<int> leadCheckOrder(int leader) {
  std::vector<int> order;
  for (int k : {2, 1, 3, 4, 5, 6, 7, 8, 9, 10}) {
    // From runner 5 on, runner 4 waits in the passed leader's slot.
    if (k == 4 && leader >= 5 && leader <= 10) continue;
    if (k == leader) {
      if (leader >= 5) order.push_back(4);
      continue;
    }
    order.push_back(k);
  }
  return order;
}

void finalStraightTick(Game& g) {
  GameState& s = g.state;
  if (s.screenState != screen::kRace) return;
  if (s.raceFinished != 0) {
    // The finish cuts the straight short, whatever stage it had reached.
    if (s.commentaryTicks > kLineAfter) finishStep(g);
    return;
  }
  if (s.lapsToGo != 0 || s.commentaryTicks <= kLineAfter) return;
  measureLead(s);
  straightStep(g);
}

}  // namespace race
}  // namespace milka
