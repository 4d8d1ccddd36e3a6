// What keeping the journal costs and what reading it back takes: the bytes of a whole career on
// disk, a race's ticks with the journal encoding against without, and a career's journal read
// and replayed headless, as continuing a career or checking an entry does.
#include <benchmark/benchmark.h>

#include <memory>

#include "journal/careful_player.h"
#include "journal/format.h"
#include "journal/session.h"

namespace {

using milka::journal::ClockKind;
using milka::journal::Event;
using milka::journal::Session;

// The window's timers tick five times a second, a period of all five each 200 ms.
constexpr double kPeriodsPerMinute = 60.0 * 5.0;

struct Career {
  std::string bytes;
  int64_t events = 0;
  int64_t periods = 0;
};

const Career& wholeCareer() {
  static const Career c = [] {
    Session s(Session::newHeader(20261209, ClockKind::Events));
    Career out;
    out.bytes = s.startNewJournal();
    out.periods = milka::testing::playCareer(s);
    s.encoder()->finish();
    out.bytes += s.encoder()->take();
    out.events = s.events();
    return out;
  }();
  return c;
}

void BM_CareerOnDisk(benchmark::State& state) {
  const Career* c = nullptr;
  for (auto _ : state) benchmark::DoNotOptimize(c = &wholeCareer());
  const auto bytes = static_cast<double>(c->bytes.size());
  state.counters["bytes"] = bytes;
  state.counters["events"] = static_cast<double>(c->events);
  state.counters["bytes/event"] = bytes / static_cast<double>(c->events);
  state.counters["bytes/minute"] = bytes / (static_cast<double>(c->periods) / kPeriodsPerMinute);
}
BENCHMARK(BM_CareerOnDisk)->Iterations(1);

// One period of a running race fed through the session; with the journal on, its records are
// made and handed over as the window hands them to the writer.
void BM_RacePeriod(benchmark::State& state) {
  const bool journal = state.range(0) == 1;
  std::unique_ptr<Session> s;
  uint64_t seed = 7;
  // Into the next race, with a new career once this one has run its last.
  auto toRace = [&] {
    for (int i = 0; i < 100000 && (!s || s->game().state.screenState != milka::screen::kRace);
         ++i) {
      if (!s || s->game().state.screenState == milka::screen::kFinished) {
        s = std::make_unique<Session>(Session::newHeader(seed++, ClockKind::Events));
        if (journal) s->startNewJournal();
        s->feed(Event::siteBase("http://127.0.0.1:9"));
        s->feed(Event::load());
      }
      milka::testing::playPeriod(*s);
    }
  };
  toRace();
  size_t written = 0;
  for (auto _ : state) {
    milka::testing::playPeriod(*s);
    if (journal) written += s->encoder()->take().size();
    if (s->game().state.screenState != milka::screen::kRace) {
      state.PauseTiming();
      toRace();
      state.ResumeTiming();
    }
  }
  state.SetLabel(journal ? "journal on" : "journal off");
  state.counters["bytes"] =
      benchmark::Counter(static_cast<double>(written), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_RacePeriod)->Arg(0)->Arg(1);

void BM_ReplayHeadless(benchmark::State& state) {
  const milka::journal::Reading r = milka::journal::read(wholeCareer().bytes);
  for (auto _ : state) benchmark::DoNotOptimize(milka::journal::replay(r));
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(r.events.size()));
}
BENCHMARK(BM_ReplayHeadless)->Unit(benchmark::kMillisecond);

void BM_ReadAndReplay(benchmark::State& state) {
  const std::string& bytes = wholeCareer().bytes;
  for (auto _ : state)
    benchmark::DoNotOptimize(milka::journal::replay(milka::journal::read(bytes)));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_ReadAndReplay)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
