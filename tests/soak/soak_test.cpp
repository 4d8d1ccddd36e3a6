// The soak as a suite: a seeded run of whole careers, the trace format, and every kept trace
// replayed.
#include "soak/soak.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace milka::soak {
namespace {

TEST(Soak, SeededCareersKeepEveryInvariant) {
  Options o;
  // Two whole careers, the second on the game's clock-seeded source with its clock frozen.
  o.events = 1000000;
  o.careers = 2;
  o.seed = 20261209;
  o.frozenClockEvery = 2;
  const Report r = run(o);
  std::cout << "soak: " << r.events << " events, " << r.careers << " careers ("
            << r.frozenClockCareers << " on a frozen clock), " << r.races << " races, "
            << static_cast<int64_t>(static_cast<double>(r.events) / std::max(r.seconds, 1e-9))
            << " events/s\n";
  if (r.failure) {
    const std::string path = "soak-failure.trace";
    std::ofstream(path, std::ios::binary) << formatTrace(r.failedTrace);
    FAIL() << "career seed " << r.failedTrace.seed << ", after event #" << r.failure->eventIndex
           << ": " << r.failure->what << "\n"
           << traceTail(r.failedTrace, 30) << "whole trace in " << path;
  }
  EXPECT_EQ(r.careers, 2);
  EXPECT_EQ(r.frozenClockCareers, 1) << "a career on the frozen clock must reach its end too";
  EXPECT_GE(r.races, 10);
}

TEST(SoakTrace, EveryKindOfEventSurvivesTheTextForm) {
  using K = Event::Kind;
  std::string binary("a\0b\xFF\xC3\x28?#&/@%", 12);
  const std::vector<Event> events = {
      {K::A, 0, 0, ""},        {K::Up, 0, 0, ""},         {K::Down, 0, 0, ""},
      {K::B, 0, 0, ""},        {K::Site, 0, 0, ""},       {K::Key, -32768, 7, ""},
      {K::Key, 32767, -3, ""}, {K::Timer, 5, 0, ""},      {K::Fetch, 2, 0, binary},
      {K::Nav, 0, 0, ""},      {K::Notify, 0, 0, binary}, {K::Notify, 0, 0, "ミルカ"},
  };
  Trace t{42, Source::FrozenClock, events};
  const auto back = parseTrace(formatTrace(t));
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->seed, 42u);
  EXPECT_EQ(back->source, Source::FrozenClock);
  ASSERT_EQ(back->events.size(), events.size());
  for (size_t i = 0; i < events.size(); ++i) {
    EXPECT_EQ(back->events[i].kind, events[i].kind) << i;
    EXPECT_EQ(back->events[i].code, events[i].code) << i;
    EXPECT_EQ(back->events[i].shift, events[i].shift) << i;
    EXPECT_EQ(back->events[i].text, events[i].text) << i;
  }
}

TEST(SoakTrace, MalformedLinesAreRefused) {
  for (const char* line : {"", "T6", "T0", "Key 1", "Key 40000 0", "Fetch -1 x", "Nav 0 xabc",
                           "Notify 41", "Notify xzz", "Jump"})
    EXPECT_FALSE(parseEvent(line).has_value()) << line;
  EXPECT_FALSE(parseTrace("seed 1\nsource seeded\nA\n").has_value());
  EXPECT_FALSE(parseTrace("milka-soak-trace 1\nseed 1\nsource warm\n").has_value());
}

// A replayed trace is the same career: the same events give the same game.
TEST(SoakTrace, AReplayPlaysTheSameCareer) {
  Career first(99, Source::Seeded);
  Driver driver(5);
  for (int i = 0; i < 20000; ++i) first.apply(driver.next(first));
  ASSERT_FALSE(first.failure()) << first.failure()->what;
  const auto trace = parseTrace(formatTrace(first.trace()));
  ASSERT_TRUE(trace.has_value());
  Career again(99, Source::Seeded);
  for (const Event& e : trace->events) again.apply(e);
  EXPECT_TRUE(again.game().state == first.game().state);
  EXPECT_TRUE(again.game().form == first.game().form);
}

// Traces kept from earlier runs stay as regression tests: each must now replay clean.
TEST(SoakTrace, KeptTracesReplayWithEveryInvariantHeld) {
  int replayed = 0;
  for (const auto& entry : std::filesystem::directory_iterator(MILKA_SOAK_TRACES)) {
    if (entry.path().extension() != ".trace") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const auto trace = parseTrace(text.str());
    ASSERT_TRUE(trace.has_value()) << entry.path();
    const auto failure = replay(*trace);
    EXPECT_FALSE(failure.has_value()) << entry.path().filename() << ": after event #"
                                      << failure->eventIndex << ": " << failure->what;
    ++replayed;
  }
  EXPECT_GE(replayed, 1);
}

}  // namespace
}  // namespace milka::soak
