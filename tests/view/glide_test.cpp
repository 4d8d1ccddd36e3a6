// Gliding in the window: the canvas draws a moving picture on its way between two ticks, as the
// midend's glide says, at any size.
#include "play/glide.h"

#include <gtest/gtest.h>

#include <QTest>
#include <memory>

#include "platform/draw/sprites.h"
#include "platform/window/window.h"
#include "window_parts.h"

namespace milka::platform {
namespace {

using play::kGlideMs;

constexpr float kRow = 4200;

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
