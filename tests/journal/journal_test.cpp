// The journal on disk: every kind of event comes back as it went in, every kind of damage reads
// to its status and to the records before it, and a whole career replays to the same game.
#include <gtest/gtest.h>

#include <functional>

#include "journal/careful_player.h"
#include "journal/format.h"
#include "journal/session.h"

namespace milka::journal {
namespace {

using S = Reading::Status;

Header testHeader() {
  Header h = Session::newHeader(7, ClockKind::Stepping);
  h.extra = {{"note", "ミルカ"}};
  return h;
}

TEST(JournalFormat, EveryKindOfEventComesBackAsItWentIn) {
  const std::string binary("a\0b\xFF\xC3\x28?#&/@%", 12);
  // Numbers at the edges of their records, a whole period of the five timers in one order, then
  // repeated and unknown timers that make no period.
  // clang-format off
  const std::vector<Event> events = {
      Event::siteBase("http://127.0.0.1:9"), Event::load(), Event::click(1), Event::click(5),
      Event::click(-7), Event::click(700), Event::key(65, 0), Event::key(38, 1),
      Event::key(-32768, 7), Event::key(300, -3), Event::timer(3), Event::timer(1),
      Event::timer(5), Event::timer(2), Event::timer(4), Event::timer(2), Event::timer(2),
      Event::timer(9), Event::timer(4), Event::text1("abc", "abd"), Event::text1("ab", ""), Event::text1("ab", "aby"),
      Event::text1("", "xyz"), Event::key(40, 1), Event::key(90, 0),
      Event::fetch(3, binary), Event::fetch(0, std::string(70000, 'x')), Event::nav(1, ""),
      Event::notify("ミルカ"), Event::notify(binary), Event::seed("0123abcd"), Event::timer(1)};
  // clang-format on
  const Reading r = read(encode(testHeader(), events));
  EXPECT_EQ(r.status, S::Whole);
  EXPECT_EQ(r.header, testHeader());
  ASSERT_EQ(r.events.size(), events.size());
  for (size_t i = 0; i < events.size(); ++i)
    EXPECT_EQ(r.events[i], events[i]) << i << ": " << describe(events[i]);
}

TEST(JournalFormat, DamageReadsToItsStatusAndTheSoundRecordsBeforeIt) {
  // One record an event (no timers held back), so the encoder alone says where each one ends.
  const std::vector<Event> events = {Event::siteBase("x"), Event::load(),
                                     Event::click(1),      Event::notify(std::string(300, 'n')),
                                     Event::key(65, 0),    Event::fetch(0, "ok")};
  const std::string head = encodeHeader(testHeader());
  Encoder enc(chainAfterHeader(head));
  std::string whole = head;
  std::vector<size_t> end = {head.size()};  // end[k]: the bytes of the first k records
  for (const Event& e : events) {
    enc.add(e);
    whole += enc.take();
    end.push_back(whole.size());
  }
  auto flipped = [&](size_t at) {
    std::string b = whole;
    b[at] = static_cast<char>(b[at] ^ 0x10);
    return b;
  };
  auto withHeader = [&](const std::function<void(Header&)>& change) {
    Header h = testHeader();
    change(h);
    return encode(h, events);
  };
  const struct {
    const char* damage;
    std::string bytes;
    S status;
    size_t records;  // the records read
  } cases[] = {
      {"none", whole, S::Whole, 6},
      {"torn last record", whole.substr(0, whole.size() - 1), S::TornTail, 5},
      {"cut mid-record", whole.substr(0, end[3] + 150), S::TornTail, 3},
      {"flipped byte mid-file", flipped(end[3] + 100), S::Damaged, 3},
      {"flipped check", flipped(end[2] - 1), S::Damaged, 1},
      {"zero bytes tail", whole + std::string(64, '\0'), S::TornTail, 6},
      {"garbage after the records", whole + "\xFF\x01\x02", S::Damaged, 6},
      {"empty", "", S::Empty, 0},
      {"binary garbage",
       std::string("\x7F"
                   "ELF\x02\x01\x01\0\0",
                   9),
       S::NotAJournal, 0},
      {"header cut short", head.substr(0, 20), S::Damaged, 0},
      {"header check broken", flipped(head.find("seed ") + 5), S::Damaged, 0},
      {"newer format", withHeader([](Header& h) { h.format = kFormatVersion + 1; }), S::NewerFormat,
       0},
      {"other rules", withHeader([](Header& h) { h.rules = kRulesVersion + 1; }), S::OtherRules, 0},
  };
  for (const auto& c : cases) {
    const Reading r = read(c.bytes);
    EXPECT_EQ(r.status, c.status) << c.damage;
    EXPECT_EQ(r.soundBytes, r.usable() ? end[c.records] : 0) << c.damage;
    EXPECT_EQ(r.events, std::vector<Event>(events.begin(), events.begin() + c.records)) << c.damage;
    // Whatever reads back plays: a usable reading replays its events and nothing else does.
    const auto s = replay(r);
    EXPECT_EQ(s ? s->events() : -1, r.usable() ? static_cast<int64_t>(c.records) : -1) << c.damage;
  }
}

// Continuing a career is replaying its journal: the game stands exactly where it stood.
TEST(JournalSession, AWholeCareerReplaysFieldForField) {
  for (const ClockKind clock : {ClockKind::Events, ClockKind::Stepping, ClockKind::Frozen}) {
    Session played(Session::newHeader(20261209, clock));
    std::string bytes = played.startNewJournal();
    const int64_t periods = testing::playCareer(played);
    played.encoder()->finish();
    bytes += played.encoder()->take();
    ASSERT_EQ(played.game().state.screenState, screen::kFinished)
        << "the player finishes in " << periods;

    const Reading r = read(bytes);
    ASSERT_EQ(r.status, S::Whole);
    ASSERT_EQ(static_cast<int64_t>(r.events.size()), played.events());
    const auto again = replay(r);
    EXPECT_TRUE(again->game().state == played.game().state);
    EXPECT_TRUE(again->game().form == played.game().form);
    EXPECT_EQ(again->port().fetchesStarted(), played.port().fetchesStarted());
  }
}

}  // namespace
}  // namespace milka::journal
