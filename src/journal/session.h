// The journal's one entry point. Whoever drives the game — the window, a replay, the soak, the
// site's check of an entry — feeds it events here: each is written to the journal (when one is
// kept) and then handed to its handler. Replaying a journal is feeding its events back, so a
// replay reaches the same game-state record and window model after every event.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "journal/event.h"
#include "journal/format.h"
#include "shell/game.h"

namespace milka::journal {

class Session;

// Stands between the core and the outside world. Every answer that comes back is fed to the
// session as an event, so it is journaled and replays in its place; with no outside port (a
// replay, the soak) requests wait until an answer is fed.
class JournalPort final : public OnlinePort {
 public:
  explicit JournalPort(Session& session) : session_(session) {}
  ~JournalPort() override;

  void fetch(const std::string& url, std::function<void(std::string)> done) override;
  void navigate(const std::string& url, std::function<void(std::string)> arrived) override;
  void openUrl(const std::string& url) override;
  std::string locationUrl() const override { return location_; }

  // Where requests really go; nullptr holds them (while a journal is replayed, say).
  void setOutside(OnlinePort* outside) { outside_ = outside; }
  OnlinePort* outside() const { return outside_; }

  struct Pending {
    int index;
    std::string url;
  };
  std::vector<Pending> pendingFetches() const;
  std::vector<Pending> pendingNavigations() const;
  int fetchesStarted() const { return fetchesStarted_; }
  int navigationsStarted() const { return navigationsStarted_; }
  int opened() const { return opened_; }

 private:
  friend class Session;
  struct Waiting {
    std::string url;
    std::function<void(std::string)> callback;
  };
  // Hands the answer to whoever asked; false when nobody is waiting for it.
  bool answer(std::map<int, Waiting>& waiting, int index, const std::string& text);

  Session& session_;
  OnlinePort* outside_ = nullptr;
  std::map<int, Waiting> fetches_, navigations_;
  int fetchesStarted_ = 0;
  int navigationsStarted_ = 0;
  int opened_ = 0;
  std::string location_;
  // Answers from outside can arrive after this port is gone; they then go nowhere.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

class Session {
 public:
  // A career under h's random source, its requests going to outside (nullptr: held).
  explicit Session(Header h, OnlinePort* outside = nullptr);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // A header for a new career of this build.
  static Header newHeader(uint64_t seed, ClockKind clock = ClockKind::Events);

  Game& game() { return *game_; }
  const Game& game() const { return *game_; }
  const Header& header() const { return header_; }
  JournalPort& port() { return port_; }
  const JournalPort& port() const { return port_; }

  // Records e (when recording) and applies it.
  void feed(const Event& e);
  // Events fed so far.
  int64_t events() const { return events_; }
  // Seeds from the maker's site fed so far.
  int seedsFed() const { return seeds_; }

  // From now on every event fed is encoded; the records chain on from chain.
  void startRecording(uint16_t chain);
  // The journal's bytes from the header on, for a new file.
  std::string startNewJournal();
  Encoder* encoder() { return encoder_ ? &*encoder_ : nullptr; }

  // Called after every event fed, once its handler has run (the window redraws from it).
  void setAfterEvent(std::function<void(const Event&)> after) { after_ = std::move(after); }

 private:
  void apply(const Event& e);

  Header header_;
  int64_t events_ = 0;
  std::unique_ptr<Clock> clock_;
  std::unique_ptr<RandomSource> random_;
  ClockRandom* draws_ = nullptr;  // random_, which a site's seed is stirred into
  int seeds_ = 0;
  JournalPort port_;
  std::unique_ptr<Game> game_;
  std::optional<Encoder> encoder_;
  std::function<void(const Event&)> after_;
};

// Hands one of the window's own events (a load, click, key, tick, Text1's text or a browser
// notice) to its handler; false for a network answer, which only a session can deliver.
bool applyToGame(Game& g, const Event& e);

// The number a site's seed (any text) stirs into the draws.
uint64_t seedValue(std::string_view text);

// A session that has replayed the first `upTo` events of a reading (all of them by default),
// recording nothing; nullptr when the reading has no usable header.
std::unique_ptr<Session> replay(const Reading& r, size_t upTo = SIZE_MAX);

}  // namespace milka::journal
