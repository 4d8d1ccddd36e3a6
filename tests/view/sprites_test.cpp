// The pictures built from the templates in assets/: sizes, transparency, mirroring, the two
// strides and the five coats.
#include "platform/draw/sprites.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <cstdlib>
#include <map>
#include <set>
#include <vector>

namespace milka::platform {
namespace {

constexpr Coat kAllCoats[] = {Coat::Grey, Coat::Gold, Coat::Bay, Coat::Black, Coat::White};

std::vector<Sprite> allHorses() {
  std::vector<Sprite> out;
  for (Coat coat : kAllCoats)
    for (bool left : {false, true})
      for (int frame : {0, 1}) out.push_back({SpriteKind::Horse, coat, left, frame});
  return out;
}

struct Census {
  int transparent = 0;
  int opaque = 0;
  int partial = 0;
  int magenta = 0;  // what a template letter without a palette colour paints
};

Census census(const QImage& image) {
  Census c;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = image.pixel(x, y);
      const int a = qAlpha(p);
      if (a == 0) {
        ++c.transparent;
      } else if (a == 255) {
        ++c.opaque;
        if ((p & 0xFFFFFF) == 0xFF00FF) ++c.magenta;
      } else {
        ++c.partial;
      }
    }
  }
  return c;
}

// The colour most of a horse's inside is painted in: its coat. The edge pixels, the outline,
// don't count.
QColor coatColour(const QImage& image) {
  auto solid = [&](int x, int y) { return image.valid(x, y) && qAlpha(image.pixel(x, y)) == 255; };
  std::map<QRgb, int> counts;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (solid(x, y) && solid(x - 1, y) && solid(x + 1, y) && solid(x, y - 1) && solid(x, y + 1))
        ++counts[image.pixel(x, y)];
  QRgb best = 0;
  int most = 0;
  for (const auto& [rgb, n] : counts) {
    if (n > most) {
      most = n;
      best = rgb;
    }
  }
  return QColor::fromRgb(best);
}

int differingPixels(const QImage& a, const QImage& b, int fromRow = 0) {
  int n = 0;
  for (int y = fromRow; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
  return n;
}

void expectCleanPicture(const QImage& image, int width, int height) {
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.width(), width);
  EXPECT_EQ(image.height(), height);
  EXPECT_TRUE(image.hasAlphaChannel());
  const Census c = census(image);
  // A runner or a post fills a good part of its picture and leaves the rest to the track.
  EXPECT_GT(c.opaque, width * height / 5);
  EXPECT_GT(c.transparent, width * height / 5);
  EXPECT_EQ(c.partial, 0) << "pixel art is either there or not";
  EXPECT_EQ(c.magenta, 0) << "a template letter has no colour in the palettes";
}

TEST(Sprites, EveryRunnerPictureIs32By32WithTrack) {
  for (const Sprite& s : allHorses()) {
    SCOPED_TRACE(testing::Message() << "coat " << static_cast<int>(s.coat) << " left "
                                    << s.facingLeft << " frame " << s.frame);
    expectCleanPicture(spriteImage(s), 32, 32);
  }
}

TEST(Sprites, TowerAndPoleAre40By60WithTrack) {
  expectCleanPicture(spriteImage({SpriteKind::Tower}), 40, 60);
  expectCleanPicture(spriteImage({SpriteKind::Pole}), 40, 60);
}

TEST(Sprites, NoSpriteIsANullImage) {
  EXPECT_TRUE(spriteImage({SpriteKind::None}).isNull());
}

TEST(Sprites, LeftFacingRunnerIsTheMirrorOfTheRightFacingOne) {
  for (Coat coat : kAllCoats) {
    for (int frame : {0, 1}) {
      const QImage right = spriteImage({SpriteKind::Horse, coat, false, frame});
      const QImage left = spriteImage({SpriteKind::Horse, coat, true, frame});
      ASSERT_EQ(left.size(), right.size());
      int mismatches = 0;
      for (int y = 0; y < right.height(); ++y)
        for (int x = 0; x < right.width(); ++x)
          mismatches += left.pixel(x, y) != right.pixel(right.width() - 1 - x, y);
      EXPECT_EQ(mismatches, 0) << "coat " << static_cast<int>(coat) << " frame " << frame;
      EXPECT_NE(left, right) << "a runner must not look the same both ways";
    }
  }
}

TEST(Sprites, TheTwoStridesClearlyDifferInTheLegs) {
  for (Coat coat : kAllCoats) {
    const QImage stretched = spriteImage({SpriteKind::Horse, coat, false, 0});
    const QImage gathered = spriteImage({SpriteKind::Horse, coat, false, 1});
    // The legs live in the lower third; a stride change must move a lot of them.
    EXPECT_GT(differingPixels(stretched, gathered, 20), 60) << static_cast<int>(coat);
  }
}

TEST(Sprites, TheFiveCoatsLookTheirPart) {
  std::set<QRgb> seen;
  std::map<Coat, QColor> body;
  for (Coat coat : kAllCoats) {
    for (int frame : {0, 1}) {
      const QColor c = coatColour(spriteImage({SpriteKind::Horse, coat, false, frame}));
      if (frame == 0) body[coat] = c;
      EXPECT_EQ(c, body[coat]) << "a coat must not change colour between strides";
    }
    seen.insert(body[coat].rgb());
  }
  EXPECT_EQ(seen.size(), 5u) << "every coat has a body colour of its own";

  auto warm = [](const QColor& c) { return c.red() - c.blue() > 60; };
  auto neutral = [](const QColor& c) { return std::abs(c.red() - c.blue()) < 30; };
  EXPECT_TRUE(neutral(body[Coat::Grey]));
  EXPECT_TRUE(neutral(body[Coat::Black]));
  EXPECT_TRUE(neutral(body[Coat::White]));
  EXPECT_TRUE(warm(body[Coat::Gold]));
  EXPECT_TRUE(warm(body[Coat::Bay]));
  EXPECT_GT(body[Coat::White].lightness(), body[Coat::Grey].lightness());
  EXPECT_GT(body[Coat::Grey].lightness(), body[Coat::Black].lightness());
  EXPECT_GT(body[Coat::Gold].lightness(), body[Coat::Bay].lightness());
  EXPECT_LT(body[Coat::Black].lightness(), 80);
  EXPECT_GT(body[Coat::White].lightness(), 220);
}

TEST(Sprites, TowerIsBlueAndYellowAndPoleIsRedAndWhite) {
  auto has = [](const QImage& image, auto test) {
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const QColor c = QColor::fromRgba(image.pixel(x, y));
        if (c.alpha() == 255 && test(c)) return true;
      }
    return false;
  };
  auto blue = [](const QColor& c) { return c.blue() > 150 && c.red() < 80 && c.green() < 120; };
  auto yellow = [](const QColor& c) { return c.red() > 200 && c.green() > 200 && c.blue() < 80; };
  auto red = [](const QColor& c) { return c.red() > 200 && c.green() < 60 && c.blue() < 60; };
  auto white = [](const QColor& c) { return c.lightness() > 240; };
  const QImage tower = spriteImage({SpriteKind::Tower});
  const QImage pole = spriteImage({SpriteKind::Pole});
  EXPECT_TRUE(has(tower, blue));
  EXPECT_TRUE(has(tower, yellow));
  EXPECT_FALSE(has(tower, red));
  EXPECT_TRUE(has(pole, red));
  EXPECT_TRUE(has(pole, white));
  EXPECT_FALSE(has(pole, blue));
}

TEST(Sprites, ACoatOrFrameOutOfRangeStillGivesARunner) {
  const QImage odd = spriteImage({SpriteKind::Horse, static_cast<Coat>(42), false, 7});
  EXPECT_EQ(odd, spriteImage({SpriteKind::Horse, Coat::Grey, false, 0}));
  const QImage negative = spriteImage({SpriteKind::Horse, static_cast<Coat>(-1), true, -3});
  EXPECT_EQ(negative, spriteImage({SpriteKind::Horse, Coat::Grey, true, 0}));
}

TEST(Sprites, WindowIconShowsTheGreyRunner) {
  if (QGuiApplication::instance() == nullptr) GTEST_SKIP() << "icons need a running application";
  const QIcon icon = windowIcon();
  ASSERT_FALSE(icon.isNull());
  const QImage big = icon.pixmap(64, 64).toImage().convertToFormat(QImage::Format_ARGB32);
  ASSERT_EQ(big.size(), QSize(64, 64));
  const QImage grey = spriteImage({SpriteKind::Horse, Coat::Grey, false, 0});
  // Scaled without smoothing: every icon pixel is one of the runner's own.
  int mismatches = 0;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) mismatches += big.pixel(x, y) != grey.pixel(x / 2, y / 2);
  EXPECT_EQ(mismatches, 0);
}

TEST(Sprites, DesktopIconsKeepThePixelArtAtEverySize) {
  const QImage art = spriteImage({SpriteKind::Horse, Coat::Grey, false, 0});
  std::set<QRgb> artColours;
  for (int y = 0; y < art.height(); ++y)
    for (int x = 0; x < art.width(); ++x) artColours.insert(art.pixel(x, y));
  for (const int size : {16, 32, 48, 64, 128, 256}) {
    const QImage icon = iconImage(size);
    ASSERT_EQ(icon.size(), QSize(size, size));
    int strangers = 0;
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) strangers += artColours.count(icon.pixel(x, y)) == 0;
    EXPECT_EQ(strangers, 0) << size << " px has colours the art lacks";
  }
  // 48 is no whole multiple of 32: the runner at 1x is centred on a see-through square.
  EXPECT_EQ(iconImage(48).copy(8, 8, 32, 32), art.convertToFormat(QImage::Format_ARGB32));
  EXPECT_EQ(qAlpha(iconImage(48).pixel(0, 0)), 0);
}

}  // namespace
}  // namespace milka::platform
