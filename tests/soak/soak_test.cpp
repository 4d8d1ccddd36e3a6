// The soak as a suite: a seeded run of whole careers, their journals replayed, and every kept
// journal replayed.
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
            << r.cutsContinued << " journals cut and continued, "
            << static_cast<int64_t>(static_cast<double>(r.events) / std::max(r.seconds, 1e-9))
            << " events/s\n";
  if (r.failure) {
    const std::string path = "soak-failure.mdj";
    std::ofstream(path, std::ios::binary) << r.failedJournal;
    FAIL() << "after event #" << r.failure->eventIndex << ": " << r.failure->what << "\n"
           << tail(journal::read(r.failedJournal).events, 30) << "whole journal in " << path;
  }
  EXPECT_EQ(r.careers, 2);
  EXPECT_EQ(r.frozenClockCareers, 1) << "a career on the frozen clock must reach its end too";
  EXPECT_GE(r.races, 10);
  EXPECT_GE(r.cutsContinued, 4) << "the journal must have been cut and continued now and then";
}

// A career's journal is the same career: its events, replayed, give the same game.
TEST(SoakJournal, AReplayPlaysTheSameCareer) {
  for (const ClockKind clock : {ClockKind::Stepping, ClockKind::Frozen}) {
    Career first(99, clock);
    Driver driver(5);
    for (int i = 0; i < 20000; ++i) first.apply(driver.next(first));
    ASSERT_FALSE(first.failure()) << first.failure()->what;
    const journal::Reading r = journal::read(first.journal());
    ASSERT_EQ(r.status, journal::Reading::Status::Whole);
    ASSERT_EQ(static_cast<int64_t>(r.events.size()), first.events());
    Career again(r.header);
    for (const Event& e : r.events) again.apply(e);
    EXPECT_TRUE(again.game().state == first.game().state);
    EXPECT_TRUE(again.game().form == first.game().form);
  }
}

// Journals kept from earlier runs stay as regression tests: each must read whole and now replay
// clean. What each one caught is told in the README beside them.
TEST(SoakJournal, KeptJournalsReplayWithEveryInvariantHeld) {
  int replayed = 0;
  for (const auto& entry : std::filesystem::directory_iterator(MILKA_SOAK_TRACES)) {
    if (entry.path().extension() != ".mdj") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const journal::Reading r = journal::read(bytes.str());
    ASSERT_EQ(r.status, journal::Reading::Status::Whole) << entry.path();
    const auto failure = replay(r.header, r.events);
    EXPECT_FALSE(failure.has_value()) << entry.path().filename() << ": after event #"
                                      << failure->eventIndex << ": " << failure->what;
    ++replayed;
  }
  EXPECT_GE(replayed, 1);
}

}  // namespace
}  // namespace milka::soak
