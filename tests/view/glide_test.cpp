// Gliding: between two ticks a moving picture is drawn on its way, and a picture that jumps,
// leaves or comes into the window is drawn where the rules put it at once.
#include "platform/glide.h"

#include <gtest/gtest.h>

#include <QTest>
#include <memory>

#include "platform/sprites.h"
#include "platform/window.h"
#include "window_parts.h"

namespace milka::platform {
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
class GlidingCanvasTest : public ::testing::Test, protected milka::testing::WindowParts {
 protected:
  void SetUp() override {
    window = std::make_unique<GameWindow>(game);
    window->canvas()->setClock([this] { return now; });
    game.Form_Load();
    game.state.screenState = screen::kRace;  // nothing on the title moves any more
    image().left = 3000;
    image().top = kRow;
    window->sync();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  }

  Picture& image() { return game.form.image(21); }

  // A tick of the rules moves the picture; then the clock runs on by `later` ms.
  void tickTo(float left, int64_t later) {
    image().left = left;
    window->sync();
    now += later;
    window->canvas()->frame();
  }

  // The left edge, in the window's pixels, of the sprite drawn on the lane.
  int drawnSpriteLeft() {
    const QImage shot = window->grab().toImage();
    const QImage sprite = spriteImage(image().sprite);
    const int y = static_cast<int>((kRow / 15 + static_cast<float>(sprite.height()) / 2) *
                                   static_cast<float>(window->scale()));
    for (int x = 0; x < shot.width(); ++x)
      if (shot.pixel(x, y) != 0xFF80FF80u) return x;
    return -1;
  }

  int64_t now = 1000;
};

TEST_F(GlidingCanvasTest, AMovedPictureIsDrawnHalfwayHalfwayThroughThePeriod) {
  const int before = drawnSpriteLeft();
  tickTo(3300, kGlideMs / 2);
  EXPECT_EQ(window->canvas()->drawnRect(21), Canvas::pixels(3150, kRow, 480, 480));
  EXPECT_NEAR(drawnSpriteLeft() - before, 10, 1) << "300 twips is 20 pixels; half of it drawn";
  now += kGlideMs / 2;
  window->canvas()->frame();
  EXPECT_EQ(window->canvas()->drawnRect(21), Canvas::pixels(3300, kRow, 480, 480));
  EXPECT_NEAR(drawnSpriteLeft() - before, 20, 1);
}

TEST_F(GlidingCanvasTest, ALapShiftIsNotGlided) {
  tickTo(3000 + 6500, kGlideMs / 2);
  EXPECT_EQ(window->canvas()->drawnRect(21), Canvas::pixels(9500, kRow, 480, 480));
}

TEST_F(GlidingCanvasTest, WithGlidingOffThePictureSitsWhereTheModelSays) {
  window->setGliding(false);
  const int before = drawnSpriteLeft();
  tickTo(3300, kGlideMs / 2);
  EXPECT_EQ(window->canvas()->drawnRect(21), Canvas::pixels(3300, kRow, 480, 480));
  EXPECT_NEAR(drawnSpriteLeft() - before, 20, 1);
}

TEST_F(GlidingCanvasTest, TurningGlidingOffMidwayPutsThePictureWhereTheModelSays) {
  tickTo(3300, kGlideMs / 4);
  ASSERT_NE(window->canvas()->drawnRect(21), Canvas::pixels(3300, kRow, 480, 480));
  window->setGliding(false);
  EXPECT_EQ(window->canvas()->drawnRect(21), Canvas::pixels(3300, kRow, 480, 480));
}

TEST_F(GlidingCanvasTest, AtTwiceTheSizeTheGlideIsScaledToo) {
  window->zoomTo(2);
  const int before = drawnSpriteLeft();
  tickTo(3300, kGlideMs / 2);
  EXPECT_NEAR(drawnSpriteLeft() - before, 20, 1) << "10 form pixels, 20 on the screen";
}

}  // namespace
}  // namespace milka::platform
