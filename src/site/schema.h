// The site's schema as a list of versioned steps, written once for both databases. A database
// at version n is brought up to date by the steps of every later version, in one transaction;
// one of a newer version than this site knows is refused untouched.
#pragma once

#include <QList>
#include <QStringList>

namespace milka::site {

struct Migration {
  int version;        // what the database is at once these steps are done
  QStringList steps;  // in the backend's dialect braces ({id}, {without_rowid}, {blob})
};

// In order of version, from 1 up to kSchemaVersion.
const QList<Migration>& migrations();
inline constexpr int kSchemaVersion = 2;

}  // namespace milka::site
