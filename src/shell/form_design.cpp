// The window as it was laid out: every control with its design-time properties.
#include "shell/form.h"

namespace milka {

namespace {

struct LabelDesign {
  int n;
  float left, top, width, height;
  FontFace face;
  float size;
  uint32_t fore;
  bool transparent;
  Align align;
  bool bold;
};

constexpr FontFace G = FontFace::Gothic;
constexpr FontFace M = FontFace::Mincho;
constexpr Align L = Align::Left;
constexpr Align C = Align::Centre;
constexpr bool T = true;   // transparent
constexpr bool O = false;  // opaque

// clang-format off
constexpr LabelDesign kLabels[] = {
  // n   left    top     width    height  font  size    text       back  align bold
  { 1,  5260,   520,    735,     375,    G,   11.25f, 0x000000, T,    L,    false},
  { 2,  6120,   240,    855,     375,    G,   12.0f,  0x000000, T,    L,    false},
  { 3,  4800,   840,    975,     255,    G,    9.0f,  0x000000, T,    L,    false},
  { 4,  4660,   520,    855,     375,    G,   12.0f,  0x000000, T,    L,    false},
  { 5,  5500,   520,    495,     255,    G,   12.0f,  0x000000, T,    L,    false},
  { 6,  4920,   255,    855,     360,    G,   12.0f,  0x000000, T,    L,    false},
  { 7,  -720,  1080, 245745,     375,    G,    9.0f,  0xFFFFFF, T,    L,    false},
  { 8,     0,  5400, 245745,     255,    G,    9.0f,  0xFFFFFF, T,    L,    false},
  { 9,     0,  5640,  15555,    2295,    G,    9.0f,  0x000000, O,    L,    false},
  {10,  2760,   255,   1215,     495,    G,   12.0f,  0x000000, T,    L,    false},
  {11,  1800,   520,    975,     360,    G,   14.25f, 0x000000, T,    L,    false},
  {12,  2400,   240,    735,     600,    G,   14.25f, 0x000000, T,    L,    false},
  {13,  1080,   240,   1455,     720,    G,   12.0f,  0x000000, T,    L,    false},
  {14,     0,   600,  10905,     975,    G,   48.0f,  0x0000FF, O,    C,    false},
  {15,     0,  2640,  10815,     735,    G,   14.25f, 0xFFFFFF, T,    C,    true },
  {16, kRowsHiddenLeft, 480, kRowWidth,     300,    M,   11.25f, 0x000000, O,    L,    false},
  {27,   840,  5760,   8895,     375,    M,   14.25f, 0x0000FF, T,    C,    true },
  {28,  3240,  5880,   7335,     375,    M,   11.25f, 0x000000, O,    L,    false},
  {29,  1200,  5760,   8175,     615,    M,   14.25f, 0x000000, T,    C,    false},
  {36,  3480,  5880,   1815,     495,    M,    9.0f,  0x000000, T,    L,    false},
  {37,  1680,   480,   7455,    1215,    M,   24.0f,  0x0000FF, T,    C,    false},
  {38,  3825,  4360,   5295,     615,    M,   12.0f,  0x000000, T,    L,    false},
  {39,  2880,  5640,   7935,     495,    M,   12.0f,  0x000040, T,    L,    false},
  {40,  3825,  3960,   6015,     615,    M,   11.25f, 0x000000, T,    L,    false},
};
// clang-format on

constexpr Coat kCoatOfRunner[11] = {Coat::Grey,  Coat::Grey,  Coat::Gold, Coat::Bay,
                                    Coat::Black, Coat::White, Coat::Gold, Coat::Black,
                                    Coat::Bay,   Coat::White, Coat::Grey};

// Right-facing pictures of runners 1..10 (frame A, frame B); the left-facing set is 23/24 .. 41/42.
constexpr int kRightFacing[11][2] = {{0, 0},   {1, 2},   {3, 4},   {5, 6},   {7, 8},  {10, 11},
                                     {13, 14}, {15, 16}, {17, 18}, {19, 20}, {21, 22}};

void place(Label& l, const LabelDesign& d) {
  l.left = d.left;
  l.top = d.top;
  l.width = d.width;
  l.height = d.height;
  l.face = d.face;
  l.fontSize = d.size;
  l.foreColour = d.fore;
  l.transparent = d.transparent;
  l.alignment = d.align;
  l.bold = d.bold;
}

}  // namespace

Form designForm() {
  Form f;
  f.caption = "ミルカリアプログラム:ミルカダービー";
  f.backColour = 0x80FF80;

  for (const LabelDesign& d : kLabels) place(f.label(d.n), d);
  for (int n = 17; n <= 26; ++n)
    place(f.label(n), {n, kRowsHiddenLeft, 960.0f + 360.0f * static_cast<float>(n - 17), kRowWidth,
                       300, M, 11.25f, 0x000000, O, L, false});
  for (int n = 30; n <= 35; ++n)
    place(f.label(n), {n, 3825, 2520.0f + 480.0f * static_cast<float>(n - 30), 6000, 300, M, 12.0f,
                       0xFF0000, T, L, false});

  f.label(14).caption = "ミルカダービー";
  f.label(14).backColour = 0xFFFF00;
  f.label(16).caption =
      "　　名前　　　　　　スピード　　　スタミナ　　　　気性　　　　足質　　　　成長　　　タイプ";
  f.label(39).backColour = 0x8080FF;

  // Runner sprites: the right-facing set, then the left-facing set 23..42.
  for (int runner = 1; runner <= 10; ++runner) {
    for (int frame = 0; frame < 2; ++frame) {
      Sprite right{SpriteKind::Horse, kCoatOfRunner[runner], false, frame};
      Sprite left{SpriteKind::Horse, kCoatOfRunner[runner], true, frame};
      f.image(kRightFacing[runner][frame]).sprite = right;
      f.image(21 + 2 * runner + frame).sprite = left;
    }
  }
  // The left-facing horses wait above the window on the right, where they set off from.
  for (int n = 23; n <= 42; ++n) {
    f.image(n).left = 9000;
    f.image(n).top = -3000;
  }
  // Lead pictures of the title gallop start at their rows' lefts.
  f.image(21).left = 960;
  f.image(20).left = 120;
  f.image(18).left = 1920;
  f.image(16).left = 1560;
  f.image(14).left = 2520;

  f.image(9) = {9360, 600, 600, 900, {SpriteKind::Tower, Coat::Grey, false, 0}};
  f.image(12) = {9360, 600, 600, 900, {SpriteKind::Pole, Coat::Grey, false, 0}};

  f.command(1) = {"Ａボタン", 5760, 6600, 1455, 715};
  f.command(2) = {"上", 1320, 5880, 1335, 495};
  f.command(3) = {"下", 1320, 6600, 1335, 495};
  f.command(4) = {"Ｂボタン", 3960, 6600, 1455, 715};
  f.command(5) = {"作者サイトへ:ミルカリアプログラム", 480, 7200, 3255, 495};

  f.text1 = {"", 7920, 6720, 1935, 495, 15.75f};
  f.text2 = {"", 8280, 6840, 855, 270, 9.0f};
  return f;
}

}  // namespace milka
