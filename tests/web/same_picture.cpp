// The desktop's picture of a moment of a journal's career, held against the page's picture of the
// same moment: the same model, drawn by the Qt canvas and by the browser.
//   same_picture moments JOURNAL      prints "NAME EVENTS" for the moments compared: the title,
//                                     the breeding table, the race card, a race with runners
//                                     marked at the edges, the results board
//   same_picture compare JOURNAL DIR [PERCENT [SIZE:SCALE...]]
//                                     for every moment at every size (1x:1 2x:2 unless given; a
//                                     phone's is a scale such as 2.09): DIR/page-NAME-SIZE.png
//                                     against the desktop's (left as DIR/desktop-NAME-SIZE.png, and
//                                     what differs as DIR/diff-NAME-SIZE.png); exit 1 when more
//                                     than PERCENT of a picture differs (0.4 unless given; half as
//                                     much again between whole scales), or, at
//                                     a whole scale, a pixel of a sprite or a marker's plate
//                                     differs at all (between whole pixels the two engines may
//                                     split a sprite's pixel either way)
// Text is rasterised by two engines, so words are compared blurred and only a small share of the
// picture may differ; the sprites and the markers' plates are the same pixels or nothing.
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "journal/format.h"
#include "journal/session.h"
#include "platform/draw/canvas.h"
#include "platform/draw/font_measure.h"
#include "platform/draw/qt_geometry.h"
#include "platform/draw/sprites.h"
#include "play/runner_markers.h"

namespace {

using milka::Form;
using milka::GameState;
using milka::platform::Canvas;
namespace screen = milka::screen;

// Past this many events on a screen its opening animations have settled.
constexpr int kSettled = 10;
// A pixel differs when a channel of the blurred pictures is further apart than this.
constexpr int kThreshold = 48;
// At most this share of the pixels may differ, unless told: the words' antialiasing and hinting,
// no more.
double mostDiffering = 0.004;

struct Moment {
  std::string name;
  size_t events;
};

std::string bytesOf(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<Moment> momentsOf(const milka::journal::Reading& r) {
  milka::journal::Session session(r.header);
  milka::platform::FontMeasure measure;
  milka::play::MarkerWords words(measure);
  const struct {
    const char* name;
    int screen;
  } wanted[] = {{"title", screen::kTitle},
                {"breeding", screen::kBreeding},
                {"racecard", screen::kRaceCard},
                {"race", screen::kRace},
                {"results", screen::kResults}};
  std::vector<Moment> found;
  int into = 0, was = -1;
  for (size_t i = 0; i < r.events.size() && found.size() < std::size(wanted); ++i) {
    session.feed(r.events[i]);
    const milka::Game& g = session.game();
    const int now = g.state.screenState;
    // The board coming up is a screen of its own.
    const int seen = now * 2 + g.state.resultsShown;
    into = seen == was ? into + 1 : 0;
    was = seen;
    const auto& w = wanted[found.size()];
    if (now != w.screen) continue;
    // The board is up for as long as the player looks at it, which may be a single event.
    if (now == screen::kResults ? g.state.resultsShown != 1 : into < kSettled) continue;
    // A race is compared where at least two runners are out of view and marked.
    if (now == screen::kRace && milka::play::raceMarkers(g.form, g.state, words).markers.size() < 2)
      continue;
    found.push_back({w.name, i + 1});
  }
  return found;
}

struct Drawn {
  QImage picture;
  // Pixels that must come out exactly the same: the sprites' own and the plates' frames.
  QImage exact;
};

Drawn drawDesktop(const milka::Game& g, double scale) {
  Canvas canvas;
  canvas.setGliding(false);
  canvas.resize(static_cast<int>(g.form.clientWidth / 15),
                static_cast<int>(g.form.clientHeight / 15));
  canvas.sync(g.form, g.state);
  Drawn out;
  out.picture = QImage(canvas.size() * scale, QImage::Format_ARGB32_Premultiplied);
  out.picture.setDevicePixelRatio(scale);
  out.picture.fill(Qt::black);
  canvas.render(&out.picture);
  out.picture.setDevicePixelRatio(1);

  out.exact = QImage(out.picture.size(), QImage::Format_ARGB32_Premultiplied);
  out.exact.fill(Qt::transparent);
  // Only whole scales hold the sprites to the pixel.
  if (scale != std::round(scale)) return out;
  QPainter mask(&out.exact);
  mask.scale(scale, scale);
  for (int n = 1; n <= milka::kImageCount; ++n) {
    const milka::Picture& p = g.form.image(n);
    if (p.sprite.kind == milka::SpriteKind::None) continue;
    const QRectF at = canvas.drawnRect(n);
    const QImage art = milka::platform::spriteImage(p.sprite);
    const QPointF corner(std::round(at.left() * scale) / scale,
                         std::round(at.top() * scale) / scale);
    // A later picture covers an earlier one: what it covers is its own.
    mask.setCompositionMode(QPainter::CompositionMode_Source);
    for (int y = 0; y < art.height(); ++y)
      for (int x = 0; x < art.width(); ++x)
        if (qAlpha(art.pixel(x, y)) == 255)
          mask.fillRect(QRectF(corner + QPointF(x, y), QSizeF(1, 1)), Qt::white);
  }
  for (const milka::play::RunnerMarker& m : canvas.markers().markers) {
    const QRect plate = milka::platform::toQt(m.rect).toRect();
    mask.setCompositionMode(QPainter::CompositionMode_Source);
    mask.fillRect(plate, Qt::white);
    mask.fillRect(plate.adjusted(2, 2, -2, -2), Qt::transparent);
  }
  return out;
}

QImage blurred(const QImage& image, int radius) {
  const QImage in = image.convertToFormat(QImage::Format_RGB32);
  QImage out(in.size(), QImage::Format_RGB32);
  for (int y = 0; y < in.height(); ++y)
    for (int x = 0; x < in.width(); ++x) {
      int r = 0, g = 0, b = 0, n = 0;
      for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx) {
          const int sx = x + dx, sy = y + dy;
          if (sx < 0 || sy < 0 || sx >= in.width() || sy >= in.height()) continue;
          const QRgb c = in.pixel(sx, sy);
          r += qRed(c);
          g += qGreen(c);
          b += qBlue(c);
          ++n;
        }
      out.setPixel(x, y, qRgb(r / n, g / n, b / n));
    }
  return out;
}

int distance(QRgb a, QRgb b) {
  return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                   std::abs(qBlue(a) - qBlue(b))});
}

// Prints what differs; true when the page's picture passes.
bool compare(const std::string& what, const Drawn& desktop, const QImage& page, bool whole,
             QImage& diff) {
  // A scale between whole pixels may round the form's height either way.
  if (std::abs(page.width() - desktop.picture.width()) > 0 ||
      std::abs(page.height() - desktop.picture.height()) > 1) {
    std::printf("%s: the page's picture is %dx%d, the desktop's %dx%d\n", what.c_str(),
                page.width(), page.height(), desktop.picture.width(), desktop.picture.height());
    return false;
  }
  const int radius = desktop.picture.width() > 1000 ? 2 : 1;
  const QSize both = desktop.picture.size().boundedTo(page.size());
  const QImage a = blurred(desktop.picture.copy(QRect({}, both)), radius);
  const QImage b = blurred(page.copy(QRect({}, both)), radius);
  const QImage da = desktop.picture.copy(QRect({}, both)).convertToFormat(QImage::Format_RGB32);
  const QImage db = page.copy(QRect({}, both)).convertToFormat(QImage::Format_RGB32);
  diff = QImage(da.size(), QImage::Format_RGB32);
  long differing = 0, exact = 0, exactWrong = 0;
  for (int y = 0; y < da.height(); ++y)
    for (int x = 0; x < da.width(); ++x) {
      const int grey = qGray(da.pixel(x, y)) / 2 + 64;
      QRgb shown = qRgb(grey, grey, grey);
      if (distance(a.pixel(x, y), b.pixel(x, y)) > kThreshold) {
        ++differing;
        shown = qRgb(255, 0, 0);
      }
      if (qAlpha(desktop.exact.pixel(x, y)) != 0) {
        ++exact;
        if (da.pixel(x, y) != db.pixel(x, y)) {
          ++exactWrong;
          shown = qRgb(0, 0, 255);
        }
      }
      diff.setPixel(x, y, shown);
    }
  const double share = static_cast<double>(differing) / (da.width() * da.height());
  // Between whole pixels each engine puts a glyph's edges where its own rounding takes them.
  const double allowed = whole ? mostDiffering : mostDiffering * 1.5;
  const bool ok = share <= allowed && exactWrong == 0;
  std::printf(
      "%s: %.3f%% of the pixels differ (at most %.3f%%); %ld of %ld sprite and plate "
      "pixels differ%s\n",
      what.c_str(), share * 100, allowed * 100, exactWrong, exact, ok ? "" : "  <- DIFFERS");
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const std::string mode = argc >= 3 ? argv[1] : "";
  if (!(mode == "moments" && argc == 3) && !(mode == "compare" && argc >= 4)) {
    std::fprintf(stderr,
                 "usage: same_picture moments JOURNAL | compare JOURNAL DIR [PERCENT [SIZE:SCALE...]]\n");
    return 2;
  }
  const std::string bytes = bytesOf(argv[2]);
  const milka::journal::Reading r = milka::journal::read(bytes);
  if (!milka::journal::holdsCareer(r)) {
    std::fprintf(stderr, "same_picture: %s holds no career\n", argv[2]);
    return 2;
  }
  const std::vector<Moment> moments = momentsOf(r);
  if (mode == "moments") {
    for (const Moment& m : moments) std::printf("%s %zu\n", m.name.c_str(), m.events);
    return moments.size() == 5 ? 0 : 1;
  }
  const QDir dir(QString::fromLocal8Bit(argv[3]));
  if (argc >= 5) mostDiffering = std::atof(argv[4]) / 100;
  std::vector<std::pair<std::string, double>> sizes = {{"1x", 1}, {"2x", 2}};
  if (argc >= 6) sizes.clear();
  for (int k = 6; k <= argc; ++k) {
    const std::string size = argv[k - 1];
    const size_t colon = size.find(':');
    const double scale = colon == std::string::npos ? 0 : std::atof(size.c_str() + colon + 1);
    if (scale <= 0 || scale > 8) {
      std::fprintf(stderr, "same_picture: %s is no SIZE:SCALE\n", size.c_str());
      return 2;
    }
    sizes.emplace_back(size.substr(0, colon), scale);
  }
  bool all = moments.size() == 5;
  for (const Moment& m : moments) {
    const std::unique_ptr<milka::journal::Session> at = milka::journal::replay(r, m.events);
    for (const auto& [size, scale] : sizes) {
      const QString stem = QStringLiteral("%1-%2.png")
                               .arg(QString::fromStdString(m.name), QString::fromStdString(size));
      const Drawn desktop = drawDesktop(at->game(), scale);
      desktop.picture.save(dir.filePath("desktop-" + stem));
      const QImage page(dir.filePath("page-" + stem));
      QImage diff;
      const bool ok =
          compare(m.name + " " + size, desktop, page, scale == std::round(scale), diff);
      if (!diff.isNull()) diff.save(dir.filePath("diff-" + stem));
      all = all && ok;
    }
  }
  return all ? 0 : 1;
}
