// The site's data: the tokens pdf.php hands out and the careers entered with them, in one SQLite
// file (WAL mode, so pages keep reading while an entry is written) or in PostgreSQL, where any
// number of site processes share them. The pages and routes know only this interface. Every
// write is committed before it returns, so what the site acknowledged survives the process.
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include "site/backend.h"
#include "site/entry_query.h"
#include "site/schema.h"

namespace milka::site {

struct Career {
  qint64 id = 0;
  QString name;
  qint64 enteredAt = 0;  // seconds since the epoch
  std::array<int32_t, 9> times{};
  // Proved by replaying its journal; only these are ranked.
  bool verified = false;
};

// What kept a journal's proof from being kept.
enum class ProofFault {
  None,
  UnknownToken,  // never issued, or purged
  UsedToken,     // its entry was made already
  ExpiredToken,
  Uploaded,     // a journal came with this token already
  UnknownSeed,  // a seed the site never issued
  UsedSeed,     // a seed another career was verified with
  Unavailable,  // the database could not take it
};

class Store {
 public:
  static constexpr int kSchemaVersion = site::kSchemaVersion;

  // database is what DatabaseAddress::parse reads: a SQLite file's path or a postgresql://
  // URL. now gives seconds since the epoch; tests turn it forward to expire tokens.
  Store(QString database, qint64 tokenLifetimeSeconds, std::function<qint64()> now);
  ~Store();
  Store(const Store&) = delete;
  Store& operator=(const Store&) = delete;

  // How long a write waits for another process's lock before giving up; before open().
  void setBusyTimeoutMs(int ms) { busyTimeoutMs_ = ms; }
  // Opens (or creates) the database and brings its schema up to date; on failure error says
  // why. Later, a connection found gone is made afresh when the next request comes.
  bool open(QString* error);
  DatabaseAddress::Kind kind() const { return address_.kind; }

  // Whether a read since the last call could not be answered by the database. The reads below
  // then return nothing, and a page built from them must not be shown as if it were true.
  bool takeFault() const { return std::exchange(fault_, false); }

  // A fresh single-use token, or empty if the database could not take it.
  QByteArray issueToken();
  // A fresh single-use seed for a career (32 hexadecimal digits), or empty likewise.
  QByteArray issueSeed();

  // Keeps what a journal uploaded with token proved, until the entry with that token comes:
  // the query the replay sent, the journal and its story. Uses the seed: of two journals
  // played under one seed, at most one is ever kept.
  ProofFault keepProof(const QByteArray& token, const QByteArray& seed, const QByteArray& query,
                       const QByteArray& journal, const QByteArray& story);

  struct Entered {
    QueryFault fault = QueryFault::None;
    qint64 id = 0;
  };
  // Uses the entry's token and stores the career, both or neither: of two entries with one
  // token, exactly one is stored. When a journal's proof waits under the token, the entry must
  // say what it proved (QueryFault::Disagrees otherwise, and nothing is stored) and the career
  // is stored verified, with the journal and its story; without one it is stored unverified.
  Entered enter(const Entry& entry);

  // A stored career's journal and story (empty for one entered without a journal).
  struct Told {
    QByteArray journal;
    QByteArray story;
  };
  std::optional<Told> told(qint64 id) const;

  // Reads; each a snapshot of its own.
  std::optional<Career> career(qint64 id) const;
  qint64 careerCount() const;
  QList<Career> newest(qint64 offset, int limit) const;
  // The fastest verified winning times of race index (0..8, in sent order), fastest first;
  // ties go to the earlier entry.
  QList<Career> fastest(int index, int limit) const;
  // 1 + how many verified winning times of race index are faster than time.
  qint64 place(int index, int32_t time) const;
  // How many verified careers won race index.
  qint64 winners(int index) const;

 private:
  enum class Retry { No, Once };
  enum class TokenState { Fresh, Unknown, Used, Expired, Unavailable };
  // What token is now, read inside the caller's write transaction.
  TokenState tokenState(const QString& token, qint64 now) const;
  bool migrate(QString* error);
  void purgeExpiredTokens(qint64 now);
  QByteArray issueUnique(const QString& insertSql, int length, const char* alphabet);
  bool connected() const;
  bool dropIfLost() const;
  bool begin() const;
  bool exec(const QString& sql) const;
  // Prepares sql, binds binds in order and runs it. With Retry::Once a connection found gone is
  // made afresh and the statement run again: only for a statement alone in its transaction.
  std::optional<QSqlQuery> run(const QString& sql, const QVariantList& binds,
                               Retry retry = Retry::Once) const;
  QList<Career> careers(const QString& sql, const QVariantList& binds) const;
  qint64 count(const QString& sql, const QVariantList& binds) const;

  QString database_;
  DatabaseAddress address_;
  std::unique_ptr<Backend> backend_;
  QString connection_;
  qint64 lifetime_;
  std::function<qint64()> now_;
  qint64 lastPurge_ = 0;
  int busyTimeoutMs_ = 4000;
  // The connection may be remade from the const reads, so it is mutable state of the store.
  mutable QSqlDatabase db_;
  mutable bool connected_ = false;
  mutable QElapsedTimer sinceConnectTry_;
  mutable bool retryNow_ = false;
  mutable bool fault_ = false;
};

}  // namespace milka::site
