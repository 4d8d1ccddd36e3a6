// milka-site: the maker's site on its own, for a group of players. Plain HTTP; put it behind a
// reverse proxy for TLS and a public name, and in front of several of these on one PostgreSQL
// database when one process is not enough.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHostAddress>
#include <QStandardPaths>
#include <cstdio>

#include "site/site.h"

namespace {

using QOption = QCommandLineOption;

bool splitListen(const QString& text, QHostAddress* address, quint16* port) {
  const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
  if (colon <= 0) return false;
  QString host = text.left(colon);
  if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
    host = host.mid(1, host.size() - 2);
  bool ok = false;
  const uint number = text.mid(colon + 1).toUInt(&ok);
  if (!ok || number > 65535 || !address->setAddress(host)) return false;
  *port = static_cast<quint16>(number);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("milka-site"));

  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("The Milka Derby site: race calendar, score entry and hall of fame."));
  parser.addHelpOption();
  const QCommandLineOption listen(
      QStringLiteral("listen"),
      QStringLiteral("Address and port to serve on (default "
                     "127.0.0.1:8080; 0.0.0.0:8080 for every address)."),
      QStringLiteral("ADDRESS:PORT"), QStringLiteral("127.0.0.1:8080"));
  const QCommandLineOption db(
      QStringLiteral("db"),
      QStringLiteral(
          "The SQLite file (created if missing), or postgresql://USER@HOST[:PORT]/DBNAME "
          "with the password in PGPASSWORD or ~/.pgpass, never in the URL."),
      QStringLiteral("PATH|URL"));
  const QOption perAddress(
      QStringLiteral("connections-per-address"),
      QStringLiteral("Open connections one client (an IPv4 address, or an IPv6 /64) may hold "
                     "(default 32)."),
      QStringLiteral("N"), QStringLiteral("32"));
  const QOption mint(QStringLiteral("mint-per-minute"),
                     QStringLiteral("Tokens and seeds one client (an IPv4 address, or an IPv6 "
                                    "/64) may take in a minute (default 30); more are answered "
                                    "429."),
                     QStringLiteral("N"), QStringLiteral("30"));
  const QOption proxy(
      QStringLiteral("trust-proxy"),
      QStringLiteral("A reverse proxy in front of the site (may be given more than once): its "
                     "connections count for no one client, and the client address it puts last "
                     "in X-Forwarded-For is believed. From anyone else that header is ignored."),
      QStringLiteral("ADDRESS"));
  const QOption play(
      QStringLiteral("play"),
      QStringLiteral("The browser game's tree (what scripts/web-build.sh leaves in OUT/play), "
                     "served at /play/ and read into memory at start. Without it, the tree of the "
                     "build's MILKA_WEB_BUILD if there is one; else /play/ says the game is not "
                     "on this site."),
      QStringLiteral("DIR"));
  parser.addOption(listen);
  parser.addOption(db);
  parser.addOption(perAddress);
  parser.addOption(mint);
  parser.addOption(proxy);
  parser.addOption(play);
  parser.process(app);

  QHostAddress address;
  quint16 port = 0;
  if (!splitListen(parser.value(listen), &address, &port)) {
    std::fprintf(stderr, "milka-site: --listen wants ADDRESS:PORT, e.g. 127.0.0.1:8080\n");
    return 2;
  }
  QString path = parser.value(db);
  if (path.isEmpty()) {
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(dir);
    path = dir + QStringLiteral("/site.sqlite");
  }

  milka::site::SiteOptions options;
  options.databasePath = path;
  bool ok = false;
  options.limits.connectionsPerAddress = parser.value(perAddress).toInt(&ok);
  if (!ok || options.limits.connectionsPerAddress < 1) {
    std::fprintf(stderr, "milka-site: --connections-per-address wants a whole number above 0\n");
    return 2;
  }
  options.mintPerMinute = parser.value(mint).toInt(&ok);
  if (!ok || options.mintPerMinute < 1) {
    std::fprintf(stderr, "milka-site: --mint-per-minute wants a whole number above 0\n");
    return 2;
  }
  for (const QString& a : parser.values(proxy)) {
    const QHostAddress trusted(a);
    if (trusted.isNull()) {
      std::fprintf(stderr, "milka-site: --trust-proxy wants an address, e.g. 127.0.0.1\n");
      return 2;
    }
    options.limits.trustedProxies << trusted;
  }
  options.playDirectory =
      parser.isSet(play) ? parser.value(play) : milka::site::builtPlayDirectory();
  milka::site::Site site(options);
  QString error;
  if (!site.start(address, port, &error)) {
    std::fprintf(stderr, "milka-site: %s\n", qPrintable(error));
    return 1;
  }
  const bool sqlite = site.store().kind() == milka::site::DatabaseAddress::Kind::SQLite;
  std::printf("milka-site: serving %s/karuden/ from %s\n", qPrintable(site.baseUrl()),
              qPrintable(sqlite ? QFileInfo(path).absoluteFilePath() : path));
  if (site.playable())
    std::printf("milka-site: the browser game at %s/play/ from %s\n", qPrintable(site.baseUrl()),
                qPrintable(QFileInfo(options.playDirectory).absoluteFilePath()));
  std::fflush(stdout);
  return app.exec();
}
