// ミルカダービー: the command line, the window, the random source and the network, put together.
#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTranslator>
#include <cstdio>

#include "journal/fingerprint.h"
#include "journal/format.h"
#include "journal/session.h"
#include "platform/app/command_line.h"
#include "platform/app/display_check.h"
#include "platform/app/notes.h"
#include "platform/app/qt_japanese.h"
#include "platform/draw/sprites.h"
#include "platform/keep/career_files.h"
#include "platform/net/journal_upload.h"
#include "platform/net/online_port.h"
#include "platform/net/site_setup.h"
#include "platform/sound/sound.h"
#include "platform/window/window.h"
#include "play/career_play.h"
#include "play/words.h"
#include "shell/game.h"

namespace {

using namespace milka::platform;

QString careersDirectory() {
  return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
         QStringLiteral("/careers");
}

int replayJournal(const QString& file, bool mute) {
  QFile in(file);
  QByteArray bytes;
  if (in.open(QIODevice::ReadOnly)) bytes = in.readAll();
  const milka::journal::Reading r =
      milka::journal::read(std::string_view(bytes.constData(), bytes.size()));
  if (!in.isOpen() || !milka::journal::holdsCareer(r)) {
    const QString why =
        in.isOpen() ? QString::fromStdString(milka::play::unreadableText(r)) : in.errorString();
    std::fprintf(stderr, "milka-derby: %s: %s\n", qPrintable(file), qPrintable(why));
    return 2;
  }
  // Nothing of a replay goes out: its requests are answered only by what the journal holds.
  milka::journal::Session session(r.header);
  QSettings settings;
  GameWindow window(session.game(), &settings);
  Sound sound(mute, window.view().volume);
  window.setSound(&sound, mute);
  milka::play::ReplayShow show(session, r.events, window);
  window.follow(show);
  if (r.status == milka::journal::Reading::Status::Damaged)
    show.setEndNote(milka::play::replayDamagedEndText());
  window.showAsRemembered();
  show.begin();
  return QApplication::exec();
}

QStringList argumentsOf(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  return arguments;
}

}  // namespace

int main(int argc, char** argv) {
  // Read before Qt opens anything, so that --help and --version answer without a desktop.
  const StartRequest request = readCommandLine(argumentsOf(argc, argv));
  if (!request.play) {
    std::fputs(request.message.toLocal8Bit().constData(), request.exitCode == 0 ? stdout : stderr);
    if (!request.message.endsWith(QLatin1Char('\n')))
      std::fputc('\n', request.exitCode == 0 ? stdout : stderr);
    return request.exitCode;
  }
  const DisplayCheck display = checkDisplay(DisplayEnvironment::current(request.platform));
  if (!display.usable) {
    std::fputs(kNoDisplayMessage, stderr);
    return 1;
  }
  if (!display.platform.isEmpty() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", display.platform);

  // Fractional scales are passed straight through, so a dense screen shows the window crisp
  // at its own size rather than rounded up or down.
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
      Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
  QApplication app(argc, argv);
  QCoreApplication::setOrganizationName(QStringLiteral("milkaria"));
  QCoreApplication::setApplicationName(QStringLiteral("milka-derby"));
  // Wayland docks match the window to its menu entry by this name.
  QGuiApplication::setDesktopFileName(QStringLiteral("example.milkaria.MilkaDerby"));
  // Every window of the game carries the runner (_NET_WM_ICON on X11); a Wayland compositor
  // takes the installed icon of the desktop entry named above.
  QApplication::setWindowIcon(windowIcon());
  QTranslator qtJapanese;
  milka::platform::speakJapanese(qtJapanese);

  if (!request.options.replay.isEmpty())
    return replayJournal(request.options.replay, request.options.mute);

  QtOnlinePort port;
  // The game's own site, or the one named; it outlives the event loop below.
  SiteSetup site;
  site.setJournalDirectory(careersDirectory());
  if (QString error; !site.apply(request.options.site, port, &error)) {
    std::fprintf(stderr, "milka-derby: %s\n", qPrintable(error));
    return 2;
  }

  if (request.options.seed) {
    // For a bug report: the same seed and the same presses play the same career again.
    std::printf("乱数の種 (seed): %llu\n", static_cast<unsigned long long>(*request.options.seed));
    std::fflush(stdout);
  }
  // The career's journal goes to the site with its entry, for the site to replay.
  JournalUpload outside(port);
  // The career goes on where it stopped last time, or a new one begins, seeded by the site.
  CareerKeeper keeper(careersDirectory(), outside);
  keeper.askSiteForSeeds();
  outside.setJournal([&keeper] {
    return JournalUpload::Journal{QByteArray::fromStdString(keeper.journalBytes()),
                                  keeper.session().seedsFed() > 0};
  });
  const CareerKeeper::Started started = keeper.start(request.options.seed);
  if (started.continued) {
    // Where the career was picked up, for a bug report (and the test that kills the game).
    std::printf("前回の続き (continued): %lld events, fingerprint %016llx\n",
                static_cast<long long>(keeper.session().events()),
                static_cast<unsigned long long>(milka::journal::fingerprint(keeper.game())));
    std::fflush(stdout);
  }

  QSettings settings;
  GameWindow window(keeper.game(), &settings);
  Sound sound(request.options.mute, window.view().volume);
  window.setSound(&sound, request.options.mute);
  milka::play::CareerPlay play(keeper, window);
  window.follow(play);
  // Network answers arrive between the window's own events; what they change shows at once.
  port.setAfterCallback([&window] { window.sync(); });
  noteFailedOpens(port, window);
  noteEntries(outside, window);
  window.showAsRemembered(request.options.scale);
  play.begin(started);
  const int code = app.exec();
  keeper.close();
  return code;
}
