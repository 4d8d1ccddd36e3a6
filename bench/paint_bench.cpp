// What drawing costs, tick by tick on the offscreen platform: the scripted career's race and
// its title, each painted by the game's window and by a bare Qt window of the same size showing
// the same model with stock widgets (40 labels, 42 pictures, 5 buttons, the line edits).
// Reports the processor time of each tick's repaint, the part of it spent in the widgets' paint
// events, and the area repainted; run with QT_SCALE_FACTOR=2 for a 2x screen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPaintEvent>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>

#include "bare_window.h"
#include "platform/window/window.h"
#include "view/scripted_tour.h"

namespace {

using milka::Form;
using milka::bench::BareWindow;
using milka::platform::Canvas;
using milka::testing::ScriptedTour;

// The machine is shared: count the processor time this thread spends, not the time on the wall.
double threadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double processSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Watches every widget of a window: adds up the time their paint events take and the area the
// bottom widget (the one under all the others) is asked to repaint.
class PaintMeter final : public QObject {
 public:
  void watch(QWidget* window, QWidget* bottom) {
    bottom_ = bottom;
    window->installEventFilter(this);
    for (QWidget* w : window->findChildren<QWidget*>()) w->installEventFilter(this);
  }
  int64_t pixels = 0;
  double seconds = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Paint || inside_) return false;
    if (watched == bottom_)
      for (const QRect& r : static_cast<QPaintEvent*>(event)->region())
        pixels += static_cast<int64_t>(r.width()) * r.height();
    // Deliver it from here, so its handling can be timed.
    inside_ = true;
    const double start = threadSeconds();
    QCoreApplication::sendEvent(watched, event);
    seconds += threadSeconds() - start;
    inside_ = false;
    return true;
  }

 private:
  QWidget* bottom_ = nullptr;
  bool inside_ = false;
};

enum class Kind { Game, Bare };
enum class Scene { Title, Race };

// One window of either kind on a scripted career, with a meter on what it repaints.
struct Shown {
  Shown(Kind kind, Scene shownScene) : scene(shownScene) {
    if (kind == Kind::Game) {
      auto* w = new milka::platform::GameWindow(tour.game);
      tour.game.Form_Load();
      w->sync();
      game.reset(w);
      meter.watch(w, w->canvas());
    } else {
      tour.game.Form_Load();
      auto* w = new BareWindow(tour.game.form);
      bare.reset(w);
      meter.watch(w, w);
    }
    widget()->show();
    QCoreApplication::processEvents();
    if (scene == Scene::Race)
      for (int i = 0; i < 30; ++i) advance();  // into the running, past the countdown
    sync();
    QCoreApplication::sendPostedEvents();
    meter.pixels = 0;
    meter.seconds = 0;
  }
  QWidget* widget() const { return game ? static_cast<QWidget*>(game.get()) : bare.get(); }
  void sync() {
    if (game) game->sync();
    if (bare) bare->sync(tour.game.form);
  }

  // One period of the scene. The title runs for as long as nobody presses A; a race that ends
  // is followed at once by the next, the screens between drawn but not counted.
  void advance() {
    if (scene == Scene::Title) {
      tour.game.Timer1_Timer();
      tour.game.Timer2_Timer();
      tour.game.Timer3_Timer();
      tour.game.Timer4_Timer();
      tour.game.Timer5_Timer();
      return;
    }
    tour.step();
    if (tour.game.state.screenState == milka::screen::kRace) return;
    const int64_t pixels = meter.pixels;
    const double seconds = meter.seconds;
    while (tour.game.state.screenState != milka::screen::kRace) {
      sync();
      QCoreApplication::sendPostedEvents();
      tour.step();
    }
    meter.pixels = pixels;
    meter.seconds = seconds;
  }

  Scene scene;
  ScriptedTour tour;
  std::unique_ptr<milka::platform::GameWindow> game;
  std::unique_ptr<BareWindow> bare;
  PaintMeter meter;
};

void BM_Paint(benchmark::State& state) {
  Shown shown(static_cast<Kind>(state.range(0)), static_cast<Scene>(state.range(1)));
  int64_t ticks = 0;
  for (auto _ : state) {
    shown.advance();
    shown.sync();
    const double start = threadSeconds();
    // The repaint the sync asked for, done as the event loop would do it.
    QCoreApplication::sendPostedEvents();
    state.SetIterationTime(threadSeconds() - start);
    ++ticks;
  }
  // The whole repaint is the time; of it, the widgets' own paint events, and the area.
  state.counters["paint_events_us"] =
      benchmark::Counter(shown.meter.seconds * 1e6 / static_cast<double>(ticks));
  state.counters["px_per_tick"] =
      benchmark::Counter(static_cast<double>(shown.meter.pixels) / static_cast<double>(ticks));
}
BENCHMARK(BM_Paint)
    ->ArgNames({"bare", "race"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(3000);

// paint_bench --watch game|bare title|race SECONDS: the scene live, a period every 200 ms on a
// timer, for measuring the whole process (and the X server) from outside; prints this process's
// processor time over the watched seconds.
int watch(Kind kind, Scene scene, int seconds) {
  Shown shown(kind, scene);
  QTimer period;
  period.setTimerType(Qt::PreciseTimer);
  QObject::connect(&period, &QTimer::timeout, [&shown] {
    shown.advance();
    shown.sync();
  });
  const double start = processSeconds();
  period.start(200);
  QTimer::singleShot(seconds * 1000, qApp, &QCoreApplication::quit);
  QCoreApplication::exec();
  std::printf("%s %s: %.1f ms of processor time in %d s, %.0f px repainted a period\n",
              kind == Kind::Game ? "game" : "bare", scene == Scene::Race ? "race" : "title",
              (processSeconds() - start) * 1e3, seconds,
              static_cast<double>(shown.meter.pixels) / (seconds * 5.0));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc == 5 && std::strcmp(argv[1], "--watch") == 0)
    return watch(std::strcmp(argv[2], "bare") == 0 ? Kind::Bare : Kind::Game,
                 std::strcmp(argv[3], "race") == 0 ? Scene::Race : Scene::Title,
                 std::max(1, std::atoi(argv[4])));
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
