// The results board's fixed words and colours.
#pragma once

#include <array>
#include <cstdint>

namespace milka::race {

// clang-format off
// By venue 1..4.
constexpr std::array<const char*, 4> kBoardCourse = {
  "レース結果    大井競馬場    ",
  "レース結果    川崎競馬場    ",
  "レース結果    船橋競馬場    ",
  "レース結果    浦和競馬場    ",
};
// By trackSurface 1..3.
constexpr std::array<const char*, 3> kBoardSurface = {
  "     ダート",
  "     ドロ",
  "     芝",
};
// Each runner's row keeps the colour of its gate.
constexpr std::array<uint32_t, 11> kBoardRowColour = {
  0x000000,  // no runner 0
  0xEEEEEE,  // 1
  0xCDCDCD,  // 2
  0xFEB1BD,  // 3
  0x6696FD,  // 4
  0xFFFF99,  // 5
  0x10FF10,  // 6
  0xFFC040,  // 7
  0xFFC040,  // 8
  0xFF99FF,  // 9
  0xFF99FF,  // 10
};
// clang-format on
constexpr uint32_t kPlayerRowText = 0x1111FF;

constexpr const char* kRivalJockeyGap = "             ";  // between horse and jockey
constexpr const char* kPlayerTimeText = "             あなた      タイム";  // then the seconds
constexpr const char* kAfterRacePrompt = "■レース結果でした。Ａボタンを押して下さい";
constexpr uint32_t kAfterRaceBackground = 0xFFEEFF;

}  // namespace milka::race
