// The horses that graze on the naming screens and in the pasture: one pair of gait pictures per
// horse, in the order they are moved (each pair takes its own random step, so the order decides
// which horse gets which draw).
#pragma once

#include <array>

namespace milka::career {

enum class Heading { Right, Left };
// Whether the second picture of a pair is walked on from the first one's new place, or from
// where it stands itself.
enum class Follows { First, Own };

struct GrazingPair {
  int first, second;
  float firstTopA, secondTopA;  // tops while gaitFrame is 1
  float firstTopB, secondTopB;  // tops while gaitFrame is 0
  int stride;                   // the step is Int(Rnd × stride) + 1 ...
  int base;                     // ... plus this
  Heading heading;
  Follows follows;
};

constexpr Heading R = Heading::Right;
constexpr Heading L = Heading::Left;
constexpr Follows F = Follows::First;
constexpr Follows O = Follows::Own;

// clang-format off
// The naming screens.
constexpr std::array<GrazingPair, 5> kGrazingA = {{
  // first second  1: first   second    0: first   second   stride base heading follows
  {13,   14,       200.0f,  -1100.0f,  -1100.0f,   200.0f,  80,    50,  R,      F},
  {15,   16,       600.0f,  -3100.0f,  -3100.0f,   600.0f, 160,   100,  R,      O},
  {23,   24,       790.0f,  -2150.0f,  -2500.0f,   790.0f,  60,    50,  L,      F},
  {27,   28,      1000.0f,  -3600.0f,  -4000.0f,  1000.0f,  50,    50,  L,      O},
  {31,   32,       400.0f,  -1500.0f,  -1550.0f,   450.0f,  80,    50,  L,      F},
}};

// The pasture: a picture out of sight sits as far above the window as it grazes below the top,
// except the last pair's.
constexpr std::array<GrazingPair, 8> kGrazingB = {{
  // first second  1: first   second    0: first   second   stride base heading follows
  {13,   14,      1100.0f,  -1100.0f,  -1100.0f,  1100.0f,  80,    50,  R,      F},
  {15,   16,      3100.0f,  -3100.0f,  -3100.0f,  3100.0f,  60,    50,  R,      O},
  {17,   18,      2500.0f,  -2500.0f,  -2500.0f,  2500.0f,  70,    50,  R,      F},
  {19,   20,      4000.0f,  -4000.0f,  -4000.0f,  4000.0f,  80,    50,  R,      F},
  {21,   22,      1550.0f,  -1550.0f,  -1550.0f,  1550.0f,  50,    50,  R,      F},
  {23,   24,      2150.0f,  -2150.0f,  -2150.0f,  2150.0f,  60,    50,  L,      F},
  {25,   26,      3600.0f,  -3600.0f,  -3600.0f,  3600.0f,  50,    50,  L,      F},
  {27,   28,       500.0f,  -1500.0f,  -1500.0f,   500.0f,  80,    50,  L,      F},
}};
// clang-format on

}  // namespace milka::career
