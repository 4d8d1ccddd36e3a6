#include "site/career_replay.h"

#include <algorithm>
#include <charconv>
#include <memory>
#include <sstream>

#include "journal/session.h"

namespace milka::site {

namespace {

using journal::Event;
using journal::Reading;

bool isSeedText(const std::string& s) {
  return s.size() == 32 && std::all_of(s.begin(), s.end(), [](char c) {
           return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
         });
}

// Watches the game after every event and writes down what a reader of its career wants: each
// month at the stable, each race as its board comes up.
class Teller {
 public:
  explicit Teller(Story& story) : story_(story) {}

  void after(const GameState& s) {
    if (s.screenState == screen::kStable && (s.horseAge != lastAge_ || s.month != lastMonth_)) {
      lastAge_ = s.horseAge;
      lastMonth_ = s.month;
      story_.months.push_back({s.horseAge, s.month, s.horseSpeed, s.bodyWeight});
    }
    if (s.screenState == screen::kRace) {
      if (screen_ != screen::kRace) {
        race_ = {};
        race_.age = s.horseAge;
        race_.month = s.month;
        race_.venue = s.venue;
        race_.surface = s.trackSurface;
        race_.raceName = s.raceName;
        race_.laps = s.raceLaps;
        race_.top = s.month >= 1 && s.month <= 12 && s.bigRaceEntered[s.month] == 1;
        whipsAtStart_ = s.horseWhips;
        running_ = true;
      }
      whipsLast_ = s.horseWhips;
    }
    if (s.screenState == screen::kResults && s.resultsShown == 1 &&
        !(screen_ == screen::kResults && shown_ == 1) && running_) {
      race_.place = s.finishPlace[10];
      race_.time = s.raceTicks;
      race_.whips = std::max(0, whipsAtStart_ - whipsLast_);
      story_.races.push_back(race_);
      running_ = false;
    }
    if (!s.horseName.empty()) story_.name = s.horseName;
    if (s.screenState == screen::kCareerOver || s.screenState == screen::kFinished)
      story_.over = true;
    screen_ = s.screenState;
    shown_ = s.resultsShown;
  }

 private:
  Story& story_;
  int32_t screen_ = 0, shown_ = 0;
  int32_t lastAge_ = -1, lastMonth_ = -1;
  RaceLine race_;
  bool running_ = false;
  int32_t whipsAtStart_ = 0, whipsLast_ = 0;
};

// Replays every event of r, telling the story; query gets the score query the game sent, if it
// sent one.
void replayTelling(const Reading& r, Story* story, std::string* query) {
  journal::Session session(r.header);
  Teller teller(*story);
  session.setAfterEvent([&](const Event& e) {
    teller.after(session.game().state);
    if (e.kind != Event::Kind::Fetch || !query) return;
    for (const auto& pending : session.port().pendingNavigations()) {
      const size_t at = pending.url.find("/vbvb55.php?");
      if (at != std::string::npos) *query = pending.url.substr(at + 12);
    }
  });
  for (const Event& e : r.events) session.feed(e);
}

JournalFault readFault(const Reading& r) {
  using S = Reading::Status;
  switch (r.status) {
    case S::Whole: return journal::holdsCareer(r) ? JournalFault::None : JournalFault::NotACareer;
    case S::NewerFormat: return JournalFault::NewerFormat;
    case S::OtherRules: return JournalFault::OtherRules;
    case S::Empty:
    case S::NotAJournal:
    case S::TornTail:
    case S::Damaged: break;
  }
  return JournalFault::Damaged;
}

}  // namespace

Proof proveCareer(std::string_view bytes, std::string_view token, const ReplayLimits& limits) {
  Proof p;
  if (bytes.size() > limits.journalBytes) {
    p.fault = JournalFault::TooBig;
    return p;
  }
  // One past the bound tells a journal that is too long from one that is exactly long enough.
  const Reading r = journal::read(bytes, limits.events + 1);
  p.rulesVersion = r.header.rules;
  if (r.events.size() > limits.events) {
    p.fault = JournalFault::TooBig;
    return p;
  }
  p.fault = readFault(r);
  if (p.fault != JournalFault::None) return p;

  // The seed must be there before the career's first choice: a career whose draws began before
  // the site's seed could have been picked offline.
  size_t firstClick = r.events.size();
  int seeds = 0;
  for (size_t i = 0; i < r.events.size(); ++i) {
    const Event& e = r.events[i];
    if (e.kind == Event::Kind::Click && firstClick == r.events.size()) firstClick = i;
    if (e.kind != Event::Kind::Seed) continue;
    ++seeds;
    if (i > firstClick || !isSeedText(e.text)) {
      p.fault = JournalFault::NoSeed;
      return p;
    }
    p.seed = e.text;
  }
  if (seeds == 0) p.fault = JournalFault::NoSeed;
  if (seeds > 1) p.fault = JournalFault::ManySeeds;
  if (p.fault != JournalFault::None) return p;

  replayTelling(r, &p.story, &p.query);
  if (p.query.empty() || !p.story.over) {
    p.fault = JournalFault::Unfinished;
  } else if (p.query.compare(0, token.size(), token) != 0 || token.empty()) {
    p.fault = JournalFault::OtherToken;
  }
  return p;
}

bool tellCareer(std::string_view bytes, Story* story, const ReplayLimits& limits) {
  if (bytes.size() > limits.journalBytes) return false;
  const Reading r = journal::read(bytes, limits.events);
  if (!journal::holdsCareer(r)) return false;
  *story = {};
  replayTelling(r, story, nullptr);
  return true;
}

// --- As text ---------------------------------------------------------------------------------

namespace {

std::string hex(std::string_view s) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  out.reserve(s.size() * 2 + 1);
  out += 'x';
  for (const char c : s) {
    out += kDigits[static_cast<uint8_t>(c) >> 4];
    out += kDigits[static_cast<uint8_t>(c) & 15];
  }
  return out;
}

bool unhex(std::string_view s, std::string* out) {
  if (s.empty() || s[0] != 'x' || s.size() % 2 == 0) return false;
  out->clear();
  for (size_t i = 1; i + 1 < s.size(); i += 2) {
    int v = 0;
    if (std::from_chars(s.data() + i, s.data() + i + 2, v, 16).ptr != s.data() + i + 2)
      return false;
    out->push_back(static_cast<char>(v));
  }
  return true;
}

}  // namespace

std::string storyText(const Story& s) {
  std::ostringstream out;
  out << "story 1\nname " << hex(s.name) << "\nover " << (s.over ? 1 : 0) << '\n';
  for (const MonthLine& m : s.months)
    out << "M " << m.age << ' ' << m.month << ' ' << m.speed << ' ' << m.weight << '\n';
  for (const RaceLine& r : s.races)
    out << "R " << r.age << ' ' << r.month << ' ' << r.venue << ' ' << r.surface << ' ' << r.laps
        << ' ' << r.place << ' ' << r.time << ' ' << r.whips << ' ' << (r.top ? 1 : 0) << ' '
        << hex(r.raceName) << '\n';
  return out.str();
}

bool storyFromText(std::string_view text, Story* s) {
  std::istringstream in{std::string(text)};
  std::string word, value;
  int over = 0;
  if (!(in >> word >> value) || word != "story" || value != "1") return false;
  if (!(in >> word >> value) || word != "name" || !unhex(value, &s->name)) return false;
  if (!(in >> word >> over) || word != "over") return false;
  s->over = over != 0;
  s->months.clear();
  s->races.clear();
  while (in >> word) {
    if (word == "M") {
      MonthLine m;
      if (!(in >> m.age >> m.month >> m.speed >> m.weight)) return false;
      s->months.push_back(m);
    } else if (word == "R") {
      RaceLine r;
      int top = 0;
      if (!(in >> r.age >> r.month >> r.venue >> r.surface >> r.laps >> r.place >> r.time >>
            r.whips >> top >> value) ||
          !unhex(value, &r.raceName))
        return false;
      r.top = top != 0;
      s->races.push_back(std::move(r));
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace milka::site
