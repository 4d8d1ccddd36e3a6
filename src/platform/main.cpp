// ミルカダービー: the window, the clock-seeded random source and the network, put together.
#include <QApplication>
#include <QGuiApplication>
#include <QTranslator>

#include "platform/online_port.h"
#include "platform/qt_japanese.h"
#include "platform/window.h"
#include "shell/game.h"
#include "shell/random.h"

int main(int argc, char** argv) {
  // Fractional scales are passed straight through, so a dense screen shows the window crisp
  // at its own size rather than rounded up or down.
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
      Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
  QApplication app(argc, argv);
  QTranslator qtJapanese;
  milka::platform::speakJapanese(qtJapanese);

  milka::SteadyClock clock;
  milka::ClockRandom random(clock);
  milka::platform::QtOnlinePort port;
  milka::Game game(random, &port);

  milka::platform::GameWindow window(game);
  // Network answers arrive between the window's own events; what they change shows at once.
  port.setAfterCallback([&window] { window.sync(); });
  game.Form_Load();
  window.startTimers();
  window.show();
  return app.exec();
}
