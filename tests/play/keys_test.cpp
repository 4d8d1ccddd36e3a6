// What every key does in the window, whatever toolkit turned it into a key code.
#include "play/keys.h"

#include <gtest/gtest.h>

namespace milka::play {
namespace {

KeyPress with(int code, bool control = false, bool alt = false, bool shift = false) {
  return {code, shift, control, alt, false};
}

TEST(Keys, EachKeyDoesOneThingAndModifiersMakeAnotherKey) {
  struct Case {
    KeyPress key;
    KeyAction does;
  } cases[] = {
      {with(vk::kEnter), {1, ViewKey::None, CareerKey::None, 0}},
      {with(vk::kSpace, false, false, true), {1, ViewKey::None, CareerKey::None, 0}},
      {with(vk::kBackspace), {4, ViewKey::None, CareerKey::None, 0}},
      {with(vk::kEscape), {4, ViewKey::None, CareerKey::None, 0}},
      {with(vk::kPageUp), {2, ViewKey::None, CareerKey::None, 0}},
      {with(vk::kPageDown), {3, ViewKey::None, CareerKey::None, 0}},
      {with(vk::kF1), {5, ViewKey::None, CareerKey::None, 0}},
      {with(vk::kEnter, true), {}},
      {with(vk::kEnter, false, true), {}},
      {with(vk::kPlus, true), {0, ViewKey::ZoomIn, CareerKey::None, 0}},
      {with(vk::kNumpadPlus, true), {0, ViewKey::ZoomIn, CareerKey::None, 0}},
      {with(vk::kMinus, true), {0, ViewKey::ZoomOut, CareerKey::None, 0}},
      {with(vk::k0, true), {0, ViewKey::ActualSize, CareerKey::None, 0}},
      {with(vk::kPlus), {}},
      {with(vk::kF11), {0, ViewKey::FullScreen, CareerKey::None, 0}},
      {with(vk::kF9), {0, ViewKey::Gliding, CareerKey::None, 0}},
      {with(vk::kF6), {0, ViewKey::Mute, CareerKey::None, 0}},
      {with(vk::kF7), {0, ViewKey::Quieter, CareerKey::None, 0}},
      {with(vk::kF8), {0, ViewKey::Louder, CareerKey::None, 0}},
      {with(vk::kF5), {0, ViewKey::None, CareerKey::Pause, 0}},
      {with(vk::kPause), {0, ViewKey::None, CareerKey::Pause, 0}},
      {with(vk::kF5, false, true), {}},
      {with(vk::kF3), {0, ViewKey::None, CareerKey::WatchAgain, 0}},
      {with(vk::kF2), {0, ViewKey::None, CareerKey::Faster, 0}},
      {with(vk::kF4), {0, ViewKey::None, CareerKey::SkipRace, 0}},
      {with(vk::kN, true), {0, ViewKey::None, CareerKey::NewHorse, 0}},
      // Letters and arrows are the game's, whatever else is held.
      {with(vk::kN), {0, ViewKey::None, CareerKey::None, vk::kN}},
      {with(vk::kA, false, true, true), {0, ViewKey::None, CareerKey::None, vk::kA}},
      {with(vk::kDown, true), {0, ViewKey::None, CareerKey::None, vk::kDown}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(actionFor(c.key), c.does) << "code " << c.key.code << " ctrl " << c.key.control;
  for (int code = vk::kA; code <= vk::kZ; ++code) EXPECT_EQ(actionFor(with(code)).symbol, code);
  EXPECT_EQ(commandKeyNames(1), "Enter / Space");
}

TEST(Keys, ZoomStepsThroughWholeMultiplesAsFarAsTheScreenHasRoom) {
  struct Case {
    double scale;
    int steps, largest, next;
  } cases[] = {{1, 1, 3, 2},  {2.5, 1, 3, 3}, {3, 1, 3, 3},         {2.5, -1, 3, 2},
               {5, -1, 2, 4}, {1, -1, 3, 1},  {0.9999999, 1, 4, 2}, {8, 1, 9, 8}};
  for (const Case& c : cases)
    EXPECT_EQ(steppedZoom(c.scale, c.steps, c.largest), c.next) << c.scale << " " << c.steps;
}

TEST(Keys, VolumeStepsStayInRangeAndLouderUnmutes) {
  struct Case {
    int volume;
    bool muted;
    int steps;
    int after;
    bool mutedAfter;
  } cases[] = {{7, false, 1, 8, false}, {10, false, 1, 10, false}, {0, false, -1, 0, false},
               {3, true, -1, 2, true},  {3, true, 1, 4, false},    {10, true, 1, 10, false}};
  for (const Case& c : cases) {
    ViewPrefs prefs;
    prefs.volume = c.volume;
    prefs.muted = c.muted;
    stepVolume(prefs, c.steps);
    EXPECT_EQ(prefs.volume, c.after) << c.volume << " " << c.steps;
    EXPECT_EQ(prefs.muted, c.mutedAfter) << c.volume << " " << c.steps;
  }
  EXPECT_FALSE(zoomAllowed(0.5));
  EXPECT_FALSE(volumeAllowed(11));
}

}  // namespace
}  // namespace milka::play
