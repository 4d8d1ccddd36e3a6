// The screens, as GameState::screenState holds them. The numbers belong to the record and stay
// as they are: the journal's fingerprint of a game sums them.
#pragma once

#include <cstdint>

namespace milka::screen {

inline constexpr int32_t kTitle = 1;
inline constexpr int32_t kBreeding = 2;  // breeding and naming
inline constexpr int32_t kStable = 3;
inline constexpr int32_t kRaceCard = 6;
inline constexpr int32_t kRace = 7;
inline constexpr int32_t kResults = 8;
inline constexpr int32_t kPasture = 9;
inline constexpr int32_t kCareerOver = 10;
inline constexpr int32_t kFinished = -11;  // the closing words shown; nothing changes after

}  // namespace milka::screen
