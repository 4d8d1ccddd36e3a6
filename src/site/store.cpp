#include "site/store.h"

#include <QAtomicInteger>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>

namespace milka::site {

namespace {

// One column per sent top race, in the order the game sends them; names are fixed here, never
// taken from a request.
constexpr std::array<const char*, 9> kTimeColumns = {"t3", "t5",  "t6",  "t7", "t8",
                                                     "t9", "t10", "t11", "t12"};
constexpr const char* kCareerColumns =
    "id, name, entered_at, t3, t5, t6, t7, t8, t9, t10, t11, t12";

QString uniqueConnectionName() {
  static QAtomicInteger<quint64> counter;
  return QStringLiteral("milka-site-%1").arg(counter.fetchAndAddRelaxed(1));
}

Career careerFrom(const QSqlQuery& q) {
  Career c;
  c.id = q.value(0).toLongLong();
  c.name = q.value(1).toString();
  c.enteredAt = q.value(2).toLongLong();
  for (size_t i = 0; i < c.times.size(); ++i) c.times[i] = q.value(static_cast<int>(3 + i)).toInt();
  return c;
}

// Runs one statement; on failure error (when given) says what went wrong.
bool run(const QSqlDatabase& db, const QString& sql, QString* error = nullptr) {
  QSqlQuery q(db);
  if (q.exec(sql)) return true;
  if (error != nullptr) *error = sql + QStringLiteral(": ") + q.lastError().text();
  return false;
}

QString column(int index) {
  return QString::fromLatin1(kTimeColumns[static_cast<size_t>(std::clamp(index, 0, 8))]);
}

}  // namespace

Store::Store(QString path, qint64 tokenLifetimeSeconds, std::function<qint64()> now)
    : path_(std::move(path)),
      connection_(uniqueConnectionName()),
      lifetime_(tokenLifetimeSeconds),
      now_(std::move(now)) {}

Store::~Store() {
  if (db_.isValid()) {
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connection_);
  }
}

bool Store::open(QString* error) {
  db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
  if (!db_.isValid()) {
    *error = QStringLiteral("the Qt SQLite driver is missing (Debian package libqt6sql6-sqlite)");
    return false;
  }
  db_.setDatabaseName(path_);
  // Another process (a second milka-site on the same file) may hold the write lock briefly.
  db_.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs_));
  if (!db_.open()) {
    *error = db_.lastError().text();
    return false;
  }
  QSqlQuery wal(db_);
  if (!wal.exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !wal.next() ||
      wal.value(0).toString().compare(QStringLiteral("wal"), Qt::CaseInsensitive) != 0) {
    *error = QStringLiteral("%1 cannot be put in WAL mode").arg(path_);
    return false;
  }
  wal.finish();
  run(db_, QStringLiteral("PRAGMA synchronous=NORMAL"));
  run(db_, QStringLiteral("PRAGMA foreign_keys=ON"));
  return createSchema(error);
}

bool Store::createSchema(QString* error) {
  QSqlQuery version(db_);
  if (!version.exec(QStringLiteral("PRAGMA user_version")) || !version.next()) {
    *error = version.lastError().text();
    return false;
  }
  const int found = version.value(0).toInt();
  version.finish();
  if (found == kSchemaVersion) return true;
  if (found > kSchemaVersion) {
    *error = QStringLiteral("%1 was written by a newer site (schema %2, this one knows %3)")
                 .arg(path_)
                 .arg(found)
                 .arg(kSchemaVersion);
    return false;
  }
  // Version 0 is a new file. Later versions add their steps after this one.
  QStringList steps = {
      QStringLiteral("CREATE TABLE tokens (token TEXT PRIMARY KEY, issued_at INTEGER NOT NULL, "
                     "used_at INTEGER) WITHOUT ROWID"),
      QStringLiteral("CREATE INDEX tokens_by_issue ON tokens(issued_at)"),
      QStringLiteral("CREATE TABLE careers (id INTEGER PRIMARY KEY, token TEXT NOT NULL UNIQUE, "
                     "name TEXT NOT NULL, entered_at INTEGER NOT NULL, t3 INTEGER NOT NULL, "
                     "t5 INTEGER NOT NULL, t6 INTEGER NOT NULL, t7 INTEGER NOT NULL, "
                     "t8 INTEGER NOT NULL, t9 INTEGER NOT NULL, t10 INTEGER NOT NULL, "
                     "t11 INTEGER NOT NULL, t12 INTEGER NOT NULL)"),
  };
  for (const char* c : kTimeColumns)
    steps << QStringLiteral(
                 "CREATE INDEX careers_by_%1 ON careers(%1, entered_at, id) WHERE %1 > 0")
                 .arg(QLatin1String(c));
  steps << QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion);

  if (!run(db_, QStringLiteral("BEGIN IMMEDIATE"), error)) return false;
  for (const QString& step : steps) {
    if (!run(db_, step, error)) {
      run(db_, QStringLiteral("ROLLBACK"));
      return false;
    }
  }
  return run(db_, QStringLiteral("COMMIT"), error);
}

void Store::purgeExpiredTokens(qint64 now) {
  // Once a minute is enough to keep the table small; used tokens live on in careers.token.
  if (now - lastPurge_ < 60) return;
  lastPurge_ = now;
  QSqlQuery q(db_);
  q.prepare(QStringLiteral("DELETE FROM tokens WHERE issued_at < ?"));
  q.addBindValue(now - lifetime_);
  q.exec();
}

QByteArray Store::issueToken() {
  const qint64 now = now_();
  purgeExpiredTokens(now);
  constexpr int kAlphabetSize = sizeof(kTokenAlphabet) - 1;
  for (int attempt = 0; attempt < 8; ++attempt) {
    QByteArray token(kTokenLength, Qt::Uninitialized);
    for (char& c : token) c = kTokenAlphabet[QRandomGenerator::system()->bounded(kAlphabetSize)];
    QSqlQuery q(db_);
    // A token a stored career was entered with never comes back, even once it is purged here.
    q.prepare(
        QStringLiteral("INSERT OR IGNORE INTO tokens (token, issued_at) SELECT ?, ? "
                       "WHERE NOT EXISTS (SELECT 1 FROM careers WHERE token = ?)"));
    q.addBindValue(QString::fromLatin1(token));
    q.addBindValue(now);
    q.addBindValue(QString::fromLatin1(token));
    if (!q.exec()) return {};
    if (q.numRowsAffected() == 1) return token;
  }
  return {};
}

Store::Entered Store::enter(const Entry& entry) {
  const qint64 now = now_();
  const QString token = QString::fromLatin1(entry.token);
  if (!run(db_, QStringLiteral("BEGIN IMMEDIATE"))) return {QueryFault::Unavailable, 0};
  auto refuse = [this](QueryFault fault) {
    run(db_, QStringLiteral("ROLLBACK"));
    return Entered{fault, 0};
  };

  QSqlQuery find(db_);
  find.prepare(QStringLiteral("SELECT issued_at, used_at IS NOT NULL FROM tokens WHERE token = ?"));
  find.addBindValue(token);
  if (!find.exec()) return refuse(QueryFault::Unavailable);
  if (!find.next()) {
    // Purged after use, or never issued.
    QSqlQuery used(db_);
    used.prepare(QStringLiteral("SELECT 1 FROM careers WHERE token = ?"));
    used.addBindValue(token);
    const bool wasUsed = used.exec() && used.next();
    return refuse(wasUsed ? QueryFault::UsedToken : QueryFault::UnknownToken);
  }
  const qint64 issuedAt = find.value(0).toLongLong();
  const bool used = find.value(1).toBool();
  find.finish();
  if (used) return refuse(QueryFault::UsedToken);
  if (now - issuedAt > lifetime_) return refuse(QueryFault::ExpiredToken);

  QSqlQuery use(db_);
  use.prepare(QStringLiteral("UPDATE tokens SET used_at = ? WHERE token = ? AND used_at IS NULL"));
  use.addBindValue(now);
  use.addBindValue(token);
  if (!use.exec()) return refuse(QueryFault::Unavailable);
  if (use.numRowsAffected() != 1) return refuse(QueryFault::UsedToken);

  QSqlQuery insert(db_);
  insert.prepare(
      QStringLiteral("INSERT INTO careers (token, name, entered_at, t3, t5, t6, t7, t8, "
                     "t9, t10, t11, t12) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
  insert.addBindValue(token);
  insert.addBindValue(entry.name);
  insert.addBindValue(now);
  for (int32_t t : entry.times) insert.addBindValue(t);
  if (!insert.exec()) return refuse(QueryFault::Unavailable);
  const qint64 id = insert.lastInsertId().toLongLong();
  if (!run(db_, QStringLiteral("COMMIT"))) return refuse(QueryFault::Unavailable);
  return {QueryFault::None, id};
}

std::optional<Career> Store::career(qint64 id) const {
  QSqlQuery q(db_);
  q.prepare(
      QStringLiteral("SELECT %1 FROM careers WHERE id = ?").arg(QLatin1String(kCareerColumns)));
  q.addBindValue(id);
  if (!q.exec() || !q.next()) return std::nullopt;
  return careerFrom(q);
}

qint64 Store::careerCount() const {
  QSqlQuery q(db_);
  if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM careers")) || !q.next()) return 0;
  return q.value(0).toLongLong();
}

QList<Career> Store::newest(qint64 offset, int limit) const {
  QSqlQuery q(db_);
  q.setForwardOnly(true);
  q.prepare(QStringLiteral("SELECT %1 FROM careers ORDER BY id DESC LIMIT ? OFFSET ?")
                .arg(QLatin1String(kCareerColumns)));
  q.addBindValue(limit);
  q.addBindValue(offset);
  QList<Career> out;
  if (q.exec())
    while (q.next()) out.append(careerFrom(q));
  return out;
}

QList<Career> Store::fastest(int index, int limit) const {
  const QString c = column(index);
  QSqlQuery q(db_);
  q.setForwardOnly(true);
  q.prepare(
      QStringLiteral("SELECT %1 FROM careers WHERE %2 > 0 ORDER BY %2, entered_at, id LIMIT ?")
          .arg(QLatin1String(kCareerColumns), c));
  q.addBindValue(limit);
  QList<Career> out;
  if (q.exec())
    while (q.next()) out.append(careerFrom(q));
  return out;
}

qint64 Store::place(int index, int32_t time) const {
  const QString c = column(index);
  QSqlQuery q(db_);
  q.prepare(QStringLiteral("SELECT COUNT(*) FROM careers WHERE %1 > 0 AND %1 < ?").arg(c));
  q.addBindValue(time);
  if (!q.exec() || !q.next()) return 0;
  return q.value(0).toLongLong() + 1;
}

qint64 Store::winners(int index) const {
  const QString c = column(index);
  QSqlQuery q(db_);
  if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM careers WHERE %1 > 0").arg(c)) || !q.next())
    return 0;
  return q.value(0).toLongLong();
}

}  // namespace milka::site
