// Whether there is a desktop to open the window on. Qt ends the program with a trace when its
// platform cannot connect, so the game looks first and, with nowhere to draw, says so in one
// plain line and stops.
#pragma once

#include <QByteArray>
#include <QString>

namespace milka::platform {

// What decides where Qt will try to draw: the environment as the game was started, and Qt's
// -platform argument if one was given.
struct DisplayEnvironment {
  QString platform;        // -platform, else QT_QPA_PLATFORM
  QString waylandDisplay;  // WAYLAND_DISPLAY
  QString runtimeDir;      // XDG_RUNTIME_DIR, where a relative WAYLAND_DISPLAY lies
  QString x11Display;      // DISPLAY
  QString pluginDir;       // Qt's platform plugins

  static DisplayEnvironment current(const QString& platformArgument);
};

struct DisplayCheck {
  bool usable = false;
  // The one desktop platform that can connect when Qt would otherwise have to guess; empty to
  // leave Qt's own choice alone.
  QByteArray platform;
};

DisplayCheck checkDisplay(const DisplayEnvironment& environment);

// Said on standard error when there is no desktop; one line, in Japanese and English.
extern const char kNoDisplayMessage[];

}  // namespace milka::platform
