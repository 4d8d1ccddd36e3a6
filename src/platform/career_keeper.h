// Keeps the career: its journal is written as the game runs, one file per career in the
// player's data directory, and the next start continues the newest career that has not ended,
// exactly where it stopped. A journal that never left the title holds no career and is removed; one
// that cannot be read is put aside under another name, never deleted; a disk that takes no more
// stops the keeping, never the game.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "journal/file_writer.h"
#include "journal/session.h"
#include "platform/site_seed.h"

namespace milka::platform {

class CareerKeeper final : public QObject {
 public:
  // dir: where the journals are (made when missing); outside: where the game's requests go.
  CareerKeeper(QString dir, OnlinePort& outside);
  ~CareerKeeper() override;

  struct Started {
    bool continued = false;
    QString note;  // for the player; empty when there is nothing to say
  };
  // From now on every new career asks the maker's site for a seed (see SiteSeeds), unless its
  // seed was given; the career plays on meanwhile, and takes the seed only before its first
  // click. Without this no site is asked.
  void askSiteForSeeds(std::chrono::milliseconds limit = std::chrono::milliseconds(3000));
  const SiteSeeds* siteSeeds() const { return seeds_.get(); }
  // Where new careers' own seeds come from (the system's entropy unless set).
  void setFreshSeeds(std::function<uint64_t()> fresh) { fresh_ = std::move(fresh); }

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
  // The running career's whole journal so far, header and records, as its file holds it.
  std::string journalBytes() const;
  // The last race's card as it was first shown, in a session of its own.
  std::unique_ptr<journal::Session> atLastCard() const;

  // Once, after the disk has refused the journal: what to tell the player.
  QString takeFailureNote();
  QString path() const { return path_; }
  const journal::FileWriter* writer() const { return writer_.get(); }
  // Hands everything fed so far to the writer (ticks of an unfinished period too).
  void flush();
  // Flushes, then waits for the disk (on closing).
  void close();

  // Called when the writer has failed, once; the note comes from takeFailureNote.
  void setFailed(std::function<void()> failed) { failed_ = std::move(failed); }

 private:
  Started begin(uint64_t seed, bool askSite);
  // Plays a readable journal back and goes on with it; nothing when it never left the title.
  std::optional<Started> resume(const QString& file, const journal::Reading& r);
  uint64_t freshSeed() const;
  void adopt(std::unique_ptr<journal::Session> session);
  void afterEvent(const journal::Event& e);
  void submit();
  void checkWriter();
  QString setAside(const QString& file, const QString& suffix);

  QString dir_;
  OnlinePort& outside_;
  std::unique_ptr<journal::Session> session_;
  std::unique_ptr<journal::Session> retired_;  // the one shown until the window lets it go
  std::unique_ptr<journal::FileWriter> writer_;
  QString path_;
  std::vector<journal::Event> events_;
  std::optional<size_t> cardAt_;
  int32_t lastScreen_ = 0;
  bool clicked_ = false;
  bool leftTitle_ = false;  // the breeding screen was reached: this is a career
  std::unique_ptr<SiteSeeds> seeds_;
  std::function<uint64_t()> fresh_;
  // Counts careers begun, so that a seed asked for one never reaches the next.
  uint64_t careersBegun_ = 0;
  QTimer flushTimer_;
  bool failureTold_ = false;
  bool failurePending_ = false;
  std::function<void()> failed_;
};

}  // namespace milka::platform
