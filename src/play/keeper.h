// Keeps the career: its journal is written as the game runs, one per career in the window's
// store, and the next start continues the newest career that has not ended, exactly where it
// stopped. A journal that never left the title holds no career and is removed; one that cannot be
// read is put aside under another name, never deleted; a store that takes no more stops the
// keeping, never the game.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "journal/session.h"
#include "play/seeds.h"
#include "play/storage.h"

namespace milka::play {

class CareerKeeper {
 public:
  // outside: where the game's requests go.
  CareerKeeper(JournalStore& store, OnlinePort& outside);
  ~CareerKeeper();
  CareerKeeper(const CareerKeeper&) = delete;
  CareerKeeper& operator=(const CareerKeeper&) = delete;

  struct Started {
    bool continued = false;
    std::string note;  // for the player; empty when there is nothing to say
  };
  // From now on every new career asks the maker's site for a seed, unless its seed was given;
  // the career plays on meanwhile, and takes the seed only before its first click. Without this
  // no site is asked.
  void askForSeeds(SeedSource* seeds) { seeds_ = seeds; }
  // Where new careers' own seeds come from (the system's entropy unless set).
  void setFreshSeeds(std::function<uint64_t()> fresh) { fresh_ = std::move(fresh); }
  // A new journal's name, before its seed: the local time (yyyyMMdd-HHmmss-) unless set.
  void setStamp(std::function<std::string()> stamp) { stamp_ = std::move(stamp); }

  // Continues the newest career that has not ended, or starts a new one; with a seed, always a
  // new one drawn from it, which asks the site for nothing and plays exactly as that seed says.
  Started start(std::optional<uint64_t> seed = std::nullopt);
  // A new horse; the running career's journal stays where it is.
  Started newHorse();

  journal::Session& session() { return *session_; }
  Game& game() { return session_->game(); }

  // Every event of the running career, and where its last race card came up.
  const std::vector<journal::Event>& events() const { return events_; }
  std::optional<size_t> lastCardAt() const { return cardAt_; }
  // The running career's whole journal so far, header and records, as its store holds it.
  std::string journalBytes() const;
  // The last race's card as it was first shown, in a session of its own.
  std::unique_ptr<journal::Session> atLastCard() const;
  // The running career's journal in the store.
  const std::string& name() const { return name_; }

  // Once, after the store has refused the journal: what to tell the player.
  std::string takeFailureNote();
  // Hands what is ready to the store; the window calls it once a period, as the career plays.
  void poll();
  // Hands everything fed so far to the store (ticks of an unfinished period too).
  void flush();
  // Flushes, then waits for the store (on closing).
  void close();

  // Called when the store has failed, once; the note comes from takeFailureNote.
  void setFailed(std::function<void()> failed) { failed_ = std::move(failed); }

  static constexpr const char* kSuffix = ".mdj";

 private:
  Started begin(uint64_t seed, bool askSite);
  // Plays a readable journal back and goes on with it; nothing when it never left the title.
  std::optional<Started> resume(const std::string& name, const journal::Reading& r);
  uint64_t freshSeed() const;
  void adopt(std::unique_ptr<journal::Session> session);
  void checkStore();
  std::string setAside(const std::string& name, const std::string& suffix);
  std::string unused(const std::string& name, const std::string& suffix = {});

  JournalStore& store_;
  OnlinePort& outside_;
  std::unique_ptr<journal::Session> session_;
  std::unique_ptr<journal::Session> retired_;  // the one shown until the window lets it go
  std::string name_;
  std::vector<journal::Event> events_;
  std::optional<size_t> cardAt_;
  int32_t lastScreen_ = 0;
  bool clicked_ = false;
  bool leftTitle_ = false;  // the breeding screen was reached: this is a career
  SeedSource* seeds_ = nullptr;
  std::function<uint64_t()> fresh_;
  std::function<std::string()> stamp_;
  // Counts careers begun, so that a seed asked for one never reaches the next.
  uint64_t careersBegun_ = 0;
  bool failureTold_ = false;
  bool failurePending_ = false;
  std::function<void()> failed_;
};

}  // namespace milka::play
