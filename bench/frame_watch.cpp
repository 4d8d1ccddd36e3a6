// The game's window left to run on one scene, for measuring what showing it costs the whole
// process and the X server from outside (bench/frame_cost.sh holds it against the bare window):
//
//   frame_watch title|race on|off SECONDS
//
// The title runs on the window's own five timers for as long as nobody presses A. In a race a
// player types every symbol it asks for, once a period; a race that ends is followed at once by
// the next. on|off: whether the pictures glide. Quits after SECONDS; QT_SCALE_FACTOR=2 for a 2x
// screen.
#include <QApplication>
#include <QPaintEvent>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/window/window.h"
#include "play/glide.h"
#include "race_run.h"
#include "typed_key.h"
#include "view/scripted_tour.h"

namespace {

// Counts the canvas's paints and the area they cover, printed at the end.
class PaintCount final : public QObject {
 public:
  int64_t paints = 0, pixels = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::Paint) return false;
    ++paints;
    for (const QRect& r : static_cast<QPaintEvent*>(event)->region())
      pixels += static_cast<int64_t>(r.width()) * r.height();
    return false;
  }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 4) {
    std::fprintf(stderr, "usage: frame_watch title|race on|off SECONDS\n");
    return 2;
  }
  const bool race = std::strcmp(argv[1], "race") == 0;
  const bool glide = std::strcmp(argv[2], "on") == 0;
  const int seconds = std::max(1, std::atoi(argv[3]));

  milka::testing::ScriptedTour tour;
  milka::Game& game = tour.game;
  game.Form_Load();
  if (race) milka::bench::walkToRace(tour);
  milka::platform::GameWindow window(game);
  window.setWindowTitle(QStringLiteral("frame_watch"));
  window.setGliding(glide);
  window.sync();
  window.show();

  QTimer player;
  player.setTimerType(Qt::PreciseTimer);
  player.setInterval(milka::play::kGlideMs);
  QObject::connect(&player, &QTimer::timeout, [&] {
    if (const int code = milka::testing::keyCodeOf(game.form.label(12).caption))
      game.Text1_KeyDown(static_cast<int16_t>(code), 0);
    if (game.state.screenState != milka::screen::kRace) milka::bench::walkToRace(tour);
    window.sync();
  });
  window.startTimers();
  if (race) player.start();
  PaintCount count;
  window.canvas()->installEventFilter(&count);
  QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
  const int code = QApplication::exec();
  std::printf("%lld paints of the canvas, %lld px a paint, %d labels drawn from kept pictures\n",
              static_cast<long long>(count.paints),
              static_cast<long long>(count.pixels / std::max<int64_t>(1, count.paints)),
              window.canvas()->keptPictures());
  return code;
}
