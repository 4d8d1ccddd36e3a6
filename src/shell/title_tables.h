// The title screen's five galloping horses and its colours.
#pragma once

#include <array>
#include <cstdint>

namespace milka::shell {

struct GallopRow {
  int lead, follower;
  float step;     // twips per tick
  float rowTop;   // where the shown picture runs
  int shownOdd;   // the picture shown when the frame toggle was 1
  int shownEven;  // ... and when it was 0
};

// clang-format off
constexpr std::array<GallopRow, 5> kGallopRows = {{
  // lead follower step    row top  toggle 1  toggle 0
  {21,   22,       50.0f,  4500.0f, 22,       21},
  {20,   19,       60.0f,  3500.0f, 20,       19},
  {18,   17,       30.0f,  4000.0f, 18,       17},
  {16,   15,       20.0f,  2000.0f, 16,       15},
  {14,   13,      100.0f,    40.0f, 14,       13},
}};
// clang-format on

// Two of the horses find a second wind once past their mark.
struct LateSpurt {
  int picture;
  float mark;
  float extra;
};

// clang-format off
constexpr std::array<LateSpurt, 4> kLateSpurts = {{
  // picture mark     extra
  {15,       2500.0f, 120.0f},
  {16,       2500.0f, 120.0f},
  {17,       1500.0f, 100.0f},
  {18,       1500.0f, 100.0f},
}};
// clang-format on

// The title's background, four ticks to a colour.
// clang-format off
constexpr std::array<uint32_t, 3> kTitleColours = {
    0xCCFF11,
    0xFFFF11,
    0xAAFF11,
};
// clang-format on

}  // namespace milka::shell
