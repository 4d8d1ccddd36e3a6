// Draws the desktop icons with the very code that draws the window's own icon
// (platform/sprites.h), so the menu, the dock and the window show the same runner, pixel for
// pixel.
//
//   milka-icons OUTPUT-DIR NAME SIZE...
// writes OUTPUT-DIR/<n>x<n>/apps/NAME.png for every size given, as the hicolor theme lays out.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>

#include "platform/draw/sprites.h"

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

  for (int i = 3; i < argc; ++i) {
    bool ok = false;
    const int size = QString::fromLocal8Bit(argv[i]).toInt(&ok);
    if (!ok || size < 1 || size > 1024) {
      std::fprintf(stderr, "milka-icons: not a size: %s\n", argv[i]);
      return 2;
    }
    const QImage icon = milka::platform::iconImage(size);
    if (icon.isNull() || icon.size() != QSize(size, size)) {
      std::fprintf(stderr, "milka-icons: the runner's art cannot be drawn at %d px\n", size);
      return 1;
    }
    const QString dir = QStringLiteral("%1/%2x%2/apps").arg(outDir).arg(size);
    const QString file = QStringLiteral("%1/%2.png").arg(dir, name);
    if (!QDir().mkpath(dir) || !icon.save(file, "PNG")) {
      std::fprintf(stderr, "milka-icons: cannot write %s\n", qPrintable(file));
      return 1;
    }
  }
  return 0;
}
