// The browser window's side of the module: the midend's career, pause, replays and keys behind a
// small C interface the page calls, the page's storage and window behind the midend's interfaces,
// and the form model handed to the page as what changed since it last drew.
#include <emscripten/emscripten.h>

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "journal/fingerprint.h"
#include "play/career_play.h"
#include "play/entry_upload.h"
#include "play/form_changes.h"
#include "play/keys.h"
#include "play/reading.h"
#include "play/seeds.h"
#include "play/sprites.h"
#include "play/touch_keys.h"
#include "play/words.h"

// What the page does for the module: keep bytes, show notes, tick a replay's pace, fetch.
EM_JS(void, page_store, (int op, const char* name, const char* bytes, int length, const char* to), {
  Module.page.store(op, UTF8ToString(name), HEAPU8.slice(bytes, bytes + length),
                    to ? UTF8ToString(to) : "");
});
EM_JS(void, page_window, (int op, int a, int b, const char* text),
      { Module.page.window(op, a, b, text ? UTF8ToString(text) : ""); });
EM_JS(void, page_fetch, (int id, const char* url, int navigate),
      { Module.page.fetch(id, UTF8ToString(url), navigate != 0); });

namespace milka::web {

// The page's sound follows the shown game (page_sound.cpp).
void followSound(const Game& game);

namespace {

enum StoreOp { kCreate, kAppend, kWrite, kRemove, kRename, kCopy, kClose };
enum WindowOp { kSetGame, kSync, kStill, kPace, kTitle, kNote, kLasting, kHideLasting, kLater };

// The page keeps every journal in the browser's own storage; the module reads a copy of them
// handed over at start and tells the page every change, which the page makes durable off the tick.
class PageStore final : public play::JournalStore {
 public:
  std::vector<std::string> journals() override {
    std::vector<std::string> names;
    for (const auto& [name, bytes] : files)
      if (name.ends_with(play::CareerKeeper::kSuffix)) names.push_back(name);
    return names;
  }
  std::optional<std::string> read(const std::string& name, uint64_t limit) override {
    const auto at = files.find(name);
    if (at == files.end()) return std::nullopt;
    return at->second.substr(0, static_cast<size_t>(limit));
  }
  bool exists(const std::string& name) override { return files.contains(name); }
  void remove(const std::string& name) override {
    files.erase(name);
    tell(kRemove, name);
  }
  void rename(const std::string& from, const std::string& to) override {
    files[to] = files[from];
    files.erase(from);
    tell(kRename, from, {}, to);
  }
  void copy(const std::string& from, const std::string& to) override {
    files[to] = files[from];
    tell(kCopy, from, {}, to);
  }
  bool create(const std::string& name, const std::string& head) override {
    open_ = name;
    files[name] = head;
    tell(kCreate, name, head);
    return !failed_;
  }
  bool append(const std::string& name, uint64_t keep) override {
    open_ = name;
    files[name].resize(static_cast<size_t>(keep));
    tell(kAppend, name, files[name]);
    return !failed_;
  }
  void write(std::string bytes) override {
    files[open_] += bytes;
    tell(kWrite, open_, bytes);
  }
  void close() override { tell(kClose, open_); }
  bool failed() const override { return failed_; }
  play::KeptIn keptIn() const override { return play::KeptIn::browser; }
  void setFailed() { failed_ = true; }

  std::map<std::string, std::string> files;

 private:
  void tell(StoreOp op, const std::string& name, const std::string& bytes = {},
            const std::string& to = {}) {
    page_store(op, name.c_str(), bytes.data(), static_cast<int>(bytes.size()),
               to.empty() ? nullptr : to.c_str());
  }
  std::string open_;
  bool failed_ = false;
};

class PageWindow final : public play::Window {
 public:
  void setGame(Game& game) override {
    game_ = &game;
    changes.forget();
    followSound(game);
    page_window(kSetGame, 0, 0, nullptr);
  }
  void sync() override {
    // First, so that a whip's crack is on its way before the page draws.
    if (game_) followSound(*game_);
    page_window(kSync, 0, 0, nullptr);
  }
  void setStill(bool paused, bool locked) override {
    paused_ = paused;
    locked_ = locked;
    page_window(kStill, paused, locked, nullptr);
  }
  void setPace(int ms, std::function<void()> tick) override {
    pace = std::move(tick);
    page_window(kPace, ms, 0, nullptr);
  }
  void setTitlePrefix(const std::string& prefix) override {
    page_window(kTitle, 0, 0, prefix.c_str());
  }
  void showNote(const std::string& text) override { page_window(kNote, 0, 0, text.c_str()); }
  void showLastingNote(const std::string& text) override {
    page_window(kLasting, 0, 0, text.c_str());
  }
  void hideLastingNote() override { page_window(kHideLasting, 0, 0, nullptr); }
  void later(std::function<void()> f) override {
    queued.push_back(std::move(f));
    page_window(kLater, 0, 0, nullptr);
  }

  Game* game_ = nullptr;
  bool paused_ = false, locked_ = true;
  std::function<void()> pace;
  std::vector<std::function<void()>> queued;
  play::FormChanges changes;
};

// The entry's navigation ended: at the site, or nowhere.
void entryArrived(bool arrived);

// Fetches go through the page (same origin as the site), answered later by milka_fetched.
class PagePort final : public OnlinePort {
 public:
  void fetch(const std::string& url, std::function<void(std::string)> done) override {
    start(url, false, std::move(done));
  }
  void navigate(const std::string& url, std::function<void(std::string)> arrived) override {
    const bool entry = play::EntryUpload::isEntry(url);
    start(url, true, [this, entry, arrived = std::move(arrived)](std::string where) {
      location_ = where;
      if (entry) entryArrived(!where.empty());
      if (arrived) arrived(std::move(where));
    });
  }
  void openUrl(const std::string& url) override { page_fetch(-1, url.c_str(), 0); }
  std::string locationUrl() const override { return location_; }

  void answer(int id, std::string text) {
    const auto at = waiting_.find(id);
    if (at == waiting_.end()) return;
    auto done = std::move(at->second);
    waiting_.erase(at);
    done(std::move(text));
  }

 private:
  void start(const std::string& url, bool navigate, std::function<void(std::string)> done) {
    const int id = next_++;
    waiting_[id] = std::move(done);
    page_fetch(id, url.c_str(), navigate);
  }
  std::map<int, std::function<void(std::string)>> waiting_;
  int next_ = 0;
  std::string location_;
};

// One page, one career at a time.
struct Page {
  PageStore store;
  PageWindow window;
  PagePort port;
  std::unique_ptr<play::CareerKeeper> keeper;
  std::unique_ptr<play::CareerPlay> career;
  // A journal watched from a file or a stored race: nothing pressed changes it.
  std::unique_ptr<journal::Session> replayed;
  std::unique_ptr<play::ReplayShow> replay;
  std::string text;  // the last answer handed to the page, kept until the next
};

Page& page() {
  static Page p;
  return p;
}

Game& shown() {
  Page& p = page();
  if (p.replayed) return p.replayed->game();
  return p.career->shown();
}

// After every event the page delivers, as the desktop's window follows its own.
void fed() {
  if (page().career || page().replayed) followSound(shown());
}

const char* hand(std::string text) {
  page().text = std::move(text);
  return page().text.c_str();
}

}  // namespace

// The entry's part (below): where the career's requests go, and its journal sent with its entry.
OnlinePort& entryPort(const std::string& siteBase);
void sendJournalsWithEntries(play::CareerKeeper& keeper, bool askForSeed);

}  // namespace milka::web

using milka::web::page;

extern "C" {

// Before starting: a journal the page kept, by name.
EMSCRIPTEN_KEEPALIVE void milka_store_put(const char* name, const char* bytes, int length) {
  page().store.files[name] = std::string(bytes, static_cast<size_t>(length));
}

// The page's storage refused bytes: the career plays on, unkept, and the player is told once.
EMSCRIPTEN_KEEPALIVE void milka_store_failed() {
  page().store.setFailed();
  if (page().keeper) page().keeper->poll();
}

// Continues the newest career or begins one (from seed when seeded); 1 when continued.
EMSCRIPTEN_KEEPALIVE int milka_start(const char* siteBase, double seed, int seeded) {
  auto& p = page();
  p.port.siteBase = siteBase;
  p.keeper = std::make_unique<milka::play::CareerKeeper>(p.store, milka::web::entryPort(siteBase));
  milka::web::sendJournalsWithEntries(*p.keeper, seeded == 0);
  p.career = std::make_unique<milka::play::CareerPlay>(*p.keeper, p.window);
  const auto started = seeded ? p.keeper->start(static_cast<uint64_t>(seed)) : p.keeper->start();
  p.window.setGame(p.keeper->game());
  p.career->begin(started);
  return started.continued ? 1 : 0;
}

// A journal's bytes watched in the page, from its start, or (race > 0) only its race-th race, from
// its card to its results board; 0 when they hold no career or not that many races.
EMSCRIPTEN_KEEPALIVE int milka_watch(const char* bytes, int length, int race) {
  auto& p = page();
  const milka::journal::Reading r =
      milka::journal::read(std::string_view(bytes, static_cast<size_t>(length)));
  if (!milka::journal::holdsCareer(r)) return 0;
  p.replay.reset();
  p.replayed = std::make_unique<milka::journal::Session>(r.header);
  p.replay = std::make_unique<milka::play::ReplayShow>(*p.replayed, r.events, p.window);
  if (r.status == milka::journal::Reading::Status::Damaged)
    p.replay->setEndNote(milka::play::replayDamagedEndText());
  milka::play::ReplayPlayer& player = p.replay->player();
  for (int k = 0; k < race && !player.done(); ++k) player.skipToNextRace();
  if (player.done()) {
    p.replay.reset();
    p.replayed.reset();
    return 0;
  }
  if (race > 0) player.setStopWhen(milka::play::boardShown);
  p.window.setGame(p.replayed->game());
  p.replay->begin();
  return 1;
}

// Why a journal cannot be watched, in words for the player.
EMSCRIPTEN_KEEPALIVE const char* milka_unreadable(const char* bytes, int length) {
  return milka::web::hand(milka::play::unreadableText(
      milka::journal::read(std::string_view(bytes, static_cast<size_t>(length)))));
}

EMSCRIPTEN_KEEPALIVE void milka_click(int n) {
  if (!page().career || page().replayed) return;
  page().career->feed(milka::journal::Event::click(n));
  milka::web::fed();
}

EMSCRIPTEN_KEEPALIVE void milka_timer(int n) {
  if (!page().career || page().replayed) return;
  page().career->feed(milka::journal::Event::timer(n));
  milka::web::fed();
}

EMSCRIPTEN_KEEPALIVE void milka_text1(const char* now) {
  auto& p = page();
  if (!p.career || p.replayed) return;
  p.career->feed(milka::journal::Event::text1(p.keeper->game().form.text1.text, now));
  milka::web::fed();
}

// A key pressed anywhere in the page, by its key code: what the page does with it. 0: not the
// game's; 1: taken; 2: a symbol the text box may type as well; 3: a symbol it must not; 10 + a
// view key (zoom, full screen, gliding, sound) for the page to carry out.
EMSCRIPTEN_KEEPALIVE int milka_press(int code, int shift, int control, int alt, int repeat) {
  auto& p = page();
  const milka::play::KeyAction a =
      milka::play::actionFor({code, shift != 0, control != 0, alt != 0, repeat != 0});
  if (a.career != milka::play::CareerKey::None) {
    if (!repeat) {
      if (p.replay)
        p.replay->key(a.career);
      else if (p.career)
        p.career->key(a.career);
    }
    return 1;
  }
  if (a.command != 0) {
    if (!repeat) milka_click(a.command);
    return 1;
  }
  if (a.view != milka::play::ViewKey::None) return repeat ? 1 : 10 + static_cast<int>(a.view);
  if (a.symbol == 0) return 0;
  if (p.window.paused_ || p.window.locked_ || !p.career || p.replayed) return 3;
  p.career->feed(milka::journal::Event::key(a.symbol, shift ? 1 : 0));
  milka::web::fed();
  return a.symbol <= milka::play::vk::kDown ? 3 : 2;
}

EMSCRIPTEN_KEEPALIVE void milka_pace() {
  if (page().window.pace) page().window.pace();
}

EMSCRIPTEN_KEEPALIVE void milka_later() {
  auto queued = std::move(page().window.queued);
  page().window.queued.clear();
  for (auto& f : queued) f();
}

EMSCRIPTEN_KEEPALIVE void milka_fetched(int id, const char* text) {
  page().port.answer(id, text);
}

// Once a period: what is ready of the journal goes to the page's storage.
EMSCRIPTEN_KEEPALIVE void milka_poll() {
  if (page().keeper) page().keeper->poll();
}

// The page is going away: everything fed so far goes to its storage now.
EMSCRIPTEN_KEEPALIVE void milka_flush() {
  if (page().keeper) page().keeper->flush();
}

// What changed in the form the page shows since the page last asked, as JSON.
EMSCRIPTEN_KEEPALIVE const char* milka_changes() {
  auto& p = page();
  return milka::web::hand(p.window.changes.since(milka::web::shown().form));
}

// What a screen reader is told of the shown form, as JSON.
EMSCRIPTEN_KEEPALIVE const char* milka_reading() {
  return milka::web::hand(milka::play::readingJson(milka::play::readingOf(milka::web::shown())));
}

// The running career's journal as its storage holds it, and its name.
EMSCRIPTEN_KEEPALIVE const char* milka_journal_name() {
  return page().keeper ? page().keeper->name().c_str() : "";
}
EMSCRIPTEN_KEEPALIVE int milka_journal_bytes() {
  auto& p = page();
  p.text = p.keeper ? p.keeper->journalBytes() : std::string();
  return static_cast<int>(p.text.size());
}
EMSCRIPTEN_KEEPALIVE const char* milka_taken() {
  return page().text.data();
}

// Where the shown game stands, for tests: the same fingerprint the desktop prints.
EMSCRIPTEN_KEEPALIVE double milka_fingerprint_hi() {
  return static_cast<double>(milka::journal::fingerprint(milka::web::shown()) >> 32);
}
EMSCRIPTEN_KEEPALIVE double milka_fingerprint_lo() {
  return static_cast<double>(milka::journal::fingerprint(milka::web::shown()) & 0xFFFFFFFFu);
}
EMSCRIPTEN_KEEPALIVE int milka_screen() {
  return milka::web::shown().state.screenState;
}

// A journal replayed event by event, as journal::traceOf tells it: the same line natively and
// here means the same career after every event.
EMSCRIPTEN_KEEPALIVE const char* milka_trace(const char* bytes, int length) {
  return milka::web::hand(milka::journal::traceOf(
      milka::journal::read(std::string_view(bytes, static_cast<size_t>(length)))));
}

// The whole zoom a view key steps to from the page's scale now, no further up than largest.
EMSCRIPTEN_KEEPALIVE int milka_stepped_zoom(double scale, int steps, int largest) {
  return milka::play::steppedZoom(scale, steps, largest);
}

// The keys of a button, as its tooltip names them.
EMSCRIPTEN_KEEPALIVE const char* milka_command_keys(int command) {
  return milka::web::hand(milka::play::commandKeyNames(command));
}

// The on-screen keys of a page without a keyboard: laid out once, and after every change whether
// they serve now and the race's lines to show large beside them.
EMSCRIPTEN_KEEPALIVE const char* milka_symbol_keyboard() {
  return milka::web::hand(milka::play::symbolKeyboardJson());
}
EMSCRIPTEN_KEEPALIVE const char* milka_touch() {
  auto& p = page();
  if (!p.career && !p.replayed) return milka::web::hand("{}");
  const milka::Game& g = milka::web::shown();
  // A race watched again takes no keys, as a replay does not; paused, nothing typed reaches the
  // game, and the way on is the career's own button.
  const bool career = p.career && !p.replayed;
  const bool typing = career && !p.window.locked_ && !p.window.paused_;
  const bool watchingAgain = career && p.career->watching();
  return milka::web::hand(milka::play::touchJson(g.form, g.state, typing,
                                                 career && !watchingAgain
                                                     ? milka::play::careerButtons(p.window.paused_)
                                                     : std::vector<milka::play::CareerButton>{}));
}

// A picture's pixels (0xAARRGGBB, row by row) and its size.
EMSCRIPTEN_KEEPALIVE const uint32_t* milka_sprite(int kind, int coat, int left, int frame) {
  const milka::play::SpriteArt& art = milka::play::spriteArt(
      {static_cast<milka::SpriteKind>(kind), static_cast<milka::Coat>(coat), left != 0, frame});
  return art.argb.data();
}
EMSCRIPTEN_KEEPALIVE int milka_sprite_width(int kind) {
  return milka::play::spriteArt({static_cast<milka::SpriteKind>(kind)}).width;
}
EMSCRIPTEN_KEEPALIVE int milka_sprite_height(int kind) {
  return milka::play::spriteArt({static_cast<milka::SpriteKind>(kind)}).height;
}

}  // extern "C"

// --- What the page draws beyond the form -------------------------------------------------------
// The midend's layout of every label and the markers of runners out of view, measured in the
// page's own fonts, and where the pictures glide from: the page draws exactly these, as the
// desktop's canvas does, and decides none of it.

#include "journal/session.h"
#include "play/glide.h"
#include "play/layout_changes.h"
#include "web/page_measure.h"

namespace milka::web {
namespace {

struct Drawn {
  PageMeasure measure;
  play::LayoutChanges changes{measure};
};

Drawn& drawn() {
  static Drawn d;
  return d;
}

}  // namespace
}  // namespace milka::web

extern "C" {

// The shown form's layout as it changed since the page last asked, as JSON (all of it when
// whole: another game is shown, or the page forgot what it drew); glides only while gliding.
EMSCRIPTEN_KEEPALIVE const char* milka_layout(int whole, int gliding) {
  milka::web::Drawn& d = milka::web::drawn();
  if (whole) d.changes.forget();
  const milka::Game& g = milka::web::shown();
  return milka::web::hand(d.changes.since(g.form, g.state, gliding != 0));
}

// Where a picture gliding from `from` to `to` (twips) stands at phase 0 (the tick) .. 1.
EMSCRIPTEN_KEEPALIVE double milka_glided_left(double from, double to, double phase) {
  return milka::play::glidedLeft(static_cast<float>(from), static_cast<float>(to), phase);
}

// How long a glide takes, in milliseconds: a tick's period.
EMSCRIPTEN_KEEPALIVE int milka_glide_ms() {
  return milka::play::kGlideMs;
}

// A journal's career as it stood after its first `events` events, shown standing still: the very
// moment the desktop draws from the same journal, for holding the two pictures against each
// other. 0 when the bytes hold no career.
EMSCRIPTEN_KEEPALIVE int milka_show_at(const char* bytes, int length, int events) {
  auto& p = page();
  const milka::journal::Reading r =
      milka::journal::read(std::string_view(bytes, static_cast<size_t>(length)));
  if (!milka::journal::holdsCareer(r) || events < 0) return 0;
  std::unique_ptr<milka::journal::Session> at =
      milka::journal::replay(r, static_cast<size_t>(events));
  if (!at) return 0;
  p.replay.reset();
  p.replayed = std::move(at);
  p.window.setGame(p.replayed->game());
  p.window.sync();
  return 1;
}

}  // extern "C"

// --- The entry: a new career's seed from the site, and the journal sent with the entry ---------
// The page fetches and packs; the midend decides (play::EntryUpload, the keeper's seeds).

EM_JS(void, page_entry, (int op, int id, const char* url, const char* bytes, int length),
      { Module.page.entry(op, id, UTF8ToString(url), HEAPU8.slice(bytes, bytes + length)); });

namespace milka::web {
namespace {

enum EntryOp { kAskSeed, kPost, kCompress };

// Every request of the entry's goes through the page and comes back by milka_entry_answered.
class PageEntry final : public play::SeedSource, public play::UploadLink {
 public:
  void ask(const std::string& base, std::function<void(std::string)> done) override {
    std::string url = base;
    while (!url.empty() && url.back() == '/') url.pop_back();
    start(kAskSeed, url + "/seed.php", {},
          [done = std::move(done)](int status, std::string text, bool fromServer) {
            const bool seed = fromServer && status == 200 && play::isSiteSeed(text);
            // No answer at all: the player learns now, not at the entry, that this horse will
            // stand unverified.
            if (!fromServer) page().window.showNote(play::offlineSeedText());
            done(seed ? std::move(text) : std::string());
          });
  }
  void post(const std::string& url, std::string body, Posted done) override {
    start(kPost, url, body, std::move(done));
  }
  void compress(std::string bytes, std::function<void(std::string)> done) override {
    start(kCompress, {}, bytes,
          [done = std::move(done)](int, std::string packed, bool) { done(std::move(packed)); });
  }

  void answer(int id, int status, std::string body, bool fromServer) {
    const auto at = waiting_.find(id);
    if (at == waiting_.end()) return;
    auto done = std::move(at->second);
    waiting_.erase(at);
    done(status, std::move(body), fromServer);
  }

 private:
  void start(EntryOp op, const std::string& url, const std::string& bytes, Posted done) {
    const int id = next_++;
    waiting_[id] = std::move(done);
    page_entry(op, id, url.c_str(), bytes.data(), static_cast<int>(bytes.size()));
  }
  std::map<int, Posted> waiting_;
  int next_ = 0;
};

struct Entries {
  PageEntry link;
  // How the journal fared, told once the entry's navigation shows the entry was made at all.
  std::string told;
  // Made once: every career's session holds on to it.
  std::unique_ptr<play::EntryUpload> upload;
};

Entries& entries() {
  static Entries e;
  return e;
}

void entryArrived(bool arrived) {
  // Had the entry not reached the site, the horse is not in the hall at all, verified or not.
  page().window.showLastingNote(arrived ? entries().told : play::unreachableEntryText());
}

}  // namespace

OnlinePort& entryPort(const std::string& siteBase) {
  Entries& e = entries();
  if (!e.upload) e.upload = std::make_unique<play::EntryUpload>(page().port, e.link);
  e.upload->siteBase = siteBase;
  return *e.upload;
}

void sendJournalsWithEntries(play::CareerKeeper& keeper, bool askForSeed) {
  Entries& e = entries();
  if (askForSeed) keeper.askForSeeds(&e.link);
  e.upload->setJournal([&keeper] {
    return play::EntryUpload::Journal{keeper.journalBytes(), keeper.session().seedsFed() > 0};
  });
  e.upload->setUploaded(
      [](const play::EntryOutcome& outcome) { entries().told = play::entryOutcomeText(outcome); });
}

}  // namespace milka::web

extern "C" {

// The page's answer to an entry's request: the status (0 without one), the body, and whether
// the site itself answered; for a packing, the packed bytes.
EMSCRIPTEN_KEEPALIVE void milka_entry_answered(int id, int status, const char* bytes, int length,
                                               int fromServer) {
  milka::web::entries().link.answer(id, status, std::string(bytes, static_cast<size_t>(length)),
                                    fromServer != 0);
}

// Whether the running career took a seed from the site, for tests.
EMSCRIPTEN_KEEPALIVE int milka_seeded() {
  return page().keeper && page().keeper->session().seedsFed() > 0 ? 1 : 0;
}

}  // extern "C"
