// ミルカダービー: the window, the clock-seeded random source and the network, put together.
#include <QApplication>
#include <QCommandLineParser>
#include <QGuiApplication>
#include <cstdio>

#include "platform/online_port.h"
#include "platform/site_setup.h"
#include "platform/window.h"
#include "shell/game.h"
#include "shell/random.h"

int main(int argc, char** argv) {
  // Fractional scales are passed straight through, so a dense screen shows the window crisp
  // at its own size rather than rounded up or down.
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
      Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
  QApplication app(argc, argv);

  milka::SteadyClock clock;
  milka::ClockRandom random(clock);
  milka::platform::QtOnlinePort port;
  milka::Game game(random, &port);

  QCommandLineParser parser;
  parser.addOptions(milka::platform::SiteSetup::options());
  parser.process(app);
  // The game's own site, or the one named; it outlives the event loop below.
  milka::platform::SiteSetup site;
  if (QString error; !site.apply(parser, port, &error)) {
    std::fprintf(stderr, "milka-derby: %s\n", qPrintable(error));
    return 2;
  }

  milka::platform::GameWindow window(game);
  // Network answers arrive between the window's own events; what they change shows at once.
  port.setAfterCallback([&window] { window.sync(); });
  milka::platform::noteFailedOpens(port, window);
  game.Form_Load();
  window.startTimers();
  window.show();
  return app.exec();
}
