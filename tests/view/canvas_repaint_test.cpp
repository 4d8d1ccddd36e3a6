// Drawing only what changed must look exactly like drawing everything: a scripted career is
// played through the handlers, the window repaints what each period invalidated, and at every
// step that picture, and the same repaints replayed at 2x, equal the whole canvas drawn afresh.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPaintEvent>
#include <QRegion>
#include <QScreen>
#include <QTest>
#include <map>
#include <memory>
#include <set>

#include "platform/draw/font_measure.h"
#include "platform/draw/fonts.h"
#include "platform/draw/glyph_cache.h"
#include "platform/draw/label_look.h"
#include "platform/window/window.h"
#include "play/caption_fit.h"
#include "play/glide.h"
#include "view/scripted_tour.h"

namespace milka::platform {
namespace {

// Collects the areas the canvas is asked to repaint by the window system.
class RegionRecorder final : public QObject {
 public:
  QRegion painted;
  bool listening = true;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (listening && event->type() == QEvent::Paint)
      painted += static_cast<QPaintEvent*>(event)->region();
    return false;
  }
};

QImage blank(QSize size, qreal scale) {
  QImage image(size * scale, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(scale);
  image.fill(Qt::magenta);
  return image;
}

class CanvasRepaintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    flashTime_ = QApplication::cursorFlashTime();
    QApplication::setCursorFlashTime(0);  // a steady cursor in Text1, whenever it is drawn
    window = std::make_unique<GameWindow>(tour.game);
    // Glides timed by the tour's own periods, so each step shows the same frames however busy
    // the machine is.
    window->canvas()->setClock([this] { return tour.ticks * int64_t{play::kGlideMs}; });
    tour.game.Form_Load();
    window->sync();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QCoreApplication::processEvents();
    window->canvas()->installEventFilter(&recorder);
  }
  void TearDown() override { QApplication::setCursorFlashTime(flashTime_); }

  // The canvas drawn from nothing.
  QImage afresh(qreal scale) {
    recorder.listening = false;
    QImage image = blank(window->canvas()->size(), scale);
    window->canvas()->render(&image);
    recorder.listening = true;
    return image;
  }

  // Paint into image only the region, as the window system would after a change.
  void repaint(QImage& image, const QRegion& region) {
    if (region.isEmpty()) return;
    recorder.listening = false;
    // render() puts the region's top-left at the offset given.
    window->canvas()->render(&image, region.boundingRect().topLeft(), region);
    recorder.listening = true;
  }

  testing::ScriptedTour tour;
  std::unique_ptr<GameWindow> window;
  RegionRecorder recorder;
  int flashTime_ = 0;
};

TEST_F(CanvasRepaintTest, RepaintingWhatChangedMatchesAFreshPaintAt1xAnd2x) {
  QImage twice = afresh(2);
  std::set<int> screens;
  std::map<int, int> compared;
  int partial = 0;
  // From the title through the first race and its results into the second season.
  while (tour.ticks < 1100) {
    recorder.painted = {};
    tour.step();
    window->sync();
    window->canvas()->frame();  // glides begun a period ago arrive
    QCoreApplication::processEvents();
    const QRegion changed = recorder.painted;
    repaint(twice, changed);
    if (!changed.isEmpty() && changed.boundingRect() != window->canvas()->rect()) ++partial;

    const int screen = tour.game.state.screenState;
    const bool arrived = screens.insert(screen).second;
    if (!arrived && tour.ticks % 9 != 0) continue;
    const QImage shown = window->screen()->grabWindow(window->winId()).toImage();
    const QImage whole = window->grab().toImage();
    ASSERT_EQ(shown.convertToFormat(QImage::Format_RGB32),
              whole.convertToFormat(QImage::Format_RGB32))
        << "1x, screen " << screen << ", period " << tour.ticks;
    ASSERT_EQ(twice, afresh(2)) << "2x, screen " << screen << ", period " << tour.ticks;
    ++compared[screen];
  }
  for (int screen : {screen::kTitle, screen::kBreeding, screen::kStable, screen::kRaceCard,
                     screen::kRace, screen::kResults})
    EXPECT_GT(compared[screen], 0) << "screen " << screen;
  EXPECT_GT(compared[screen::kRace], 20) << "periods of the race compared";
  EXPECT_GT(partial, 500) << "most periods repaint only part of the canvas";
  EXPECT_GT(window->canvas()->keptPictures(), 0) << "some steady label was drawn from its picture";
}

TEST_F(CanvasRepaintTest, ARepaintMeetsOnlyTheRectanglesThatChanged) {
  // Two pictures far apart: the paint covers the two places, not the box around them.
  Form& form = tour.game.form;
  form.image(21).left = 300;
  form.image(21).top = 300;
  form.image(22).left = 9000;
  form.image(22).top = 6000;
  window->sync();
  QCoreApplication::processEvents();
  recorder.painted = {};
  form.image(21).left = 330;
  form.image(22).left = 9030;
  window->sync();
  QCoreApplication::processEvents();
  EXPECT_TRUE(recorder.painted.contains(QPoint(25, 25)));
  EXPECT_TRUE(recorder.painted.contains(QPoint(620, 420)));
  EXPECT_FALSE(recorder.painted.contains(QPoint(300, 200))) << "between the two pictures";
  int64_t area = 0;
  for (const QRect& r : recorder.painted) area += static_cast<int64_t>(r.width()) * r.height();
  EXPECT_LT(area, 4 * 36 * 36) << "the old and new place of each, and nothing else";
}

// Part of a long caption drawn where only a narrow strip is repainted, at fractional places and
// both screen scales, must leave exactly the pixels the whole caption leaves in that strip.
TEST(CaptionLayoutTest, DrawingTheGlyphsInAStripMatchesDrawingTheWholeCaption) {
  QString rail;
  for (int i = 0; i < 500; ++i) rail += QStringLiteral("┳");
  const QFont font = gameFont(FontFace::Mincho, 9);
  const CaptionLayout whole(rail, font);
  ASSERT_GT(whole.width(), 719);
  struct Case {
    qreal scale;
    qreal left;
    QRect strip;
  };
  for (const Case& c : {Case{1, -72.5333, {100, 0, 37, 30}}, Case{1, -1.2, {0, 0, 5, 30}},
                        Case{2, -70.0666, {350, 2, 41, 20}}, Case{2, 3.4, {715, 0, 4, 30}}}) {
    QImage everything = blank({719, 30}, c.scale), some = blank({719, 30}, c.scale);
    for (QImage* image : {&everything, &some}) {
      QPainter painter(image);
      painter.setClipRegion(QRegion(c.strip));
      painter.setPen(Qt::black);
      whole.draw(painter, {c.left, 5.3333},
                 image == &some ? QRegion(c.strip) : QRegion(0, 0, 719, 30));
    }
    EXPECT_EQ(everything, some) << "scale " << c.scale << " at " << c.left;
    EXPECT_NE(everything, blank({719, 30}, c.scale)) << "the strip shows part of the rail";
  }
}

// A see-through rail on one colour, painted a second time from the picture kept of it, leaves the
// pixels painting it straight leaves: wherever it stands, its first glyphs left of the screen's
// first pixel (which Qt places differently there) included, at both scales; a caption blanked for
// a moment comes back to its picture.
TEST(LabelLookTest, ASeeThroughLabelOnOneColourKeptAsAPictureLooksAsDrawnStraight) {
  Label rail;
  for (int i = 0; i < 500; ++i) rail.caption += "┳";
  rail.transparent = true;
  rail.foreColour = 0xFFFFFF;
  rail.width = 245745;
  rail.height = 375;
  const play::Font gothic{FontFace::Gothic, 9};
  const QFont font = gameFont(gothic.face, gothic.points);
  FontMeasure measure;
  constexpr uint32_t ground = 0xCD874C;
  for (const qreal scale : {1.0, 2.0})
    for (const float left : {-1247.0f, -230.0f, -1800.0f, 0.0f, 37.0f}) {
      rail.left = left;
      const QRectF rect = Canvas::pixels(rail.left, 0, rail.width, rail.height);
      const play::Rect box{rect.x(), rect.y(), rect.width(), rect.height()};
      const play::CaptionFit fit =
          play::fitCaption(rail.caption, gothic, box, rail.alignment, measure);
      CaptionLayouts layouts;
      LabelLook look;
      look.adopt(rail, rect, fit, font, layouts);
      QImage straight = blank({719, 30}, scale), kept = blank({719, 30}, scale);
      straight.fill(QColor(static_cast<QRgb>(ground)));
      const QRegion region(0, 0, 719, 30);
      for (int paint = 0; paint < 3; ++paint) {  // seen once, then kept, then drawn from it
        kept.fill(QColor(static_cast<QRgb>(ground)));
        QPainter painter(&kept);
        look.paint(painter, region, ground, QRect(0, 0, 719, 30));
      }
      EXPECT_TRUE(look.keptPicture()) << "at " << left;
      // Blanked and shown again, as a blinking prompt is, it still has its picture.
      Label off = rail;
      off.caption.clear();
      look.adopt(off, rect, play::fitCaption("", gothic, box, rail.alignment, measure), font,
                 layouts);
      look.adopt(rail, rect, fit, font, layouts);
      EXPECT_TRUE(look.keptPicture()) << "blanked and back at " << left;
      QPainter painter(&straight);
      look.paint(painter, region);
      painter.end();
      EXPECT_EQ(kept, straight) << "scale " << scale << " at " << left;
    }
}

}  // namespace
}  // namespace milka::platform
