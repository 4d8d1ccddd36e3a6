// Draws the desktop icons from the window's own icon art, so the menu, the dock and the window
// show the same runner. Pixel art stays pixel art: each source pixel becomes a whole square of
// pixels (a size that is not a whole multiple is centred on a see-through square), and a smaller
// icon gives each block of pixels its commonest colour. Nothing is smoothed, so no colour
// appears that the art lacks.
//
//   milka-icons OUTPUT-DIR NAME SIZE...
// writes OUTPUT-DIR/<n>x<n>/apps/NAME.png for every size given, as the hicolor theme lays out.
#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <cstdio>

#include "platform/sprites.h"

namespace {

// The art at one pixel a pixel: the smallest picture the window's icon holds.
QImage baseArt() {
  const QIcon icon = milka::platform::windowIcon();
  QSize smallest;
  for (const QSize& size : icon.availableSizes()) {
    if (!smallest.isValid() || size.width() < smallest.width()) smallest = size;
  }
  if (!smallest.isValid()) return {};
  return icon.pixmap(smallest).toImage().convertToFormat(QImage::Format_ARGB32);
}

// Darker first, and any colour before see-through: on a tie the outline survives.
bool before(QRgb a, QRgb b) {
  if (qAlpha(a) != qAlpha(b)) return qAlpha(a) > qAlpha(b);
  return qGray(a) < qGray(b);
}

// Each block of art pixels becomes the colour that covers most of it. Taking every n-th pixel
// instead drops whole rows of outline and the runner falls apart at 16 px.
QImage reduced(const QImage& art, int size) {
  const int block = art.width() / size;
  QImage out(size, size, QImage::Format_ARGB32);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      QRgb best = 0;
      int bestCount = 0;
      for (int i = 0; i < block * block; ++i) {
        const QRgb c = art.pixel(x * block + i % block, y * block + i / block);
        int count = 0;
        for (int j = 0; j < block * block; ++j) {
          count += art.pixel(x * block + j % block, y * block + j / block) == c ? 1 : 0;
        }
        if (count > bestCount || (count == bestCount && before(c, best))) {
          best = c;
          bestCount = count;
        }
      }
      out.setPixel(x, y, best);
    }
  }
  return out;
}

QImage drawnAt(const QImage& art, int size) {
  const int side = art.width();
  if (size < side) {
    if (side % size == 0) return reduced(art, size);
    return art.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  }
  const int scaledSide = side * (size / side);
  const QImage scaled =
      art.scaled(scaledSide, scaledSide, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  QImage out(size, size, QImage::Format_ARGB32);
  out.fill(Qt::transparent);
  QPainter painter(&out);
  painter.drawImage((size - scaledSide) / 2, (size - scaledSide) / 2, scaled);
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s OUTPUT-DIR NAME SIZE...\n", argv[0]);
    return 2;
  }
  // Run on build machines with no display: nothing is shown, pictures are only drawn.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QString outDir = QString::fromLocal8Bit(argv[1]);
  const QString name = QString::fromLocal8Bit(argv[2]);

  const QImage art = baseArt();
  if (art.isNull() || art.width() != art.height()) {
    std::fprintf(stderr, "milka-icons: the window icon has no square picture\n");
    return 1;
  }
  for (int i = 3; i < argc; ++i) {
    bool ok = false;
    const int size = QString::fromLocal8Bit(argv[i]).toInt(&ok);
    if (!ok || size < 1 || size > 1024) {
      std::fprintf(stderr, "milka-icons: not a size: %s\n", argv[i]);
      return 2;
    }
    const QString dir = QStringLiteral("%1/%2x%2/apps").arg(outDir).arg(size);
    const QString file = QStringLiteral("%1/%2.png").arg(dir, name);
    if (!QDir().mkpath(dir) || !drawnAt(art, size).save(file, "PNG")) {
      std::fprintf(stderr, "milka-icons: cannot write %s\n", qPrintable(file));
      return 1;
    }
  }
  return 0;
}
