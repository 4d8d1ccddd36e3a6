#include "site/schema.h"

namespace milka::site {

const QList<Migration>& migrations() {
  static const QList<Migration> all = [] {
    // Version 1: the tokens pdf.php hands out, and the careers entered with them. Times are
    // seconds since the epoch; the nine top-race times are columns of their own so that each
    // hall-of-fame board is one index scan.
    Migration first{
        1,
        {QStringLiteral("CREATE TABLE tokens (token TEXT PRIMARY KEY, issued_at "
                        "BIGINT NOT NULL, used_at BIGINT){without_rowid}"),
         QStringLiteral("CREATE INDEX tokens_by_issue ON tokens(issued_at)"),
         QStringLiteral("CREATE TABLE careers (id {id}, token TEXT NOT NULL UNIQUE, name TEXT NOT "
                        "NULL, entered_at BIGINT NOT NULL, t3 INTEGER NOT NULL, t5 INTEGER NOT "
                        "NULL, t6 INTEGER NOT NULL, t7 INTEGER NOT NULL, t8 INTEGER NOT NULL, t9 "
                        "INTEGER NOT NULL, t10 INTEGER NOT NULL, t11 INTEGER NOT NULL, t12 "
                        "INTEGER NOT NULL)")}};
    for (const char* c : {"t3", "t5", "t6", "t7", "t8", "t9", "t10", "t11", "t12"})
      first.steps << QStringLiteral(
                         "CREATE INDEX careers_by_%1 ON careers(%1, entered_at, id) WHERE %1 > 0")
                         .arg(QLatin1String(c));
    // Version 2: careers proved by replaying their journals. The site issues single-use seeds;
    // an uploaded journal's proof waits under its token for the entry; a career keeps its
    // journal and its story, and only verified careers are ranked.
    Migration second{
        2,
        {QStringLiteral("CREATE TABLE seeds (seed TEXT PRIMARY KEY, issued_at BIGINT NOT NULL, "
                        "used_at BIGINT){without_rowid}"),
         QStringLiteral("CREATE INDEX seeds_by_issue ON seeds(issued_at)"),
         QStringLiteral("CREATE TABLE proofs (token TEXT PRIMARY KEY, query TEXT NOT NULL, "
                        "journal {blob} NOT NULL, story TEXT NOT NULL, made_at BIGINT NOT "
                        "NULL){without_rowid}"),
         QStringLiteral("ALTER TABLE careers ADD COLUMN verified INTEGER NOT NULL DEFAULT 0"),
         QStringLiteral("ALTER TABLE careers ADD COLUMN journal {blob}"),
         QStringLiteral("ALTER TABLE careers ADD COLUMN story TEXT")}};
    for (const char* c : {"t3", "t5", "t6", "t7", "t8", "t9", "t10", "t11", "t12"})
      second.steps << QStringLiteral(
                          "CREATE INDEX fame_by_%1 ON careers(%1, entered_at, id) WHERE %1 > 0 "
                          "AND verified = 1")
                          .arg(QLatin1String(c));
    return QList<Migration>{first, second};
  }();
  return all;
}

}  // namespace milka::site
