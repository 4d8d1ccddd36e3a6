// Writes a picture of each main screen of the scripted career, drawn from scratch at 1x and 2x
// and as the window's own repaints left it, so two builds of the drawing can be compared pixel
// for pixel: milka-screens OUTDIR.
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QScreen>
#include <cstdio>
#include <map>

#include "platform/window/window.h"
#include "view/scripted_tour.h"

namespace {

QImage drawnAt(QWidget& window, qreal scale) {
  QImage image(window.size() * scale, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(scale);
  image.fill(Qt::black);
  window.render(&image);
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // A steady text cursor, so the pictures do not depend on when the cursor blinked.
  QApplication::setCursorFlashTime(0);
  if (argc < 2) {
    std::fprintf(stderr, "usage: milka-screens OUTDIR\n");
    return 2;
  }
  const QDir out(QString::fromLocal8Bit(argv[1]));
  QDir().mkpath(out.path());

  milka::testing::ScriptedTour tour;
  milka::platform::GameWindow window(tour.game);
  tour.game.Form_Load();
  window.sync();
  window.show();
  QCoreApplication::processEvents();

  // A few periods into each screen, and well into the running of the first race.
  const std::map<int, int> settleTicks = {
      {milka::screen::kTitle, 8},    {milka::screen::kBreeding, 8},  {milka::screen::kStable, 8},
      {milka::screen::kRaceCard, 8}, {milka::screen::kRace, 60},     {milka::screen::kResults, 8},
      {milka::screen::kPasture, 8},  {milka::screen::kCareerOver, 8}};
  std::map<int, int> seen;
  int shots = 0;
  while (tour.game.state.screenState != milka::screen::kFinished && tour.ticks < 200000 &&
         seen.size() < settleTicks.size()) {
    tour.step();
    window.sync();
    QCoreApplication::processEvents();
    const int screen = tour.game.state.screenState;
    const auto wanted = settleTicks.find(screen);
    if (wanted == settleTicks.end() || seen.count(screen) > 0) continue;
    static std::map<int, int> into;
    if (++into[screen] < wanted->second) continue;
    seen[screen] = 1;
    const QString stem = out.filePath(QStringLiteral("screen%1").arg(screen));
    drawnAt(window, 1).save(stem + "-1x.png");
    drawnAt(window, 2).save(stem + "-2x.png");
    window.screen()->grabWindow(window.winId()).toImage().save(stem + "-shown.png");
    ++shots;
  }
  std::printf("%d screens after %lld periods\n", shots, static_cast<long long>(tour.ticks));
  return shots == static_cast<int>(settleTicks.size()) ? 0 : 1;
}
