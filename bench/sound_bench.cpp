// What the sound costs and how quickly it answers. The mixer rendering one 5 ms top-up in the
// thick of a race; twenty seconds of racing in real time with the timers running, sound on
// against sound off (process CPU); and the time from a key press in Text1 to the first sample
// of the whip's crack leaving the mixer. Run it against a sound server, for instance through
// tests/audio/with_sound_server.sh, or the "on" figures are those of a game with no output.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "platform/sound/sound.h"
#include "platform/window/window.h"
#include "race_run.h"
#include "typed_key.h"
#include "view/scripted_tour.h"

namespace {

using milka::bench::processSeconds;
using milka::bench::walkToRace;

using milka::platform::Sound;
using SteadyClock = std::chrono::steady_clock;

int qtKeyOf(int code) {
  if (code >= 37 && code <= 40) return Qt::Key_Left + (code - 37);
  return Qt::Key_A + (code - 65);
}

void waitUntilPlaying(const Sound& sound) {
  const auto deadline = SteadyClock::now() + std::chrono::seconds(5);
  while (!sound.playing() && SteadyClock::now() < deadline) QTest::qWait(20);
}

// One top-up's worth of mixing with the field bunched at full gallop and the stand roaring.
void BM_MixFiveMilliseconds(benchmark::State& state) {
  static const milka::play::SoundBank bank = milka::play::synthesiseSounds();
  milka::play::Mixer mixer(bank);
  mixer.setAmbience({1.0f, 2.8f, 1.0f, 0.8f});
  mixer.play(milka::play::Cue::WinningGoal);
  std::vector<int16_t> block(milka::play::kSampleRate / 200);
  for (int i = 0; i < 100; ++i) mixer.render(block.data(), block.size());  // glide to the aim
  for (auto _ : state) {
    mixer.render(block.data(), block.size());
    benchmark::DoNotOptimize(block.data());
  }
  // Per cent of one core while it plays: 100 × (time per top-up) / 5 ms.
  state.counters["cpu_percent_of_real_time"] =
      benchmark::Counter(static_cast<double>(state.iterations()) / 20000.0,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_MixFiveMilliseconds)->Unit(benchmark::kMicrosecond);

// The game as it is played: timers at 200 ms, a symbol typed every tick, race after race.
void BM_RaceTwentySeconds(benchmark::State& state) {
  constexpr int kSeconds = 20;
  const bool withSound = state.range(0) != 0;
  for (auto _ : state) {
    milka::testing::ScriptedTour tour;
    milka::Game& game = tour.game;
    game.Form_Load();
    walkToRace(tour);
    milka::platform::GameWindow window(game);
    std::unique_ptr<Sound> sound;
    if (withSound) {
      sound = std::make_unique<Sound>(false, milka::platform::kMaxVolume);
      window.setSound(sound.get());
      waitUntilPlaying(*sound);
    }
    window.sync();
    window.show();
    QTimer player;
    player.setInterval(200);
    QObject::connect(&player, &QTimer::timeout, [&] {
      if (const int code = milka::testing::keyCodeOf(game.form.label(12).caption))
        game.Text1_KeyDown(static_cast<int16_t>(code), 0);
      if (game.state.screenState != milka::screen::kRace) walkToRace(tour);
      window.sync();
    });
    const double before = processSeconds();
    window.startTimers();
    player.start();
    QEventLoop loop;
    QTimer::singleShot(kSeconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    state.counters["game_cpu_percent"] = 100 * (processSeconds() - before) / kSeconds;
    state.counters["output_open"] = sound && sound->playing() ? 1 : 0;
    window.setSound(nullptr);
  }
}
BENCHMARK(BM_RaceTwentySeconds)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond);

// A correct key typed into Text1, through the window's own key handling, until the crack's first
// sample is mixed; the output then holds at most its 20 ms queue before the server has it.
void BM_KeyToCrack(benchmark::State& state) {
  milka::testing::ScriptedTour tour;
  milka::Game& game = tour.game;
  game.Form_Load();
  walkToRace(tour);
  milka::platform::GameWindow window(game);
  Sound sound(false, milka::platform::kMaxVolume);
  window.setSound(&sound);
  window.show();
  waitUntilPlaying(sound);
  std::vector<double> delays;
  for (auto _ : state) {
    state.PauseTiming();
    if (game.state.screenState != milka::screen::kRace || game.state.playerFinished == 1)
      walkToRace(tour);
    game.Timer1_Timer();  // spends the last whip, so the next key readies another
    window.sync();
    const int code = milka::testing::keyCodeOf(game.form.label(12).caption);
    state.ResumeTiming();
    if (code == 0) continue;
    const auto pressed = SteadyClock::now();
    QTest::keyClick(window.text1(), static_cast<Qt::Key>(qtKeyOf(code)));
    while (sound.mixer().lastCrackRendered() < pressed &&
           SteadyClock::now() - pressed < std::chrono::milliseconds(500))
      std::this_thread::sleep_for(std::chrono::microseconds(100));
    const auto cracked = sound.mixer().lastCrackRendered();
    // A key that readied no whip (none left, or one already waiting) cracks nothing.
    if (cracked >= pressed)
      delays.push_back(std::chrono::duration<double, std::milli>(cracked - pressed).count());
    // Keys a player's pace apart, so that one crack is not waiting behind the last.
    state.PauseTiming();
    QTest::qWait(50);
    state.ResumeTiming();
  }
  if (delays.empty()) return;
  std::sort(delays.begin(), delays.end());
  double sum = 0;
  for (double d : delays) sum += d;
  state.counters["mean_ms"] = sum / static_cast<double>(delays.size());
  state.counters["p95_ms"] = delays[delays.size() * 95 / 100];
  state.counters["max_ms"] = delays.back();
  state.counters["cracks"] = static_cast<double>(delays.size());
  state.counters["output_open"] = sound.playing() ? 1 : 0;
  window.setSound(nullptr);
}
BENCHMARK(BM_KeyToCrack)->Iterations(60)->Unit(benchmark::kMillisecond);

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
