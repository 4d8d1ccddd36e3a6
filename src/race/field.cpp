#include "race/field.h"

#include <algorithm>

#include "race/jockey_tables.h"
#include "shell/game.h"

namespace milka {
namespace race {

namespace {

constexpr int32_t kTableSize = 34;
constexpr int32_t kTierLevels = 17;  // a 2-year-old's gate draws its level from 1..17

// The career only ever draws 1..34; anything else is held to the table's ends.
size_t entryIndex(int32_t pick) {
  return static_cast<size_t>(std::clamp(pick, 1, kTableSize) - 1);
}

}  // namespace

const RivalTable& rivalTableOfLevel(int32_t level) {
  if (level <= 6) return kWeakRivals;
  if (level <= 12) return kMiddleRivals;
  return kStrongRivals;
}

std::array<int32_t, 8> classAdjustment(int32_t horseClass) {
  std::array<int32_t, 8> added{};
  if (horseClass <= 0) return added;
  if (horseClass < kFirstRowClass) {
    added.fill(kStepPerClass * horseClass);
    return added;
  }
  const size_t row =
      std::min(static_cast<size_t>(horseClass - kFirstRowClass), kClassAdjustment.size() - 1);
  return kClassAdjustment[row];
}

void makeRivalRow(Game& g, int gate) {
  if (gate < 1 || gate > 9) return;
  GameState& s = g.state;

  const int32_t level = s.horseAge == 2 ? g.rng.pick(kTierLevels) : s.horseClass;
  const RivalEntry& horse = rivalTableOfLevel(level)[entryIndex(s.rivalPick[gate])];
  const std::array<int32_t, 8> added = classAdjustment(s.horseClass);
  std::array<int32_t, 8>& ability = s.runnerAbility[gate];
  for (size_t i = 0; i < 8; ++i) ability[i] = horse.ability[i] + added[i];
  for (const BigRaceBonus& bonus : kBigRaceBonus)
    if (s.bigRaceEntered[bonus.month] == 1)
      for (size_t i = 0; i < 8; ++i) ability[i] += bonus.added[i];
  s.runnerName[gate] = horse.name;

  const JockeyEntry& jockey = kJockeys[entryIndex(s.jockeyPick[gate])];
  std::array<int32_t, 8>& riding = s.jockeyAbility[gate];
  // Only the four courses have a final-lap value; any other venue rides as at 大井.
  const size_t course = (s.venue >= 1 && s.venue <= 4) ? static_cast<size_t>(s.venue - 1) : 0;
  riding[0] = jockey.finalLap[course];
  for (size_t i = 1; i < 8; ++i) riding[i] = jockey.earlier[i - 1];
  s.jockeyName[gate] = jockey.name;
}

}  // namespace race
}  // namespace milka
