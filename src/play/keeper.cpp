#include "play/keeper.h"

#include <ctime>
#include <random>

#include "play/words.h"

namespace milka::play {

namespace {

// Far past any career; a bigger journal is read only this far.
constexpr uint64_t kReadLimit = 64 * 1024 * 1024;

std::string localStamp() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d-%H%M%S-", &local);
  return text;
}

std::string hex(uint64_t n) {
  char text[17];
  std::snprintf(text, sizeof text, "%llx", static_cast<unsigned long long>(n));
  return text;
}

}  // namespace

CareerKeeper::CareerKeeper(JournalStore& store, OnlinePort& outside)
    : store_(store), outside_(outside) {}

CareerKeeper::~CareerKeeper() {
  close();
}

uint64_t CareerKeeper::freshSeed() const {
  if (fresh_) return fresh_();
  std::random_device entropy;
  return (static_cast<uint64_t>(entropy()) << 32) ^ entropy();
}

CareerKeeper::Started CareerKeeper::start(std::optional<uint64_t> seed) {
  if (seed) return begin(*seed, false);

  std::vector<std::string> names = store_.journals();
  for (; !names.empty(); names.pop_back()) {
    const std::string name = names.back();
    const std::string bytes = store_.read(name, kReadLimit).value_or(std::string());
    const journal::Reading r = journal::read(bytes);

    if (!journal::holdsCareer(r)) {
      const std::string aside = setAside(name, ".unreadable");
      Started s = begin(freshSeed(), true);
      s.note = setAsideText(r, aside) + (s.note.empty() ? std::string() : "\n" + s.note);
      return s;
    }
    // A look at the title is not a career: nothing was chosen, so nothing is continued, and
    // its journal goes as if the game had never been opened.
    if (std::optional<Started> s = resume(name, r)) return *s;
    store_.remove(name);
  }
  return begin(freshSeed(), true);
}

std::optional<CareerKeeper::Started> CareerKeeper::resume(const std::string& name,
                                                          const journal::Reading& r) {
  events_.clear();
  cardAt_.reset();
  lastScreen_ = 0;
  clicked_ = false;
  leftTitle_ = false;
  ++careersBegun_;
  adopt(std::make_unique<journal::Session>(r.header));
  // Nothing is recorded or sent while the journal plays itself back.
  for (const journal::Event& e : r.events) session_->feed(e);
  if (!leftTitle_) return std::nullopt;
  // A finished career is over; its journal stays for replays.
  if (session_->game().state.screenState == screen::kFinished) return begin(freshSeed(), true);

  std::string note = continuedText(session_->game().state);
  if (r.status == journal::Reading::Status::Damaged) {
    // What follows the damage is kept in a copy; the journal itself goes on from before it.
    const std::string kept = unused(name, ".damaged");
    store_.copy(name, kept);
    note += damagedTailText(kept);
  }
  name_ = name;
  failureTold_ = failurePending_ = false;
  if (!store_.append(name, r.soundBytes)) failurePending_ = true;
  session_->startRecording(r.chain);
  session_->port().setOutside(&outside_);
  if (session_->port().siteBase != outside_.siteBase)
    session_->feed(journal::Event::siteBase(outside_.siteBase));
  checkStore();
  return Started{true, note};
}

CareerKeeper::Started CareerKeeper::newHorse() {
  close();
  return begin(freshSeed(), true);
}

CareerKeeper::Started CareerKeeper::begin(uint64_t seed, bool askSite) {
  events_.clear();
  cardAt_.reset();
  lastScreen_ = 0;
  clicked_ = false;
  leftTitle_ = false;
  const uint64_t career = ++careersBegun_;
  adopt(std::make_unique<journal::Session>(journal::Session::newHeader(seed), &outside_));
  name_ = unused((stamp_ ? stamp_() : localStamp()) + hex(seed));
  failureTold_ = failurePending_ = false;
  if (!store_.create(name_, session_->startNewJournal())) failurePending_ = true;
  session_->feed(journal::Event::siteBase(outside_.siteBase));
  session_->feed(journal::Event::load());
  checkStore();
  if (askSite && seeds_) {
    seeds_->ask(outside_.siteBase, [this, career](std::string text) {
      // Only into the career it was asked for, and only before its first click: from the first
      // choice on the draws count, and a career seeded halfway is one the site cannot vouch for.
      if (text.empty() || career != careersBegun_ || clicked_ || !session_) return;
      session_->feed(journal::Event::seed(std::move(text)));
    });
  }
  return {};
}

void CareerKeeper::adopt(std::unique_ptr<journal::Session> session) {
  retired_ = std::move(session_);
  session_ = std::move(session);
  journal::Session& s = *session_;
  s.setAfterEvent([this, &s](const journal::Event& e) {
    events_.push_back(e);
    if (e.kind == journal::Event::Kind::Click) clicked_ = true;
    const int32_t now = s.game().state.screenState;
    if (now == screen::kRaceCard && lastScreen_ != screen::kRaceCard) cardAt_ = events_.size();
    lastScreen_ = now;
    // Before Form_Load the screen is none at all; the title is 1.
    if (now != 0 && now != screen::kTitle) leftTitle_ = true;
    // A period's record is written as soon as it closes, so at most one period is ever lost.
    if (s.encoder() != nullptr && s.encoder()->periodEnded()) poll();
  });
}

std::string CareerKeeper::journalBytes() const {
  return session_ ? journal::encode(session_->header(), events_) : std::string();
}

std::unique_ptr<journal::Session> CareerKeeper::atLastCard() const {
  if (!cardAt_) return nullptr;
  auto s = std::make_unique<journal::Session>(session_->header());
  for (size_t i = 0; i < *cardAt_; ++i) s->feed(events_[i]);
  return s;
}

void CareerKeeper::poll() {
  journal::Encoder* enc = session_ ? session_->encoder() : nullptr;
  if (enc == nullptr || !enc->hasBytes()) return;
  std::string bytes = enc->take();
  if (!store_.failed()) store_.write(std::move(bytes));
  checkStore();
}

void CareerKeeper::flush() {
  if (session_ && session_->encoder()) session_->encoder()->finish();
  poll();
}

void CareerKeeper::close() {
  flush();
  store_.close();
  // Closed on the title, the journal holds no career; the next start will not miss it.
  if (session_ && !leftTitle_ && !name_.empty()) {
    store_.remove(name_);
    name_.clear();
  }
}

void CareerKeeper::checkStore() {
  if (store_.failed()) failurePending_ = true;
  if (!failurePending_ || failureTold_) return;
  failureTold_ = true;
  if (failed_) failed_();
}

std::string CareerKeeper::takeFailureNote() {
  if (!failurePending_) return {};
  failurePending_ = false;
  return notKeptText(store_.keptIn());
}

std::string CareerKeeper::unused(const std::string& name, const std::string& suffix) {
  // A new journal's name ends in the suffix of journals; what is set aside keeps its old name.
  const bool journal = suffix.empty();
  auto named = [&](int n) {
    std::string text = journal ? name : name + suffix;
    if (n >= 2) {
      if (journal) text += '-';
      text += std::to_string(n);
    }
    if (journal) text += kSuffix;
    return text;
  };
  std::string free = named(1);
  for (int n = 2; store_.exists(free); ++n) free = named(n);
  return free;
}

std::string CareerKeeper::setAside(const std::string& name, const std::string& suffix) {
  const std::string aside = unused(name, suffix);
  store_.rename(name, aside);
  return aside;
}

}  // namespace milka::play
