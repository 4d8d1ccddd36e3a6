// Keeping the career: how long a whole career's journal takes from start-up to a continued,
// drawn window; what a tick costs with the journal written beside it; how often the disk is
// made durable while the game runs.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>

#include "journal/careful_player.h"
#include "platform/keep/career_files.h"
#include "platform/window/window.h"
#include "play/career_play.h"
#include "view/window_parts.h"

namespace {

using namespace milka;
using platform::CareerKeeper;

// A career played to its last screen but one, written where the keeper looks.
void writeWholeCareer(const QString& dir) {
  journal::Session s(journal::Session::newHeader(4242));
  std::string bytes = s.startNewJournal();
  s.feed(journal::Event::siteBase("http://127.0.0.1:9"));
  s.feed(journal::Event::load());
  testing::playCarefully(s,
                         [](const Game& g) { return g.state.screenState == screen::kCareerOver; });
  s.encoder()->finish();
  bytes += s.encoder()->take();
  QDir().mkpath(dir);
  QFile out(dir + "/20260101-000000-1092.mdj");
  out.open(QIODevice::WriteOnly);
  out.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

void BM_ContinueToDrawnWindow(benchmark::State& state) {
  QTemporaryDir dir;
  writeWholeCareer(dir.path());
  const QString file = dir.filePath("20260101-000000-1092.mdj");
  const QByteArray original = [&] {
    QFile f(file);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
  }();
  testing::RecordingPort port;
  int64_t events = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    CareerKeeper keeper(dir.path(), port);
    const auto started = keeper.start();
    platform::GameWindow window(keeper.game());
    play::CareerPlay play(keeper, window);
    window.follow(play);
    window.show();
    play.begin(started);
    benchmark::DoNotOptimize(window.grab());
    const auto t1 = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
    events = keeper.session().events();
    state.PauseTiming();
    keeper.close();
    QFile f(file);
    f.open(QIODevice::WriteOnly);
    f.write(original);
    state.ResumeTiming();
  }
  state.counters["events"] = static_cast<double>(events);
  state.counters["bytes"] = static_cast<double>(original.size());
}
BENCHMARK(BM_ContinueToDrawnWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// A whole career played as the window feeds it (some 48,000 events, most of them race ticks),
// with its journal written to a file as the game writes it (arg 1) or not kept at all (arg 0).
void BM_WholeCareer(benchmark::State& state) {
  testing::RecordingPort port;
  int64_t events = 0;
  for (auto _ : state) {
    state.PauseTiming();
    QTemporaryDir dir;
    auto keeper = std::make_unique<CareerKeeper>(dir.path(), port);
    keeper->start(99);
    journal::Session plain(journal::Session::newHeader(99));
    plain.feed(journal::Event::load());
    journal::Session& s = state.range(0) ? keeper->session() : plain;
    state.ResumeTiming();
    testing::playCarefully(
        s, [](const Game& g) { return g.state.screenState == screen::kCareerOver; });
    events = s.events();
    state.PauseTiming();
    keeper.reset();
    state.ResumeTiming();
  }
  state.counters["events"] = static_cast<double>(events);
}
BENCHMARK(BM_WholeCareer)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The window's own timers for five seconds: how often the writer syncs, and the longest a tick
// took from its timer to the end of its handler and the hand-over of its bytes.
void BM_FlushesWhilePlaying(benchmark::State& state) {
  for (auto _ : state) {
    QTemporaryDir dir;
    testing::RecordingPort port;
    CareerKeeper keeper(dir.path(), port);
    keeper.start(7);
    platform::GameWindow window(keeper.game());
    play::CareerPlay play(keeper, window);
    window.follow(play);
    double longest = 0;
    window.setFeed([&](const journal::Event& e) {
      const auto t0 = std::chrono::steady_clock::now();
      keeper.session().feed(e);
      longest = std::max(
          longest,
          std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
    });
    window.show();
    play.begin({});
    QTest::qWait(5000);
    keeper.close();
    state.counters["syncs_per_s"] = static_cast<double>(keeper.writer()->syncs()) / 5.0;
    state.counters["longest_tick_us"] = longest;
    state.counters["bytes_per_s"] = static_cast<double>(keeper.writer()->bytesWritten()) / 5.0;
  }
}
BENCHMARK(BM_FlushesWhilePlaying)->Iterations(1)->Unit(benchmark::kSecond);

// Ten seconds of a race in the window on its own timers, whole-process CPU (the writer's thread
// included), with the journal written (arg 1) or the same race not kept (arg 0).
double processCpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void BM_RaceInWindow(benchmark::State& state) {
  for (auto _ : state) {
    QTemporaryDir dir;
    testing::RecordingPort port;
    CareerKeeper keeper(dir.path(), port);
    keeper.start(11);
    journal::Session plain(journal::Session::newHeader(11));
    plain.feed(journal::Event::siteBase(port.siteBase));
    plain.feed(journal::Event::load());
    journal::Session& s = state.range(0) ? keeper.session() : plain;
    testing::playCarefully(s, [](const Game& g) { return g.state.screenState == screen::kRace; });
    platform::GameWindow window(s.game());
    window.setFeed([&s](const journal::Event& e) { s.feed(e); });
    window.show();
    window.startTimers();
    QTest::qWait(500);
    const double cpu0 = processCpuSeconds();
    QTest::qWait(10000);
    state.SetIterationTime(processCpuSeconds() - cpu0);
    state.counters["screen_after"] = s.game().state.screenState;
  }
}
BENCHMARK(BM_RaceInWindow)
    ->Arg(0)
    ->Arg(1)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
