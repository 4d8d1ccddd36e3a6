// ミルカダービー: the command line, the window, the random source and the network, put together.
#include <QApplication>
#include <QGuiApplication>
#include <QSettings>
#include <QTranslator>
#include <cstdio>

#include "platform/command_line.h"
#include "platform/display_check.h"
#include "platform/online_port.h"
#include "platform/qt_japanese.h"
#include "platform/site_setup.h"
#include "platform/sound.h"
#include "platform/window.h"
#include "shell/game.h"

namespace {

QStringList argumentsOf(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  return arguments;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace milka::platform;
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
  QTranslator qtJapanese;
  milka::platform::speakJapanese(qtJapanese);

  StartingRandom random(request.options);
  if (request.options.seed) {
    // For a bug report: the same seed and the same presses play the same career again.
    std::printf("乱数の種 (seed): %llu\n", static_cast<unsigned long long>(*request.options.seed));
    std::fflush(stdout);
  }
  QtOnlinePort port;
  milka::Game game(random.source(), &port);

  // The game's own site, or the one named; it outlives the event loop below.
  SiteSetup site;
  if (QString error; !site.apply(request.options.site, port, &error)) {
    std::fprintf(stderr, "milka-derby: %s\n", qPrintable(error));
    return 2;
  }

  QSettings settings;
  GameWindow window(game, &settings);
  Sound sound(request.options.mute, window.view().volume);
  window.setSound(&sound, request.options.mute);
  // Network answers arrive between the window's own events; what they change shows at once.
  port.setAfterCallback([&window] { window.sync(); });
  noteFailedOpens(port, window);
  game.Form_Load();
  window.startTimers();
  window.showAsRemembered(request.options.scale);
  return app.exec();
}
