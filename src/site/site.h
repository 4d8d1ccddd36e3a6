// The maker's site: the race calendar and hall of fame at /karuden/, the tokens of pdf.php and
// the score entry at vbvb55.php, over Qt HTTP Server with one SQLite file or PostgreSQL. The
// game runs it in-process for one player; milka-site runs the same for many, and any number of
// milka-site processes on one PostgreSQL database are one site.
#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QHttpServer>
#include <QHttpServerResponder>
#include <QHttpServerResponse>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QThreadStorage>
#include <atomic>
#include <functional>
#include <memory>

#include "site/career_replay.h"
#include "site/pages.h"
#include "site/play_tree.h"
#include "site/request_guard.h"
#include "site/store.h"

namespace milka::site {

struct SiteOptions {
  // A SQLite file's path, or postgresql://USER@HOST[:PORT]/DBNAME (see DatabaseAddress).
  QString databasePath;
  qint64 tokenLifetimeSeconds = 10 * 60;
  // Seconds since the epoch; the system clock unless set.
  std::function<qint64()> now;
  RequestLimits limits;
  // Tokens and seeds one client address may take in a minute (and at once); more are 429.
  int mintPerMinute = 30;
  // Journals checked at once (replaying, or waiting for a thread); one more is answered 503.
  int replayQueue = 16;
  ReplayLimits replayLimits;
  // The game's own site: the player's journals, every career of which is listed as their stud
  // book. Empty for milka-site.
  QString journalDirectory;
  // The browser game's tree (scripts/web-build.sh's OUT/play), served at /play/ and read whole
  // when the site starts. Empty for none: /play/ then says the game is not on this site.
  QString playDirectory;
};

// The tree the build names (MILKA_WEB_BUILD's play/) when it is there; empty otherwise.
QString builtPlayDirectory();

class Site final : public QObject {
 public:
  explicit Site(SiteOptions options, QObject* parent = nullptr);
  // Lets the replays and database work still running finish first.
  ~Site() override;

  // Reads the browser game's tree, opens the database and starts listening; the port is the one
  // given, or a free one for 0. On failure error says why and nothing listens.
  bool start(const QHostAddress& address, quint16 port, QString* error);
  quint16 port() const { return port_; }
  QString baseUrl() const;

  const Store& store() const { return store_; }
  int refusedAtTheDoor() const { return guard_ ? guard_->refused() : 0; }
  // Journals being checked now.
  int replaysInFlight() const { return inFlight_; }
  // Whether /play/ serves the browser game.
  bool playable() const { return play_.installed(); }

 private:
  void addRoutes();
  void addJournalRoutes();
  void addStudBookRoutes();
  void addPlayRoutes();
  void answerPlay(const QHttpServerRequest& request, QHttpServerResponder&& responder);
  // Runs work on a thread of the database pool with that thread's own store: a slow or locked
  // database holds up only the requests that need it, never this thread. HEAD gets no body.
  template <typename Work>
  void onDatabase(const QHttpServerRequest& request, QHttpServerResponder&& responder, Work work);
  // Runs work on a thread of pool and writes its answer from this thread, if the client is
  // still there to read it.
  template <typename Work>
  void later(QThreadPool& pool, const QHttpServerRequest& request, QHttpServerResponder&& responder,
             Work work);
  void answerNow(const QHttpServerRequest& request, QHttpServerResponder&& responder,
                 QHttpServerResponse response);
  Store& threadStore();
  // Who sent request, as the limits count clients (countedAs): the peer, or the client a trusted
  // proxy forwarded for.
  QHostAddress clientOf(const QHttpServerRequest& request) const;
  // Whether client may take another token or seed now; counts it if so.
  bool mayMint(const QHostAddress& client);
  // The player's journals, each told once for as long as its file stays the same.
  // Any thread may ask; one at a time tells.
  QList<StudBookLine> studBook();
  std::optional<StudBookLine> studBookLine(const QString& file);
  std::optional<StudBookLine> toldLine(const QString& file);  // toldLock_ held

  Store store_;
  QHttpServer http_;
  RequestGuard* guard_ = nullptr;
  RequestLimits limits_;
  int replayQueue_;
  ReplayLimits replayLimits_;
  QString journalDirectory_;
  QString playDirectory_;
  PlayTree play_;  // read in start, then only read from
  struct Told {
    qint64 size = -1, modified = 0;
    std::optional<Story> story;
  };
  QHash<QString, Told> told_;
  QMutex toldLock_;
  QString database_;
  qint64 tokenLifetime_;
  std::function<qint64()> now_;
  int mintPerMinute_;
  struct Allowance {
    double left = 0;
    qint64 atMs = 0;
  };
  QHash<QHostAddress, Allowance> mints_;
  QElapsedTimer sinceStart_;
  // The connections of the pools' threads, each deleted as its thread ends: declared before the
  // pools, so it outlasts them.
  QThreadStorage<Store*> stores_;
  QThreadPool replays_;
  std::atomic<int> inFlight_ = 0;
  // Database work of the pages and entries, each thread with a connection of its own.
  QThreadPool databaseWork_;
  QHostAddress address_;
  quint16 port_ = 0;
};

}  // namespace milka::site
