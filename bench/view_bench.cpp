// What gliding costs on the offscreen platform, in the middle of a race: a frame between ticks
// (every gliding picture moved on and repainted), a frame on a tick (the five handlers, the
// view brought up to date and repainted), and beside them a frame with nothing to draw and the
// whole form drawn afresh; each at 1× and 2×. Then half a minute of racing in real time, timers
// and gliding on: frames drawn per second while the field runs, the longest wait between two,
// and the processor time the painting and the whole game took.
#include <benchmark/benchmark.h>
#include <time.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPaintEvent>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <memory>

#include "platform/window/window.h"
#include "play/glide.h"
#include "race_run.h"
#include "shell/game.h"
#include "typed_key.h"
#include "view/scripted_tour.h"

namespace {

using milka::bench::processSeconds;
using milka::bench::walkToRace;

using milka::Game;
using milka::platform::GameWindow;

void settle() {
  QCoreApplication::processEvents();
}

// A shown window in a race, its glides timed by a clock the benchmark moves.
struct RaceView {
  explicit RaceView(double zoom, bool ownClock = true) {
    game.Form_Load();
    walkToRace(tour);
    if (ownClock) window.canvas()->setClock([this] { return now; });
    window.zoomTo(zoom);
    window.sync();
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) std::abort();
    settle();
  }

  void tick() {
    tour.step();
    if (game.state.screenState != milka::screen::kRace) walkToRace(tour);
    window.sync();
  }

  milka::testing::ScriptedTour tour;
  Game& game = tour.game;
  GameWindow window{game};
  int64_t now = 0;
};

constexpr int kFrameMs = 16;

void BM_GlidingFrame(benchmark::State& state) {
  RaceView view(static_cast<double>(state.range(0)));
  int64_t tickedAt = 0;
  for (auto _ : state) {
    view.now += kFrameMs;
    if (view.now - tickedAt >= milka::play::kGlideMs) {
      state.PauseTiming();
      view.tick();
      settle();
      tickedAt = view.now;
      state.ResumeTiming();
    }
    view.window.canvas()->frame();
    settle();
  }
}
BENCHMARK(BM_GlidingFrame)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

void BM_TickingFrame(benchmark::State& state) {
  RaceView view(static_cast<double>(state.range(0)));
  for (auto _ : state) {
    view.now += milka::play::kGlideMs;
    view.tick();
    view.window.canvas()->frame();
    settle();
  }
}
BENCHMARK(BM_TickingFrame)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// The floor: a turn of the event loop with nothing to draw.
void BM_BareFrame(benchmark::State& state) {
  RaceView view(static_cast<double>(state.range(0)));
  for (auto _ : state) {
    view.window.canvas()->frame();
    settle();
  }
}
BENCHMARK(BM_BareFrame)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// The ceiling: the whole form drawn again, as after a resize.
void BM_WholeFrame(benchmark::State& state) {
  RaceView view(static_cast<double>(state.range(0)));
  for (auto _ : state) {
    view.window.canvas()->update();
    settle();
  }
}
BENCHMARK(BM_WholeFrame)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

double threadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Times every paint of the canvas: the processor time it takes, and, while the field runs and
// pictures glide, how many there are and the longest gap. The period after a lap shift is left
// out: the whole field jumps back then, nothing glides, and there is nothing to draw.
class FrameClock final : public QObject {
 public:
  FrameClock(const Game& game, const milka::platform::Canvas& canvas)
      : game_(game), canvas_(canvas) {
    wall_.start();
  }
  int64_t frames = 0;
  int64_t longestNs = 0;
  double paintSeconds = 0;
  double runningSeconds = 0;
  // Forget the last frame: what comes next follows a pause of the benchmark's own making.
  void restart() { wasRunning_ = false; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Paint || inside_) return false;
    const int64_t at = wall_.nsecsElapsed();
    const milka::GameState& s = game_.state;
    const bool running = canvas_.animating() && s.screenState == milka::screen::kRace &&
                         s.startCountdown < 0 && s.playerFinished == 0;
    if (running && wasRunning_ && s.lapsToGo == lapsToGo_) {
      longestNs = std::max(longestNs, at - last_);
      runningSeconds += static_cast<double>(at - last_) * 1e-9;
      ++frames;
    }
    wasRunning_ = running;
    lapsToGo_ = s.lapsToGo;
    last_ = at;
    // Delivered from here, so that its handling can be timed.
    inside_ = true;
    const double start = threadSeconds();
    QCoreApplication::sendEvent(watched, event);
    paintSeconds += threadSeconds() - start;
    inside_ = false;
    return true;
  }

 private:
  const Game& game_;
  const milka::platform::Canvas& canvas_;
  int32_t lapsToGo_ = 0;
  QElapsedTimer wall_;
  int64_t last_ = 0;
  bool wasRunning_ = false;
  bool inside_ = false;
};

void BM_RaceThirtySeconds(benchmark::State& state) {
  constexpr int kSeconds = 30;
  for (auto _ : state) {
    RaceView view(static_cast<double>(state.range(0)), false);
    // The player types the shown symbol once a tick; a race that ends is followed by the next.
    FrameClock frames(view.game, *view.window.canvas());
    QTimer player;
    player.setInterval(milka::play::kGlideMs);
    QObject::connect(&player, &QTimer::timeout, [&view, &frames] {
      if (const int code = milka::testing::keyCodeOf(view.game.form.label(12).caption))
        view.game.Text1_KeyDown(static_cast<int16_t>(code), 0);
      if (view.game.state.screenState != milka::screen::kRace) {
        // Straight on to the next race, between two frames; that gap is not the window's.
        walkToRace(view.tour);
        frames.restart();
      }
      view.window.sync();
    });
    view.window.canvas()->installEventFilter(&frames);
    const double cpuBefore = processSeconds();
    view.window.startTimers();
    player.start();
    QEventLoop loop;
    QTimer::singleShot(kSeconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    const double cpu = processSeconds() - cpuBefore;
    state.counters["gliding_fps"] = static_cast<double>(frames.frames) / frames.runningSeconds;
    state.counters["worst_gliding_interval_ms"] = static_cast<double>(frames.longestNs) * 1e-6;
    state.counters["paint_cpu_percent"] = 100 * frames.paintSeconds / kSeconds;
    state.counters["game_cpu_percent"] = 100 * cpu / kSeconds;
  }
}
BENCHMARK(BM_RaceThirtySeconds)->Arg(1)->Arg(2)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
