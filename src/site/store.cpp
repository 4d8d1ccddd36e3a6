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
    "id, name, entered_at, t3, t5, t6, t7, t8, t9, t10, t11, t12, verified";
constexpr int kSeedLength = 32;
constexpr char kSeedAlphabet[] = "0123456789abcdef";
// A career may be played over many days; its seed waits for it that long.
constexpr qint64 kSeedLifetimeSeconds = 90 * 24 * 3600;

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
  c.verified = q.value(12).toInt() == 1;
  return c;
}

QString column(int index) {
  return QString::fromLatin1(kTimeColumns[static_cast<size_t>(std::clamp(index, 0, 8))]);
}

// Reconnecting waits up to the connect timeout; while the server stays away, requests in
// between are answered 503 at once rather than each waiting for it.
constexpr qint64 kReconnectEveryMs = 1000;

}  // namespace

Store::Store(QString database, qint64 tokenLifetimeSeconds, std::function<qint64()> now)
    : database_(std::move(database)),
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
  const std::optional<DatabaseAddress> address = DatabaseAddress::parse(database_, error);
  if (!address) return false;
  address_ = *address;
  backend_ = backendFor(address_, busyTimeoutMs_);
  const bool postgres = address_.kind == DatabaseAddress::Kind::PostgreSQL;
  db_ = QSqlDatabase::addDatabase(postgres ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"),
                                  connection_);
  if (!db_.isValid()) {
    *error =
        postgres
            ? QStringLiteral("the Qt PostgreSQL driver is missing (Debian package libqt6sql6-psql)")
            : QStringLiteral("the Qt SQLite driver is missing (Debian package libqt6sql6-sqlite)");
    return false;
  }
  sinceConnectTry_.start();
  if (!backend_->connect(db_, error)) return false;
  connected_ = true;
  return migrate(error);
}

bool Store::connected() const {
  if (connected_) return true;
  if (!backend_ || (!retryNow_ && sinceConnectTry_.elapsed() < kReconnectEveryMs)) return false;
  retryNow_ = false;
  sinceConnectTry_.restart();
  db_.close();
  QString error;
  connected_ = backend_->connect(db_, &error);
  if (!connected_) qWarning("milka-site: the database is still away: %s", qPrintable(error));
  return connected_;
}

bool Store::dropIfLost() const {
  if (!backend_->lostConnection(db_)) return false;
  qWarning("milka-site: the connection to the database was lost; making a new one");
  db_.close();
  connected_ = false;
  // The first try after a loss goes at once: the server may only have restarted.
  retryNow_ = true;
  return true;
}

bool Store::exec(const QString& sql) const {
  QSqlQuery q(db_);
  return q.exec(sql);
}

bool Store::begin() const {
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (!connected()) return false;
    if (exec(backend_->beginWrite())) return true;
    if (!dropIfLost()) return false;
  }
  return false;
}

std::optional<QSqlQuery> Store::run(const QString& sql, const QVariantList& binds,
                                    Retry retry) const {
  for (int attempt = 0; attempt < (retry == Retry::Once ? 2 : 1); ++attempt) {
    if (!connected()) return std::nullopt;
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    if (q.prepare(sql)) {
      for (const QVariant& b : binds) q.addBindValue(b);
      if (q.exec()) return q;
    }
    qWarning("milka-site: %s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    if (retry == Retry::No || !dropIfLost()) return std::nullopt;
  }
  return std::nullopt;
}

bool Store::migrate(QString* error) {
  auto fail = [&](const QString& why) {
    *error = why;
    exec(QStringLiteral("ROLLBACK"));
    return false;
  };
  // A statement of the check, failing with what it was and why.
  auto step = [&](const QString& sql) { return execute(db_, sql, error) || fail(*error); };
  if (!step(backend_->beginWrite())) return false;
  if (!backend_->lockSchema(db_, error)) return fail(*error);
  const int found = backend_->schemaVersion(db_, error);
  if (found < 0) return fail(*error);
  if (found > kSchemaVersion)
    return fail(QStringLiteral("%1 was written by a newer site (schema %2, this one knows %3)")
                    .arg(address_.shown())
                    .arg(found)
                    .arg(kSchemaVersion));
  if (found == kSchemaVersion) return step(QStringLiteral("COMMIT"));
  QStringList steps;
  for (const Migration& m : migrations())
    if (m.version > found)
      for (const QString& sql : m.steps) steps << backend_->dialect(sql);
  steps << backend_->setSchemaVersion(kSchemaVersion);
  for (const QString& sql : steps)
    if (!step(sql)) return false;
  return step(QStringLiteral("COMMIT"));
}

void Store::purgeExpiredTokens(qint64 now) {
  // Once a minute is enough to keep the table small; used tokens live on in careers.token.
  if (now - lastPurge_ < 60) return;
  lastPurge_ = now;
  run(QStringLiteral("DELETE FROM tokens WHERE issued_at < ?"), {now - lifetime_});
  run(QStringLiteral("DELETE FROM proofs WHERE made_at < ?"), {now - lifetime_});
  run(QStringLiteral("DELETE FROM seeds WHERE issued_at < ?"), {now - kSeedLifetimeSeconds});
}

QByteArray Store::issueUnique(const QString& insertSql, int length, const char* alphabet) {
  const qint64 now = now_();
  purgeExpiredTokens(now);
  const int alphabetSize = static_cast<int>(qstrlen(alphabet));
  for (int attempt = 0; attempt < 8; ++attempt) {
    QByteArray value(length, Qt::Uninitialized);
    for (char& c : value) c = alphabet[QRandomGenerator::system()->bounded(alphabetSize)];
    const QString text = QString::fromLatin1(value);
    const std::optional<QSqlQuery> q = run(insertSql, {text, now, text});
    if (!q) return {};
    if (q->numRowsAffected() == 1) return value;
  }
  return {};
}

QByteArray Store::issueToken() {
  // A token a stored career was entered with never comes back, even once it is purged here.
  // A retried insert is harmless: at worst a token nobody was given waits to be purged.
  return issueUnique(QStringLiteral("INSERT INTO tokens (token, issued_at) SELECT CAST(? AS TEXT), "
                                    "CAST(? AS BIGINT) WHERE NOT EXISTS (SELECT 1 FROM careers "
                                    "WHERE token = ?) ON CONFLICT DO NOTHING"),
                     kTokenLength, kTokenAlphabet);
}

QByteArray Store::issueSeed() {
  // 128 random bits: a used seed purged long after is never met again.
  return issueUnique(QStringLiteral("INSERT INTO seeds (seed, issued_at) SELECT CAST(? AS TEXT), "
                                    "CAST(? AS BIGINT) WHERE CAST(? AS TEXT) IS NOT NULL ON "
                                    "CONFLICT DO NOTHING"),
                     kSeedLength, kSeedAlphabet);
}

Store::TokenState Store::tokenState(const QString& token, qint64 now) const {
  std::optional<QSqlQuery> find =
      run(QStringLiteral("SELECT issued_at, used_at IS NOT NULL FROM tokens WHERE token = ?"),
          {token}, Retry::No);
  if (!find) return TokenState::Unavailable;
  if (!find->next()) return TokenState::Unknown;
  const qint64 issuedAt = find->value(0).toLongLong();
  const bool used = find->value(1).toBool();
  find->finish();
  if (used) return TokenState::Used;
  return now - issuedAt > lifetime_ ? TokenState::Expired : TokenState::Fresh;
}

ProofFault Store::keepProof(const QByteArray& tokenBytes, const QByteArray& seedBytes,
                            const QByteArray& query, const QByteArray& journal,
                            const QByteArray& story) {
  const qint64 now = now_();
  const QString token = QString::fromLatin1(tokenBytes);
  const QString seed = QString::fromLatin1(seedBytes);
  if (!begin()) return ProofFault::Unavailable;
  auto step = [this](const QString& sql, const QVariantList& binds) {
    return run(sql, binds, Retry::No);
  };
  auto refuse = [this](ProofFault fault) {
    if (!exec(QStringLiteral("ROLLBACK"))) dropIfLost();
    return fault;
  };
  switch (tokenState(token, now)) {
    case TokenState::Unavailable: return refuse(ProofFault::Unavailable);
    case TokenState::Unknown: return refuse(ProofFault::UnknownToken);
    case TokenState::Used: return refuse(ProofFault::UsedToken);
    case TokenState::Expired: return refuse(ProofFault::ExpiredToken);
    case TokenState::Fresh: break;
  }

  std::optional<QSqlQuery> uploaded =
      step(QStringLiteral("SELECT 1 FROM proofs WHERE token = ?"), {token});
  if (!uploaded) return refuse(ProofFault::Unavailable);
  if (uploaded->next()) return refuse(ProofFault::Uploaded);
  uploaded->finish();

  std::optional<QSqlQuery> seedRow =
      step(QStringLiteral("SELECT used_at IS NOT NULL FROM seeds WHERE seed = ?"), {seed});
  if (!seedRow) return refuse(ProofFault::Unavailable);
  if (!seedRow->next()) return refuse(ProofFault::UnknownSeed);
  seedRow->finish();
  // Of two journals under one seed, in any processes, the second waits for the first's row
  // lock and then finds the seed used.
  std::optional<QSqlQuery> useSeed =
      step(QStringLiteral("UPDATE seeds SET used_at = ? WHERE seed = ? AND used_at IS NULL"),
           {now, seed});
  if (!useSeed) return refuse(ProofFault::Unavailable);
  if (useSeed->numRowsAffected() != 1) return refuse(ProofFault::UsedSeed);

  std::optional<QSqlQuery> insert =
      step(QStringLiteral("INSERT INTO proofs (token, query, journal, story, made_at) VALUES (?, "
                          "?, ?, ?, ?) ON CONFLICT DO NOTHING"),
           {token, QString::fromLatin1(query), journal, QString::fromUtf8(story), now});
  if (!insert) return refuse(ProofFault::Unavailable);
  if (insert->numRowsAffected() != 1) return refuse(ProofFault::Uploaded);
  if (!exec(QStringLiteral("COMMIT"))) return refuse(ProofFault::Unavailable);
  return ProofFault::None;
}

Store::Entered Store::enter(const Entry& entry) {
  const qint64 now = now_();
  const QString token = QString::fromLatin1(entry.token);
  if (!begin()) return {QueryFault::Unavailable, 0};
  // Inside the transaction nothing is retried: a lost connection has rolled it back already.
  auto step = [this](const QString& sql, const QVariantList& binds) {
    return run(sql, binds, Retry::No);
  };
  auto refuse = [this](QueryFault fault) {
    if (!exec(QStringLiteral("ROLLBACK"))) dropIfLost();
    return Entered{fault, 0};
  };

  switch (tokenState(token, now)) {
    case TokenState::Unavailable: return refuse(QueryFault::Unavailable);
    case TokenState::Unknown: {
      // Purged after use, or never issued.
      std::optional<QSqlQuery> used =
          step(QStringLiteral("SELECT 1 FROM careers WHERE token = ?"), {token});
      if (!used) return refuse(QueryFault::Unavailable);
      return refuse(used->next() ? QueryFault::UsedToken : QueryFault::UnknownToken);
    }
    case TokenState::Used: return refuse(QueryFault::UsedToken);
    case TokenState::Expired: return refuse(QueryFault::ExpiredToken);
    case TokenState::Fresh: break;
  }

  // Of two entries with one token, in any processes, the second waits here for the first's
  // row lock and then finds the token used.
  std::optional<QSqlQuery> use =
      step(QStringLiteral("UPDATE tokens SET used_at = ? WHERE token = ? AND used_at IS NULL"),
           {now, token});
  if (!use) return refuse(QueryFault::Unavailable);
  if (use->numRowsAffected() != 1) return refuse(QueryFault::UsedToken);

  // A journal uploaded with this token: the entry must be what its replay sent.
  std::optional<QSqlQuery> proof =
      step(QStringLiteral("SELECT query, journal, story FROM proofs WHERE token = ?"), {token});
  if (!proof) return refuse(QueryFault::Unavailable);
  QVariant journal, story;
  int verified = 0;
  if (proof->next()) {
    const ReadQuery proved = readEntryQuery(proof->value(0).toString().toLatin1());
    if (!proved.entry || proved.entry->token != entry.token || proved.entry->name != entry.name ||
        proved.entry->times != entry.times)
      return refuse(QueryFault::Disagrees);
    journal = proof->value(1);
    story = proof->value(2);
    verified = 1;
    proof->finish();
    std::optional<QSqlQuery> spent =
        step(QStringLiteral("DELETE FROM proofs WHERE token = ?"), {token});
    if (!spent) return refuse(QueryFault::Unavailable);
  } else {
    proof->finish();
    journal = QVariant(QMetaType::fromType<QByteArray>());
    story = QVariant(QMetaType::fromType<QString>());
  }

  QVariantList values = {token, entry.name, now};
  for (int32_t t : entry.times) values << t;
  values << verified << journal << story;
  std::optional<QSqlQuery> insert =
      step(QStringLiteral("INSERT INTO careers (token, name, entered_at, t3, t5, t6, t7, t8, "
                          "t9, t10, t11, t12, verified, journal, story) VALUES (?, ?, ?, ?, ?, "
                          "?, ?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING id"),
           values);
  if (!insert || !insert->next()) return refuse(QueryFault::Unavailable);
  const qint64 id = insert->value(0).toLongLong();
  insert->finish();
  // Only a commit the database confirmed is answered as stored.
  if (!exec(QStringLiteral("COMMIT"))) return refuse(QueryFault::Unavailable);
  return {QueryFault::None, id};
}

QList<Career> Store::careers(const QString& sql, const QVariantList& binds) const {
  QList<Career> out;
  std::optional<QSqlQuery> q = run(sql, binds);
  if (!q) {
    fault_ = true;
    return out;
  }
  while (q->next()) out.append(careerFrom(*q));
  return out;
}

qint64 Store::count(const QString& sql, const QVariantList& binds) const {
  std::optional<QSqlQuery> q = run(sql, binds);
  if (!q || !q->next()) {
    fault_ = true;
    return 0;
  }
  return q->value(0).toLongLong();
}

std::optional<Career> Store::career(qint64 id) const {
  const QList<Career> one = careers(
      QStringLiteral("SELECT %1 FROM careers WHERE id = ?").arg(QLatin1String(kCareerColumns)),
      {id});
  if (one.isEmpty()) return std::nullopt;
  return one.front();
}

qint64 Store::careerCount() const {
  return count(QStringLiteral("SELECT COUNT(*) FROM careers"), {});
}

QList<Career> Store::newest(qint64 offset, int limit) const {
  return careers(QStringLiteral("SELECT %1 FROM careers ORDER BY id DESC LIMIT ? OFFSET ?")
                     .arg(QLatin1String(kCareerColumns)),
                 {limit, offset});
}

QList<Career> Store::fastest(int index, int limit) const {
  return careers(QStringLiteral("SELECT %1 FROM careers WHERE %2 > 0 AND verified = 1 ORDER BY %2, "
                                "entered_at, id LIMIT ?")
                     .arg(QLatin1String(kCareerColumns), column(index)),
                 {limit});
}

qint64 Store::place(int index, int32_t time) const {
  return count(
             QStringLiteral("SELECT COUNT(*) FROM careers WHERE %1 > 0 AND verified = 1 AND %1 < ?")
                 .arg(column(index)),
             {time}) +
         1;
}

qint64 Store::winners(int index) const {
  return count(QStringLiteral("SELECT COUNT(*) FROM careers WHERE %1 > 0 AND verified = 1")
                   .arg(column(index)),
               {});
}

std::optional<Store::Told> Store::told(qint64 id) const {
  std::optional<QSqlQuery> q =
      run(QStringLiteral("SELECT journal, story FROM careers WHERE id = ?"), {id});
  if (!q) {
    fault_ = true;
    return std::nullopt;
  }
  if (!q->next()) return std::nullopt;
  return Told{q->value(0).toByteArray(), q->value(1).toString().toUtf8()};
}

}  // namespace milka::site
