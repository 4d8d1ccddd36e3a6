#include "journal/session.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "online/submit.h"

namespace milka::journal {

namespace {

// Each re-seed stirs in how far into the career it is, which the journal holds, instead of a
// reading of the real clock, which it could not.
class EventClock final : public Clock {
 public:
  explicit EventClock(const int64_t& events) : events_(events) {}
  uint64_t now() override { return static_cast<uint64_t>(events_); }

 private:
  const int64_t& events_;
};

class SteppingClock final : public Clock {
 public:
  explicit SteppingClock(uint64_t from) : at_(from) {}
  uint64_t now() override { return ++at_; }

 private:
  uint64_t at_;
};

class FrozenClock final : public Clock {
 public:
  explicit FrozenClock(uint64_t at) : at_(at) {}
  uint64_t now() override { return at_; }

 private:
  uint64_t at_;
};

}  // namespace

// --- The port ----------------------------------------------------------------------------

JournalPort::~JournalPort() {
  *alive_ = false;
}

void JournalPort::fetch(const std::string& url, std::function<void(std::string)> done) {
  const int index = fetchesStarted_++;
  fetches_[index] = {url, std::move(done)};
  if (outside_ == nullptr) return;
  outside_->fetch(url, [this, alive = alive_, index](std::string text) {
    if (*alive) session_.feed(Event::fetch(index, std::move(text)));
  });
}

void JournalPort::navigate(const std::string& url, std::function<void(std::string)> arrived) {
  const int index = navigationsStarted_++;
  navigations_[index] = {url, std::move(arrived)};
  if (outside_ == nullptr) return;
  outside_->navigate(url, [this, alive = alive_, index](std::string where) {
    if (*alive) session_.feed(Event::nav(index, std::move(where)));
  });
}

void JournalPort::openUrl(const std::string& url) {
  ++opened_;
  if (outside_ != nullptr) outside_->openUrl(url);
}

std::vector<JournalPort::Pending> JournalPort::pendingFetches() const {
  std::vector<Pending> out;
  for (const auto& [index, w] : fetches_) out.push_back({index, w.url});
  return out;
}

std::vector<JournalPort::Pending> JournalPort::pendingNavigations() const {
  std::vector<Pending> out;
  for (const auto& [index, w] : navigations_) out.push_back({index, w.url});
  return out;
}

bool JournalPort::answer(std::map<int, Waiting>& waiting, int index, const std::string& text) {
  const auto it = waiting.find(index);
  if (it == waiting.end()) return false;
  auto callback = std::move(it->second.callback);
  waiting.erase(it);
  callback(text);
  return true;
}

uint64_t seedValue(std::string_view text) {
  // FNV-1a: every byte of the site's seed counts.
  uint64_t h = 0xCBF29CE484222325ull;
  for (const char c : text) {
    h ^= static_cast<uint8_t>(c);
    h *= 0x100000001B3ull;
  }
  return h;
}

// --- The session -------------------------------------------------------------------------

Session::Session(Header h, OnlinePort* outside) : header_(std::move(h)), port_(*this) {
  switch (header_.clock) {
    case ClockKind::Events:
      clock_ = std::make_unique<EventClock>(events_);
      draws_ = new ClockRandom(*clock_, header_.seed);
      random_.reset(draws_);
      break;
    case ClockKind::Stepping:
      clock_ = std::make_unique<SteppingClock>(header_.seed);
      draws_ = new ClockRandom(*clock_);
      random_.reset(draws_);
      break;
    case ClockKind::Frozen:
      clock_ = std::make_unique<FrozenClock>(header_.seed);
      draws_ = new ClockRandom(*clock_);
      random_.reset(draws_);
      break;
  }
  port_.setOutside(outside);
  game_ = std::make_unique<Game>(*random_, &port_);
}

Session::~Session() = default;

Header Session::newHeader(uint64_t seed, ClockKind clock) {
  Header h;
  h.game = gameVersion();
  h.seed = seed;
  h.clock = clock;
  return h;
}

void Session::startRecording(uint16_t chain) {
  encoder_.emplace(chain);
}

std::string Session::startNewJournal() {
  std::string head = encodeHeader(header_);
  startRecording(chainAfterHeader(head));
  return head;
}

namespace {

// Brings e's numbers to values the records hold (16 bits, or unsigned) that play exactly the
// same; true when any changed.
bool makeCanonical(Event& e) {
  using K = Event::Kind;
  const int32_t code = e.code, shift = e.shift;
  switch (e.kind) {
    case K::Key:  // the handler takes both as 16-bit
      e.code = static_cast<int16_t>(e.code);
      e.shift = static_cast<int16_t>(e.shift);
      break;
    case K::Click:
    case K::Timer:  // no such button or timer either way
      if (e.code < INT16_MIN || e.code > INT16_MAX) e.code = 0;
      break;
    case K::Text1: e.code = std::max(e.code, Event::kKeepAll); break;
    case K::Fetch:
    case K::Nav:  // answers nothing, and must not become an answer to request 0
      if (e.code < 0) e.code = INT32_MAX;
      break;
    default: break;
  }
  return e.code != code || e.shift != shift;
}

}  // namespace

void Session::feed(const Event& given) {
  // An answer past the most the game takes counts as no answer whatever its length, and no
  // other text the game sees comes near the journal's limit: either is cut to a length that
  // plays the same, and numbers are brought into the records' range, so the journal always
  // holds exactly what was played.
  const size_t limit =
      given.kind == Event::Kind::Fetch ? online::kFetchedTextLimit + 1 : kTextLimit;
  Event shape{given.kind, given.code, given.shift, {}};
  const bool reshaped = makeCanonical(shape);
  const bool tooLong = given.text.size() > limit;
  Event cut;
  if (reshaped || tooLong) {
    cut = given;
    cut.code = shape.code;
    cut.shift = shape.shift;
    if (tooLong) cut.text.resize(limit);
  }
  const Event& e = reshaped || tooLong ? cut : given;
  if (encoder_) encoder_->add(e);
  ++events_;
  apply(e);
  if (after_) after_(e);
}

bool applyToGame(Game& g, const Event& e) {
  using K = Event::Kind;
  switch (e.kind) {
    case K::Load: g.Form_Load(); return true;
    case K::Click:
      switch (e.code) {
        case 1: g.Command1_Click(); break;
        case 2: g.Command2_Click(); break;
        case 3: g.Command3_Click(); break;
        case 4: g.Command4_Click(); break;
        case 5: g.Command5_Click(); break;
        default: break;
      }
      return true;
    case K::Key:
      g.Text1_KeyDown(static_cast<int16_t>(e.code), static_cast<int16_t>(e.shift));
      return true;
    case K::Timer:
      switch (e.code) {
        case 1: g.Timer1_Timer(); break;
        case 2: g.Timer2_Timer(); break;
        case 3: g.Timer3_Timer(); break;
        case 4: g.Timer4_Timer(); break;
        case 5: g.Timer5_Timer(); break;
        default: break;
      }
      return true;
    case K::Text1: {
      std::string& text = g.form.text1.text;
      if (e.code != Event::kKeepAll)
        text.resize(std::min(text.size(), static_cast<size_t>(std::max(e.code, 0))));
      text += e.text;
      return true;
    }
    case K::Notify: g.WebBrowser1_Notify(e.text); return true;
    case K::Fetch:
    case K::Nav:
    case K::SiteBase:
    case K::Seed: return false;
  }
  return false;
}

void Session::apply(const Event& e) {
  using K = Event::Kind;
  if (applyToGame(*game_, e)) return;
  switch (e.kind) {
    case K::Fetch: port_.answer(port_.fetches_, e.code, e.text); break;
    case K::Nav:
      if (port_.navigations_.count(e.code) != 0) port_.location_ = e.text;
      port_.answer(port_.navigations_, e.code, e.text);
      break;
    case K::SiteBase: port_.siteBase = e.text; break;
    case K::Seed:
      if (draws_) draws_->stir(seedValue(e.text));
      ++seeds_;
      break;
    default: break;
  }
}

std::unique_ptr<Session> replay(const Reading& r, size_t upTo) {
  if (!r.usable()) return nullptr;
  auto s = std::make_unique<Session>(r.header);
  const size_t n = std::min(upTo, r.events.size());
  for (size_t i = 0; i < n; ++i) s->feed(r.events[i]);
  return s;
}

}  // namespace milka::journal
