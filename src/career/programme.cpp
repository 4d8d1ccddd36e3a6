// The race programme. Two-year-olds run the juvenile races whatever their record; from three
// the class step picks the race, and a horse that has still not won by the summer of its third
// or fourth year is retired.
#include "career/programme.h"

#include <algorithm>

#include "career/programme_tables.h"
#include "shell/game.h"

namespace milka {
namespace career {

namespace {

constexpr int32_t kFirstGradedStep = 10;
constexpr int32_t kFirstTopStep = 14;
constexpr int32_t kRetirementMonth = 7;

void run(GameState& s, const char* name, int32_t laps) {
  s.raceName = name;
  s.lapsToGo = laps;
}

void retire(GameState& s) {
  run(s, kOpenRaceName, 2);
  s.screenState = screen::kCareerOver;
}

}  // namespace

void lookUpRace(Game& g) {
  GameState& s = g.state;
  if (s.horseAge >= 5) {
    s.screenState = screen::kCareerOver;
    return;
  }
  const int32_t month = std::clamp(s.month, 1, 12);

  if (s.horseAge <= 2) {
    // The juvenile programme opens in month 7; nothing earlier exists.
    const ProgrammeRace& race = kAgeTwoRaces[std::max(month, 7)];
    run(s, race.name, race.laps);
    return;
  }

  const int32_t step = std::max(s.horseClass, 0);
  if (step == 0) {
    if (month >= kRetirementMonth)
      retire(s);
    else
      run(s, kOpenRaceName, kClassRaceLaps[month][0]);
    return;
  }
  if (step < kFirstGradedStep) {
    run(s, kClassRaceNames[step], kClassRaceLaps[month][step]);
    return;
  }
  if (step >= kFirstTopStep) {
    const TopRace& top = kTopRaces[month];
    if (!top.needsLastMonthsWin || s.bigRaceWon[month - 1] == 1) {
      run(s, top.name, top.laps);
      s.bigRaceEntered[month] = 1;
      return;
    }
  }
  const ProgrammeRace& graded = kGradedRaces[month];
  run(s, graded.name, graded.laps);
}

std::string classWord(int32_t horseClass, int32_t horseAge) {
  if (horseAge <= 2) return kClassWords[0];
  return kClassWords[std::clamp(horseClass, 0, kFirstTopStep)];
}

int32_t venueOfMonth(int32_t month) {
  return (month >= 1 && month <= 12) ? kVenueOfMonth[month] : 1;
}

}  // namespace career
}  // namespace milka
