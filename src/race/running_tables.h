// The fixed numbers of a running race: the two picture sets with their lanes, and the bonuses
// the player's horse gets for its running style and its distance.
#pragma once

#include <array>
#include <cstdint>

namespace milka::race {

struct RunnerPictures {
  int leftA, leftB;    // the left-facing pair, used at 大井
  int rightA, rightB;  // the right-facing pair, used at the other courses
  float laneTop;
  float parkedTopA;  // where picture A waits above the window while B is shown
};

// Picture B always waits at this height while A is shown.
constexpr float kParkedTopB = -2460;

// clang-format off
constexpr std::array<RunnerPictures, 11> kRunnerPictures = {{
  // 大井 A  B   other A  B  lane    parked A
  { 0,  0,      0,  0,      0,     0},  // no runner 0
  {23, 24,      1,  2,   1200, -2460},  // 1
  {25, 26,      3,  4,   1600, -2560},  // 2
  {27, 28,      5,  6,   2000, -3060},  // 3
  {29, 30,      7,  8,   2400, -3560},  // 4
  {31, 32,     10, 11,   2800, -4060},  // 5
  {33, 34,     13, 14,   3200, -2460},  // 6
  {35, 36,     15, 16,   3600, -2460},  // 7
  {37, 38,     17, 18,   4000, -2460},  // 8
  {39, 40,     19, 20,   4400, -2460},  // 9
  {41, 42,     21, 22,   4800, -2460},  // 10
}};
// clang-format on

// Running-style bonus by horseStyle 1..4 (逃げ, 先行, 差し, 追込) and lapsToGo 0..7.
using StyleTable = std::array<std::array<int32_t, 8>, 4>;

// clang-format off
// Races of seven laps.
constexpr StyleTable kStyleBonusSevenLaps = {{
  // 0   1   2   3   4   5   6   7
  {  0,  0,  5,  5, 10, 10, 20, 20},  // 逃げ
  {  0,  0,  5,  5, 20, 20, 10, 10},  // 先行
  { 10, 10, 20, 20,  0,  0,  5,  5},  // 差し
  { 20, 20, 10, 10,  5,  5,  0,  0},  // 追込
}};
// Races of every other length but six laps, which give no bonus.
constexpr StyleTable kStyleBonusOtherLaps = {{
  // 0   1   2   3   4   5   6   7
  {  0,  5,  5, 10, 10, 20, 20,  0},  // 逃げ
  {  0,  5,  5, 20, 20, 10, 10,  0},  // 先行
  { 10, 10, 20, 20,  0,  5,  5,  0},  // 差し
  { 20, 20, 10, 10,  5,  5,  0,  0},  // 追込
}};
// clang-format on
constexpr int32_t kLapsWithoutStyleBonus = 6;

// Distance bonus by horseDistance 1..3 (short, middle, long) and raceLaps 1..7; other lengths
// give none.
// clang-format off
constexpr std::array<std::array<int32_t, 8>, 3> kDistanceBonus = {{
  //   laps 1   2   3   4   5   6   7
  {0,      10, 10,  5,  5,  5,  0,  0},  // short
  {0,       0,  0,  5, 10, 10,  5,  0},  // middle
  {0,       0,  0,  0,  5,  5, 10, 10},  // long
}};
// clang-format on

}  // namespace milka::race
