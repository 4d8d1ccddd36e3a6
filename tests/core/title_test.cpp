// The title animation, one Timer4 tick at a time from start-up.
#include <gtest/gtest.h>

#include "scripted_random.h"

namespace milka {
namespace {

using testing::ScriptedGame;

constexpr const char* kPrompt = "画面下のＡボタンを押して下さい↓";

void tick(ScriptedGame& g, int n) {
  for (int i = 0; i < n; ++i) g.game.Timer4_Timer();
}

TEST(TitleAnimation, FirstTickAfterStartUp) {
  ScriptedGame g;
  tick(g, 1);
  const Form& f = g.game.form;
  EXPECT_EQ(f.label(15).caption, "");
  EXPECT_EQ(f.label(15).foreColour, 0xFFFFFFu);
  EXPECT_EQ(f.label(14).backColour, 0xCCFF11u);
  EXPECT_EQ(f.label(14).left, -70.0f);
  EXPECT_EQ(f.label(14).top, 580.0f);
  // clang-format off
  const float rows[][3] = {
    // shown  parked  row top
    {21,      22,     4500},
    {19,      20,     3500},
    {17,      18,     4000},
    {15,      16,     2000},
    {13,      14,       40},
  };
  // clang-format on
  for (const auto& row : rows) {
    EXPECT_EQ(f.image(static_cast<int>(row[0])).top, row[2]) << row[0];
    EXPECT_EQ(f.image(static_cast<int>(row[1])).top, -2460.0f) << row[1];
  }
  // Each lead steps on and its follower is placed one step ahead of it.
  EXPECT_EQ(f.image(21).left, 1010.0f);
  EXPECT_EQ(f.image(22).left, 1060.0f);
  EXPECT_EQ(f.image(20).left, 180.0f);
  EXPECT_EQ(f.image(19).left, 240.0f);
  EXPECT_EQ(f.image(18).left, 1950.0f + 100.0f);  // already past its mark: the spurt
  EXPECT_EQ(f.image(17).left, 1980.0f + 100.0f);
  EXPECT_EQ(f.image(16).left, 1580.0f);
  EXPECT_EQ(f.image(15).left, 1600.0f);
  EXPECT_EQ(f.image(14).left, 2620.0f);
  EXPECT_EQ(f.image(13).left, 2720.0f);
  EXPECT_EQ(g.game.state.titleFrameToggle, 1);
}

TEST(TitleAnimation, SecondTickShowsTheOtherFrames) {
  ScriptedGame g;
  tick(g, 2);
  const Form& f = g.game.form;
  for (int n : {22, 20, 18, 16, 14}) EXPECT_NE(f.image(n).top, -2460.0f) << n;
  for (int n : {21, 19, 17, 15, 13}) EXPECT_EQ(f.image(n).top, -2460.0f) << n;
  EXPECT_EQ(f.label(14).left, 0.0f);
  EXPECT_EQ(f.label(14).top, 610.0f);
}

TEST(TitleAnimation, ThePromptBlinksOverSevenTicksAndTheColourCyclesOverTwelve) {
  ScriptedGame g;
  const Form& f = g.game.form;
  for (int round = 0; round < 2; ++round) {
    for (int t = 1; t <= 7; ++t) {
      tick(g, 1);
      EXPECT_EQ(f.label(15).caption, t > 2 ? kPrompt : "") << round << " " << t;
      EXPECT_EQ(f.label(15).foreColour, t == 5 ? 0x0000FFu : 0xFFFFFFu) << round << " " << t;
    }
  }
  ScriptedGame h;
  for (int round = 0; round < 2; ++round)
    for (int t = 1; t <= 12; ++t) {
      tick(h, 1);
      const uint32_t expected = t <= 4 ? 0xCCFF11u : t <= 8 ? 0xFFFF11u : 0xAAFF11u;
      EXPECT_EQ(h.game.form.label(14).backColour, expected) << round << " " << t;
    }
}

TEST(TitleAnimation, TheTitleIsLiftedBackOnTick48AndEvery58AfterThat) {
  ScriptedGame g;
  const Label& title = g.game.form.label(14);
  int resets = 0;
  for (int t = 1; t <= 48 + 58; ++t) {
    const float before = title.top;
    tick(g, 1);
    if (title.top < before - 20) {
      ++resets;
      EXPECT_TRUE(t == 48 || t == 106) << t;
      EXPECT_EQ(title.top, 550.0f) << t;
    }
    if (t == 47) {
      EXPECT_EQ(title.top, 810.0f);
    }
  }
  EXPECT_EQ(resets, 2);
}

TEST(TitleAnimation, ATopThatSkips840IsNeverReset) {
  ScriptedGame g;
  g.game.form.label(14).top = 815;  // the bob now runs 795, 825, 805, 835, 815, 845 ...
  tick(g, 12);
  EXPECT_EQ(g.game.form.label(14).top, 875.0f);
}

TEST(TitleAnimation, HorsesWrapToTheLeftEdgeAndSpurtPastTheirMarks) {
  ScriptedGame g;
  Form& f = g.game.form;
  f.image(21).left = 10860;  // one step takes it past the right edge
  f.image(16).left = 2470;   // reaches its mark this tick
  tick(g, 1);
  EXPECT_EQ(f.image(21).left, -30.0f);
  EXPECT_EQ(f.image(22).left, -30.0f);
  EXPECT_EQ(f.image(16).left, 2490.0f);  // 2490 is short of 2500
  EXPECT_EQ(f.image(15).left, 2510.0f + 120.0f);
  tick(g, 1);
  EXPECT_EQ(f.image(21).left, 20.0f);
  EXPECT_EQ(f.image(22).left, 70.0f);  // placed by its lead again
  EXPECT_EQ(f.image(16).left, 2510.0f + 120.0f);
}

TEST(TitleAnimation, OffTheTitleNothingChanges) {
  for (int screen : {screen::kBreeding, screen::kStable, screen::kCareerOver, screen::kFinished}) {
    ScriptedGame g;
    tick(g, 5);
    g.game.state.screenState = screen;
    const Form form = g.game.form;
    const GameState before = g.game.state;
    tick(g, 3);
    EXPECT_TRUE(g.game.form == form) << screen;
    EXPECT_EQ(g.game.state.titleColourTicks, before.titleColourTicks) << screen;
    EXPECT_EQ(g.game.state.promptBlinkTicks, before.promptBlinkTicks) << screen;
    EXPECT_EQ(g.game.state.titleFrameToggle, before.titleFrameToggle) << screen;
  }
}

}  // namespace
}  // namespace milka
