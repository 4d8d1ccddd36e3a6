// The site's one SQLite file: the tokens pdf.php hands out and the careers entered with them.
// Written in WAL mode so pages keep reading while an entry is written; the schema carries its
// version, so a file from a newer site is refused rather than misread.
#pragma once

#include <QByteArray>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "site/entry_query.h"

namespace milka::site {

struct Career {
  qint64 id = 0;
  QString name;
  qint64 enteredAt = 0;  // seconds since the epoch
  std::array<int32_t, 9> times{};
};

class Store {
 public:
  static constexpr int kSchemaVersion = 1;

  // now gives seconds since the epoch; tests turn it forward to expire tokens.
  Store(QString path, qint64 tokenLifetimeSeconds, std::function<qint64()> now);
  ~Store();
  Store(const Store&) = delete;
  Store& operator=(const Store&) = delete;

  // How long a write waits for another process's lock before giving up; before open().
  void setBusyTimeoutMs(int ms) { busyTimeoutMs_ = ms; }
  // Opens (or creates) the file; on failure error says why.
  bool open(QString* error);

  // A fresh single-use token, or empty if the database could not take it.
  QByteArray issueToken();

  struct Entered {
    QueryFault fault = QueryFault::None;
    qint64 id = 0;
  };
  // Uses the entry's token and stores the career, both or neither: of two entries with one
  // token, exactly one is stored.
  Entered enter(const Entry& entry);

  std::optional<Career> career(qint64 id) const;
  qint64 careerCount() const;
  QList<Career> newest(qint64 offset, int limit) const;
  // The fastest winning times of race index (0..8, in sent order), fastest first; ties go to
  // the earlier entry.
  QList<Career> fastest(int index, int limit) const;
  // 1 + how many winning times of race index are faster than time.
  qint64 place(int index, int32_t time) const;
  // How many careers won race index.
  qint64 winners(int index) const;

 private:
  bool createSchema(QString* error);
  void purgeExpiredTokens(qint64 now);

  QString path_;
  QString connection_;
  qint64 lifetime_;
  std::function<qint64()> now_;
  qint64 lastPurge_ = 0;
  int busyTimeoutMs_ = 5000;
  QSqlDatabase db_;
};

}  // namespace milka::site
