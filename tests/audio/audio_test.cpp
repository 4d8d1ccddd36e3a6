// The game heard through a real sound server: a scripted race is played through the window with
// its sound on while the server's null sink is recorded. The gates and the bell must be heard
// when the runners move and not a sound before; the goal must lift the stand.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <chrono>
#include <cmath>
#include <vector>

#include "career/flow.h"
#include "platform/sound/sound.h"
#include "platform/window/window.h"
#include "scripted_random.h"
#include "typed_key.h"

namespace milka::platform {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRate = 48000;

// The sink's monitor, as parec hears it: raw 16-bit mono.
class Recording {
 public:
  void start(const QString& source) {
    connect();
    parec_.start(QStringLiteral("parec"),
                 {QStringLiteral("-d"), source, QStringLiteral("--rate=48000"),
                  QStringLiteral("--channels=1"), QStringLiteral("--format=s16le"),
                  QStringLiteral("--latency-msec=10")});
  }
  bool flowing() {
    take();
    return !raw_.isEmpty();
  }
  void stop() {
    take();
    parec_.terminate();
    parec_.waitForFinished(3000);
  }
  // The sample being heard now, by what has come so far. Counted, not timed from the first
  // bytes: a server short of time drops samples from a monitor, and a clock would then point
  // past what was heard.
  long long now() {
    take();
    return raw_.size() / 2;
  }
  std::vector<float> samples() const {
    std::vector<float> out(static_cast<size_t>(raw_.size() / 2));
    const auto* data = reinterpret_cast<const int16_t*>(raw_.constData());
    for (size_t i = 0; i < out.size(); ++i) out[i] = static_cast<float>(data[i]) / 32768.0f;
    return out;
  }
  void saveWav(const QString& path) const {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return;
    auto u32 = [&file](uint32_t v) { file.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&file](uint16_t v) { file.write(reinterpret_cast<const char*>(&v), 2); };
    const auto bytes = static_cast<uint32_t>(raw_.size());
    file.write("RIFF");
    u32(36 + bytes);
    file.write("WAVEfmt ");
    u32(16);
    u16(1);
    u16(1);
    u32(kRate);
    u32(kRate * 2);
    u16(2);
    u16(16);
    file.write("data");
    u32(bytes);
    file.write(raw_);
  }

 private:
  void connect() {
    QObject::connect(&parec_, &QProcess::readyReadStandardOutput, [this] { take(); });
  }
  void take() {
    const QByteArray more = parec_.readAllStandardOutput();
    raw_ += more;
  }
  QProcess parec_;
  QByteArray raw_;
};

float peak(const std::vector<float>& s, long long from, long long to) {
  float p = 0;
  for (long long i = std::max(0LL, from);
       i < std::min<long long>(to, static_cast<long long>(s.size())); ++i)
    p = std::max(p, std::fabs(s[static_cast<size_t>(i)]));
  return p;
}

double rms(const std::vector<float>& s, long long from, long long to) {
  double sum = 0;
  long long n = 0;
  for (long long i = std::max(0LL, from);
       i < std::min<long long>(to, static_cast<long long>(s.size())); ++i, ++n)
    sum += double{s[static_cast<size_t>(i)]} * s[static_cast<size_t>(i)];
  return n == 0 ? 0 : std::sqrt(sum / static_cast<double>(n));
}

int qtKeyOf(int code) {
  if (code >= 37 && code <= 40) return Qt::Key_Left + (code - 37);
  return Qt::Key_A + (code - 65);
}

// A one-lap race at 浦和 on turf, of a class race with no fanfare on its card: every draw of
// the race gives 1, so the rivals run level.
struct RaceCard : milka::testing::ScriptedGame {
  RaceCard() {
    GameState& s = game.state;
    s.screenState = screen::kStable;
    s.horseName = "milk";
    s.horseSpeed = 1;
    s.horseWhips = 400;
    s.horseKeys = 10;
    s.horseAge = 3;
    s.bodyWeight = 440;
    s.bestWeight = 450;
    s.month = 1;
    s.venue = 4;
    s.finishPostX = 7000;
    s.trackSurface = 3;
    s.lapsToGo = 1;
    s.raceName = "Ｃ３";
    for (int k = 1; k <= 9; ++k) random.pushPick(34, k);
    for (int k = 1; k <= 9; ++k) random.pushPick(34, 10 + k);
    career::drawField(game);
    s.screenState = screen::kRaceCard;
  }
};

void tickAll(Game& game, GameWindow& window) {
  for (void (Game::*timer)() : {&Game::Timer1_Timer, &Game::Timer2_Timer, &Game::Timer3_Timer,
                                &Game::Timer4_Timer, &Game::Timer5_Timer}) {
    (game.*timer)();
    window.sync();
  }
}

TEST(AudioTest, ARaceIsHeardFromTheGatesToTheGoalAndNotBefore) {
  const QString sink = qEnvironmentVariable("MILKA_TEST_SINK");
  ASSERT_FALSE(sink.isEmpty()) << "run through tests/audio/with_sound_server.sh";
  Recording recording;
  recording.start(sink + QStringLiteral(".monitor"));

  RaceCard card;
  Game& game = card.game;
  const GameState& s = game.state;
  GameWindow window(game);
  window.show();
  Sound sound(false, kMaxVolume);
  window.setSound(&sound);
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  while ((!sound.playing() || !recording.flowing()) && Clock::now() < deadline) QTest::qWait(20);
  ASSERT_TRUE(sound.playing()) << "no output opened on the test server";
  ASSERT_TRUE(recording.flowing()) << "parec recorded nothing";
  QTest::qWait(300);

  // The card and the countdown at the game's own pace: three seconds in which nothing sounds.
  const long long silentFrom = recording.now();
  card.pressA();
  window.sync();
  while (s.startCountdown > -1 && s.screenState == screen::kRace) {
    tickAll(game, window);
    if (s.startCountdown > -1) QTest::qWait(200);
  }
  const long long startAt = recording.now();

  // The race, faster than the game runs it; a symbol typed as often as a player types them.
  long long goal = -1;
  for (int period = 0; s.resultsShown == 0 && period < 3000; ++period) {
    const int code = milka::testing::keyCodeOf(game.form.label(12).caption);
    if (code != 0 && period % 13 == 0)
      QTest::keyClick(window.text1(), static_cast<Qt::Key>(qtKeyOf(code)));
    tickAll(game, window);
    if (s.raceFinished == 1 && goal < 0) goal = recording.now();
    QTest::qWait(15);
  }
  ASSERT_EQ(s.resultsShown, 1);
  ASSERT_GE(goal, 0);
  QTest::qWait(2500);
  recording.stop();
  QDir().mkpath(QStringLiteral(MILKA_AUDIO_ARTEFACTS));
  recording.saveWav(QStringLiteral(MILKA_AUDIO_ARTEFACTS "/race.wav"));

  const std::vector<float> heard = recording.samples();
  EXPECT_LT(peak(heard, silentFrom, startAt), 0.002f)
      << "a sound before the start; recorded " << heard.size() << " samples, the start at "
      << startAt;

  // The gates: the first sound after the silence, within the output's own delay.
  long long onset = startAt;
  while (onset < static_cast<long long>(heard.size()) &&
         std::fabs(heard[static_cast<size_t>(onset)]) < 0.02f)
    ++onset;
  const double delay = static_cast<double>(onset - startAt) / kRate;
  EXPECT_LT(delay, 1.0) << "the start is heard late or not at all";
  EXPECT_GT(peak(heard, startAt, startAt + kRate), 0.1f);

  // The goal: the stand's roar over what was heard in the last second of the straight.
  const long long goalAt = goal + (onset - startAt);
  const double before = rms(heard, goalAt - kRate, goalAt);
  const double after = rms(heard, goalAt, goalAt + kRate);
  EXPECT_GT(after, 1.3 * before) << "before " << before << " after " << after << " delay " << delay;
  EXPECT_GT(after, 0.03);
}

}  // namespace
}  // namespace milka::platform
