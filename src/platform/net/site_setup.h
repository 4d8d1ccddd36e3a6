// Which maker's site the game talks to. Out of the box it runs the site itself, on 127.0.0.1 at
// a free port with its database in the user's data directory, so the site button and the
// closing A work on one machine with nothing set up. --site URL, or MILKA_SITE, names a site
// hosted elsewhere instead, and then none is started.
#pragma once

#include <QList>
#include <QString>
#include <memory>

class QObject;
class QThread;

namespace milka::site {
class Site;
}

namespace milka::platform {

class QtOnlinePort;

class SiteSetup {
 public:
  SiteSetup();
  ~SiteSetup();
  SiteSetup(const SiteSetup&) = delete;
  SiteSetup& operator=(const SiteSetup&) = delete;

  // Where the player's careers are kept, for the game's own site to list them all as their stud
  // book; set before apply.
  void setJournalDirectory(const QString& dir) { journalDir_ = dir; }
  // The browser game's tree its own site serves at /play/; set before apply. Unset, the one
  // MILKA_SITE_PLAY names, else the build's.
  void setPlayDirectory(const QString& dir) { playDir_ = dir; }

  // Points port at the site --site (siteOption, empty when none was given) or the environment
  // names, or starts the game's own. False (with error) only for a named address that is not a
  // web address; a site of its own that cannot start is reported on stderr and the game goes on
  // without one.
  bool apply(const QString& siteOption, QtOnlinePort& port, QString* error);

  // The game's own site, when it runs one: its address (empty otherwise).
  QString ownSiteBase() const { return ownBase_; }

  // Where the game keeps its own site's database.
  static QString defaultDatabasePath();
  // A usable site address from text (http or https, a host, no query), without a trailing
  // slash; empty if there is none.
  static QString siteBaseFrom(const QString& text);

 private:
  bool startOwnSite(const QString& databasePath, QString* error);

  std::unique_ptr<QThread> thread_;
  QObject* context_ = nullptr;  // lives in thread_
  site::Site* site_ = nullptr;  // lives in thread_
  QString ownBase_;
  QString journalDir_;
  QString playDir_;
};

}  // namespace milka::platform
