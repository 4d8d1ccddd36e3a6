// A picture is painted on the device pixel it lands on, and at twice the size from a copy
// enlarged once: wherever it stands between two pixels, the canvas must leave exactly the pixels
// the painter leaves drawing the sprite at that very place.
#include <gtest/gtest.h>

#include <QPainter>

#include "platform/draw/sprites.h"
#include "platform/window/window.h"
#include "window_parts.h"

namespace milka::platform {
namespace {

class PicturePlacingTest : public ::testing::Test, protected milka::testing::WindowParts {
 protected:
  void SetUp() override {
    window = std::make_unique<GameWindow>(game);
    game.Form_Load();  // the title, which stands still between ticks
    window->sync();
  }

  QImage rendered(qreal scale) {
    QImage image(window->canvas()->size() * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::magenta);
    window->canvas()->render(&image);
    return image;
  }

  Picture& image() { return game.form.image(13); }
};

TEST_F(PicturePlacingTest, APictureBetweenPixelsLooksAsThePainterDrawsItThere) {
  // In a clear stretch below the title's horses, away from the window's edges.
  const float top = 5000;
  int compared = 0;
  for (float left : {3000.0f, 3004.0f, 3007.5f, 3008.0f, 3011.0f, 3022.5f, 3037.25f}) {
    for (qreal scale : {1.0, 2.0}) {
      image().left = -9000;  // out of the window: what lies under it
      window->sync();
      QImage expected = rendered(scale);
      {
        QPainter painter(&expected);
        const QPixmap sprite = QPixmap::fromImage(spriteImage(image().sprite));
        painter.drawPixmap(Canvas::pixels(left, top, 480, 480), sprite, QRectF(sprite.rect()));
      }
      image().left = left;
      image().top = top;
      window->sync();
      EXPECT_EQ(rendered(scale), expected) << "left " << left << " twips at " << scale << "x";
      ++compared;
    }
  }
  EXPECT_EQ(compared, 14);
  ASSERT_NE(spriteImage(image().sprite).size(), QSize()) << "a horse to draw";
}

}  // namespace
}  // namespace milka::platform
