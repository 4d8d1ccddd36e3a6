// Where the site keeps its data and what differs between the two databases it can keep it in:
// one SQLite file for the game's own site and a small group, PostgreSQL for a site many
// processes serve together. Everything the two agree on (the queries, the migration steps)
// lives once in the store; a backend holds only the few places where they differ.
#pragma once

#include <QSqlDatabase>
#include <QString>
#include <memory>
#include <optional>

namespace milka::site {

struct DatabaseAddress {
  enum class Kind { SQLite, PostgreSQL };
  Kind kind = Kind::SQLite;
  QString path;  // SQLite
  QString user, host, name;
  int port = 5432;

  // --db's text: a postgresql:// (or postgres://) URL of the form USER@HOST[:PORT]/DBNAME, or
  // else a SQLite file's path. A URL that carries a password is refused: it would show in the
  // process list and the shell's history, so libpq is left to find it in PGPASSWORD or
  // ~/.pgpass. On failure error says why and the result is empty.
  static std::optional<DatabaseAddress> parse(const QString& text, QString* error);
  // For messages: never holds a password, as none is ever taken.
  QString shown() const;
};

// Runs sql on db; on failure error, when given, says what it was and why.
bool execute(QSqlDatabase& db, const QString& sql, QString* error);

class Backend {
 public:
  virtual ~Backend() = default;

  // Sets up db (a fresh connection of this backend's driver) and opens it, with the session
  // settings that keep every statement bounded in time. On failure error says why.
  virtual bool connect(QSqlDatabase& db, QString* error) const = 0;
  // Starts the transaction of a write: one that holds what it reads until it commits.
  virtual QString beginWrite() const = 0;
  // Inside beginWrite()'s transaction: keeps every other process out of the schema until the
  // commit, so that two sites starting together migrate once.
  virtual bool lockSchema(QSqlDatabase& db, QString* error) const = 0;
  // The schema's version (0 for an empty database), or -1 with error set.
  virtual int schemaVersion(QSqlDatabase& db, QString* error) const = 0;
  virtual QStringList setSchemaVersion(int version) const = 0;
  // A migration step's text for this database: the few types written differently are named in
  // braces ({id} for a table's own increasing key, {without_rowid} for a table keyed by text).
  virtual QString dialect(QString step) const = 0;
  // After a failed statement: whether the connection itself is gone, so a fresh one may do.
  virtual bool lostConnection(QSqlDatabase& db) const = 0;
};

// lockMs: how long a write waits for another process's lock before it gives up.
std::unique_ptr<Backend> backendFor(const DatabaseAddress& address, int lockMs);

}  // namespace milka::site
