// The game-state record: every variable of one game, named as the game's rules name them.
// Families that the code loops over are 1-based arrays (runnerName[k] is the name of runner k);
// element 0 is never used. Integers are 32-bit unless the rule makes them 16-bit.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "shell/screens.h"

namespace milka {

template <typename T, int N>
using Family = std::array<T, N + 1>;  // indices 1..N

struct GameState {
  // Input pacing and screen.
  int32_t buttonTicks = 0;
  int32_t screenState = 0;  // one of screen::kTitle .. screen::kFinished (shell/screens.h)

  // Breeding and naming.
  int32_t setupPhase = 0;
  int32_t cursorRow = 0;
  int32_t tablePage = 0;
  int32_t nameLength = 0;
  int32_t sireIndex = 0, damIndex = 0;
  int32_t sireSpeed = 0, sireStamina = 0, sireTemper = 0, sireStyle = 0, sireGrowth = 0,
          sireDistance = 0;
  int32_t damSpeed = 0, damStamina = 0, damTemper = 0, damStyle = 0, damGrowth = 0, damDistance = 0;
  Family<int16_t, 6> foalRoll{};

  // The player's horse.
  std::string horseName;
  int32_t horseSpeed = 0;
  int32_t horseWhips = 0;
  int32_t horseKeys = 0;
  int32_t horseStyle = 0;     // 1 逃げ, 2 先行, 3 差し, 4 追込
  int32_t horseGrowth = 0;    // 1 early, 2 normal, 3 late
  int32_t horseDistance = 0;  // 1 short, 2 middle, 3 long
  int32_t bodyWeight = 0, bestWeight = 0;
  int32_t horseAge = 0;
  int32_t horseClass = 0;  // class step, which is also the count of wins
  int32_t racesRun = 0;

  // Calendar and the next race.
  int32_t month = 0;
  std::string raceName;
  int32_t venue = 0;         // 1 大井, 2 川崎, 3 船橋, 4 浦和
  int32_t trackSurface = 0;  // 1 ダート, 2 ドロ, 3 芝
  int32_t lapsToGo = 0;
  int32_t finishPostX = 0;
  Family<int32_t, 9> rivalPick{};
  Family<int32_t, 9> jockeyPick{};
  Family<std::string, 9> runnerName{};
  Family<std::string, 9> jockeyName{};
  int16_t pickTemp = 0;

  // Top races and results, by month 1..12.
  Family<int32_t, 12> bigRaceEntered{};
  Family<int32_t, 12> bigRaceWon{};
  Family<int32_t, 12> bigRaceTime{};
  int32_t sendEnabled = 0;
  Family<int32_t, 10> finishPlace{};
  Family<int32_t, 10> placeCount{};  // placeCount[2] .. placeCount[10]; wins are horseClass
  int32_t resultsShown = 0;

  // Key input.
  int16_t keySymbolIndex = 0;
  std::string targetKey;
  int32_t keyPromptState = 0;  // 0 none yet, 1 typed, 2 new symbol waiting, 3 whip just given

  // The race.
  int32_t raceLaps = 0;
  int32_t startCountdown = 0;
  int32_t countdownStep = 0;
  int16_t phraseChoice = 0;
  int32_t surfaceOffset = 0;
  int32_t raceTicks = 0;
  int32_t playerFinished = 0;
  int32_t afterFinishTicks = 0;
  int32_t raceFinished = 0;
  int32_t gaitFrame = 0;
  Family<std::array<int32_t, 8>, 9> runnerAbility{};  // [k][lapsToGo]
  Family<std::array<int32_t, 8>, 9> jockeyAbility{};
  Family<int16_t, 10> runnerPower{};
  Family<int16_t, 9> jockeyPower{};
  int32_t rollTemp = 0;

  // Running order and commentary.
  Family<int32_t, 10> runnerPos{};
  Family<int32_t, 10> runnerLeftRaw{};
  Family<int32_t, 10> runnerRank{};
  int32_t rerankRequested = 0;
  int32_t commentaryState = 0;
  int32_t commentaryTicks = 0;
  int32_t marginLengths = 0;
  std::string marginText;
  int32_t straightStage = 0;
  int32_t finishStage = 0;
  int32_t announcedLeader = 0;

  // Title animation.
  int32_t titleColourTicks = 0;
  int32_t promptBlinkTicks = 0;
  int32_t titleFrameToggle = 0;

  bool operator==(const GameState&) const = default;
};

}  // namespace milka
