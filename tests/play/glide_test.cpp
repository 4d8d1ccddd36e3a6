// Gliding: between two ticks a moving picture is drawn on its way, and a picture that jumps,
// leaves or comes into the window is drawn where the rules put it at once.
#include "play/glide.h"

#include <gtest/gtest.h>

namespace milka::play {
namespace {

constexpr float kRow = 4200;
constexpr float kParked = -2460;

Picture horse(float left, float top) {
  Picture p;
  p.left = left;
  p.top = top;
  p.sprite.kind = SpriteKind::Horse;
  return p;
}

struct GlideCase {
  const char* what;
  Picture before, after;
  std::optional<float> from;
};

TEST(GlideStarts, OnlyMotionAlongARowGlides) {
  const GlideCase cases[] = {
      {"a stride along its row", horse(3000, kRow), horse(3180, kRow), 3000},
      {"a stride backwards (大井 runs right to left)", horse(6000, kRow), horse(5800, kRow), 6000},
      {"standing still", horse(3000, kRow), horse(3000, kRow), {}},
      {"the field moved back a lap", horse(200, kRow), horse(9900, kRow), {}},
      {"the title's horse wrapping round", horse(10880, 4500), horse(-30, 4500), {}},
      {"parked out of sight", horse(3000, kRow), horse(3100, kParked), {}},
      {"back from out of sight, alone", horse(3000, kParked), horse(3100, kRow), {}},
      {"placed on another lane", horse(3000, kRow), horse(3000, kRow + 500), {}},
      {"placed at the start from off to the left", horse(-9000, kRow), horse(50, kRow), {}},
  };
  for (const GlideCase& c : cases) {
    Pictures before, after;
    before[5] = c.before;
    after[5] = c.after;
    const auto starts = glideStarts(before, after, designForm());
    EXPECT_EQ(starts[5], c.from) << c.what;
  }
}

TEST(GlideStarts, APictureBackInTakesOverFromItsPartnerLeavingTheRow) {
  Pictures before, after;
  // Runner frames A (1) and B (2) swap: A was parked, B was shown; both stepped on by 150.
  before[1] = horse(4000, kParked);
  before[2] = horse(4000, kRow);
  after[1] = horse(4150, kRow);
  after[2] = horse(4150, kParked);
  // Another runner's frames on the next lane, doing the same a little behind.
  before[3] = horse(3600, kRow + 360);
  after[3] = horse(3700, kParked);
  before[4] = horse(3600, kParked);
  after[4] = horse(3700, kRow + 360);
  const auto starts = glideStarts(before, after, designForm());
  EXPECT_EQ(starts[1], 4000.0f) << "from where its partner was drawn";
  EXPECT_EQ(starts[4], 3600.0f) << "a partner on its own lane, not the nearest in the window";
  EXPECT_FALSE(starts[2].has_value()) << "leaving, it is gone at once";
  EXPECT_FALSE(starts[3].has_value());

  // On the lap shift the partner left from a whole lap away: no glide.
  after[1] = horse(4150 + 9700, kRow);
  EXPECT_FALSE(glideStarts(before, after, designForm())[1].has_value());
}

TEST(GlideStarts, HalfwayThroughAPeriodIsHalfway) {
  EXPECT_EQ(glidedLeft(3000, 3200, 0.0), 3000.0f);
  EXPECT_EQ(glidedLeft(3000, 3200, 0.5), 3100.0f);
  EXPECT_EQ(glidedLeft(3000, 3200, 1.0), 3200.0f);
  EXPECT_EQ(glidedLeft(3000, 3200, 1.7), 3200.0f) << "a late frame stays at the end";
  EXPECT_EQ(glidedLeft(3000, 3200, -0.2), 3000.0f);
}

// The canvas on a stopped clock, with Image21 (runner 10, frame A) on a lane of its own.
}  // namespace
}  // namespace milka::play
