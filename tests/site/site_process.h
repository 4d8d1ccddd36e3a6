// milka-site itself, as a host runs it: a process of its own on 127.0.0.1, started with --db and
// whatever options the test adds, and ended with the test (or killed outright before).
#pragma once

#include <QProcess>
#include <QStringList>
#include <QTest>
#include <csignal>
#include <string>

namespace milka::site::testing {

struct SiteProcess {
  QProcess process;
  std::string base;  // http://127.0.0.1:PORT, or empty if it never said it serves
  quint16 port = 0;

  explicit SiteProcess(const QString& database, quint16 listenPort = 0,
                       const QStringList& extra = {}) {
    process.setProgram(QStringLiteral(MILKA_SITE_BINARY));
    process.setArguments(QStringList{QStringLiteral("--listen"),
                                     QStringLiteral("127.0.0.1:%1").arg(listenPort),
                                     QStringLiteral("--db"), database} +
                         extra);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start();
    QByteArray out;
    // base stays empty if it never says where it serves; the tests check that first.
    (void)QTest::qWaitFor(
        [&] {
          out += process.readAllStandardOutput();
          return out.contains('\n') || process.state() == QProcess::NotRunning;
        },
        15000);
    const qsizetype at = out.indexOf("http://");
    if (at < 0) return;
    base = out.mid(at, out.indexOf("/karuden/", at) - at).toStdString();
    port =
        static_cast<quint16>(QString::fromStdString(base).section(QLatin1Char(':'), -1).toUInt());
  }
  ~SiteProcess() {
    process.kill();
    process.waitForFinished(5000);
  }
  SiteProcess(const SiteProcess&) = delete;
  SiteProcess& operator=(const SiteProcess&) = delete;

  // SIGKILL: no handler runs, nothing is flushed or closed by the process itself.
  void killOutright() {
    ::kill(static_cast<pid_t>(process.processId()), SIGKILL);
    process.waitForFinished(5000);
  }
};

}  // namespace milka::site::testing
