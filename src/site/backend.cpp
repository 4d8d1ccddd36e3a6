#include "site/backend.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QVariant>

namespace milka::site {

bool execute(QSqlDatabase& db, const QString& sql, QString* error) {
  QSqlQuery q(db);
  if (q.exec(sql)) return true;
  if (error != nullptr) *error = sql + QStringLiteral(": ") + q.lastError().text();
  return false;
}

namespace {

// Long enough for a loaded server, short enough that a player's browser still shows the 503
// page rather than giving up itself.
constexpr int kConnectSeconds = 5;
constexpr int kStatementMs = 5000;

class SqliteBackend final : public Backend {
 public:
  SqliteBackend(QString path, int lockMs) : path_(std::move(path)), lockMs_(lockMs) {}

  bool connect(QSqlDatabase& db, QString* error) const override {
    db.setDatabaseName(path_);
    // Another process (a second milka-site on the same file) may hold the write lock briefly.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(lockMs_));
    if (!db.open()) {
      *error = db.lastError().text();
      return false;
    }
    QSqlQuery wal(db);
    if (!wal.exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !wal.next() ||
        wal.value(0).toString().compare(QStringLiteral("wal"), Qt::CaseInsensitive) != 0) {
      *error = QStringLiteral("%1 cannot be put in WAL mode").arg(path_);
      return false;
    }
    wal.finish();
    execute(db, QStringLiteral("PRAGMA synchronous=NORMAL"), nullptr);
    execute(db, QStringLiteral("PRAGMA foreign_keys=ON"), nullptr);
    return true;
  }
  // IMMEDIATE takes the write lock at the start, so two writers never both read and then both
  // try to write.
  QString beginWrite() const override { return QStringLiteral("BEGIN IMMEDIATE"); }
  bool lockSchema(QSqlDatabase&, QString*) const override { return true; }
  int schemaVersion(QSqlDatabase& db, QString* error) const override {
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next()) {
      *error = q.lastError().text();
      return -1;
    }
    return q.value(0).toInt();
  }
  QStringList setSchemaVersion(int version) const override {
    return {QStringLiteral("PRAGMA user_version = %1").arg(version)};
  }
  QString dialect(QString step) const override {
    return step.replace(QStringLiteral("{id}"), QStringLiteral("INTEGER PRIMARY KEY"))
        .replace(QStringLiteral("{without_rowid}"), QStringLiteral(" WITHOUT ROWID"))
        .replace(QStringLiteral("{blob}"), QStringLiteral("BLOB"));
  }
  // A file does not go away the way a server does; a locked one is waited for instead.
  bool lostConnection(QSqlDatabase&) const override { return false; }

 private:
  QString path_;
  int lockMs_;
};

class PostgresBackend final : public Backend {
 public:
  PostgresBackend(DatabaseAddress address, int lockMs) : a_(std::move(address)), lockMs_(lockMs) {}

  bool connect(QSqlDatabase& db, QString* error) const override {
    db.setHostName(a_.host);
    db.setPort(a_.port);
    db.setUserName(a_.user);
    db.setDatabaseName(a_.name);
    // No password is set: libpq reads PGPASSWORD or ~/.pgpass itself. The TCP limits end a
    // request to a server that stopped answering without closing the connection.
    db.setConnectOptions(QStringLiteral("connect_timeout=%1;keepalives_idle=5;keepalives_"
                                        "interval=2;keepalives_count=2;tcp_user_timeout=%2;"
                                        "application_name=milka-site")
                             .arg(kConnectSeconds)
                             .arg(kStatementMs + 1000));
    if (!db.open()) {
      *error = QStringLiteral("%1: %2").arg(a_.shown(), db.lastError().text().trimmed());
      return false;
    }
    for (const QString& set :
         {QStringLiteral("SET statement_timeout = %1").arg(kStatementMs),
          QStringLiteral("SET lock_timeout = %1").arg(lockMs_),
          QStringLiteral("SET idle_in_transaction_session_timeout = %1").arg(kStatementMs * 2),
          QStringLiteral("SET client_min_messages = warning")}) {
      if (!execute(db, set, error)) return false;
    }
    return true;
  }
  // Read committed is enough: the token's row lock orders two entries with one token, and the
  // second then finds it used.
  QString beginWrite() const override { return QStringLiteral("BEGIN"); }
  bool lockSchema(QSqlDatabase& db, QString* error) const override {
    // Any number fixed for this site's schema; held until the migration's transaction ends.
    return execute(db, QStringLiteral("SELECT pg_advisory_xact_lock(7263510)"), error);
  }
  int schemaVersion(QSqlDatabase& db, QString* error) const override {
    if (!execute(
            db, QStringLiteral("CREATE TABLE IF NOT EXISTS site_schema (version INTEGER NOT NULL)"),
            error))
      return -1;
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT COALESCE(MAX(version), 0) FROM site_schema")) || !q.next()) {
      *error = q.lastError().text();
      return -1;
    }
    return q.value(0).toInt();
  }
  QStringList setSchemaVersion(int version) const override {
    return {QStringLiteral("DELETE FROM site_schema"),
            QStringLiteral("INSERT INTO site_schema (version) VALUES (%1)").arg(version)};
  }
  QString dialect(QString step) const override {
    return step
        .replace(QStringLiteral("{id}"),
                 QStringLiteral("BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY"))
        .replace(QStringLiteral("{without_rowid}"), QString())
        .replace(QStringLiteral("{blob}"), QStringLiteral("BYTEA"));
  }
  bool lostConnection(QSqlDatabase& db) const override {
    QSqlQuery probe(db);
    return !probe.exec(QStringLiteral("SELECT 1"));
  }

 private:
  DatabaseAddress a_;
  int lockMs_;
};

}  // namespace

std::optional<DatabaseAddress> DatabaseAddress::parse(const QString& text, QString* error) {
  DatabaseAddress a;
  if (!text.startsWith(QStringLiteral("postgresql://")) &&
      !text.startsWith(QStringLiteral("postgres://"))) {
    if (text.isEmpty()) {
      *error = QStringLiteral("no database named");
      return std::nullopt;
    }
    a.path = text;
    return a;
  }
  const QUrl url(text, QUrl::StrictMode);
  const QString form = QStringLiteral("postgresql://USER@HOST[:PORT]/DBNAME");
  const QString authority = text.section(QStringLiteral("://"), 1).section(QLatin1Char('/'), 0, 0);
  const qsizetype at = authority.lastIndexOf(QLatin1Char('@'));
  if (!url.password().isEmpty() || (at >= 0 && authority.left(at).contains(QLatin1Char(':')))) {
    *error = QStringLiteral(
                 "the database URL holds a password; leave it out (%1) and put it in PGPASSWORD or "
                 "~/.pgpass")
                 .arg(form);
    return std::nullopt;
  }
  a.kind = Kind::PostgreSQL;
  a.user = url.userName();
  a.host = url.host();
  a.port = url.port(5432);
  a.name = url.path().mid(1);
  if (!url.isValid() || a.user.isEmpty() || a.host.isEmpty() || a.name.isEmpty() ||
      a.name.contains(QLatin1Char('/')) || url.hasQuery() || url.hasFragment()) {
    *error = QStringLiteral("%1 is not a database URL of the form %2").arg(text, form);
    return std::nullopt;
  }
  return a;
}

QString DatabaseAddress::shown() const {
  if (kind == Kind::SQLite) return path;
  return QStringLiteral("postgresql://%1@%2:%3/%4").arg(user, host).arg(port).arg(name);
}

std::unique_ptr<Backend> backendFor(const DatabaseAddress& address, int lockMs) {
  if (address.kind == DatabaseAddress::Kind::PostgreSQL)
    return std::make_unique<PostgresBackend>(address, lockMs);
  return std::make_unique<SqliteBackend>(address.path, lockMs);
}

}  // namespace milka::site
