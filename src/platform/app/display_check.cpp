#include "platform/app/display_check.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QStringList>
#include <cstring>

namespace milka::platform {

const char kNoDisplayMessage[] =
    "ミルカダービーを遊ぶにはデスクトップの画面 (Wayland か X11) が必要です / "
    "Milka Derby needs a desktop session (Wayland or X11) to open its window.\n";

namespace {

// A local stream socket that accepts a connection; an abstract name starts with '@'.
bool accepts(const QByteArray& name) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (name.isEmpty() || static_cast<size_t>(name.size()) >= sizeof(address.sun_path)) return false;
  std::memcpy(address.sun_path, name.constData(), static_cast<size_t>(name.size()));
  socklen_t length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + name.size());
  if (name.startsWith('@')) {
    address.sun_path[0] = '\0';
  } else {
    length += 1;  // the terminating zero of a path
  }
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const bool connected = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0;
  ::close(fd);
  return connected;
}

bool hasPlugin(const DisplayEnvironment& environment, const QString& pattern) {
  return !QDir(environment.pluginDir).entryList({pattern}, QDir::Files).isEmpty();
}

bool waylandUsable(const DisplayEnvironment& environment) {
  const QString& name = environment.waylandDisplay;
  if (name.isEmpty() || !hasPlugin(environment, QStringLiteral("libqwayland-*.so*"))) return false;
  QString path = name;
  if (!QFileInfo(name).isAbsolute()) {
    if (environment.runtimeDir.isEmpty()) return false;
    path = environment.runtimeDir + QLatin1Char('/') + name;
  }
  return accepts(QFile::encodeName(path));
}

bool x11Usable(const DisplayEnvironment& environment) {
  const QString& display = environment.x11Display;
  const qsizetype colon = display.lastIndexOf(QLatin1Char(':'));
  if (colon < 0 || !hasPlugin(environment, QStringLiteral("libqxcb.so*"))) return false;
  const QString host = display.left(colon);
  bool ok = false;
  const int number = display.mid(colon + 1).section(QLatin1Char('.'), 0, 0).toInt(&ok);
  if (!ok || number < 0) return false;
  // A display on another host (an ssh tunnel, say) cannot be tried without a network round trip;
  // Qt has the last word there.
  if (!host.isEmpty() && host != QLatin1String("unix")) return true;
  const QByteArray socket = "/tmp/.X11-unix/X" + QByteArray::number(number);
  return accepts('@' + socket) || accepts(socket);
}

}  // namespace

DisplayEnvironment DisplayEnvironment::current(const QString& platformArgument) {
  DisplayEnvironment environment;
  environment.platform =
      platformArgument.isEmpty() ? qEnvironmentVariable("QT_QPA_PLATFORM") : platformArgument;
  environment.waylandDisplay = qEnvironmentVariable("WAYLAND_DISPLAY");
  environment.runtimeDir = qEnvironmentVariable("XDG_RUNTIME_DIR");
  environment.x11Display = qEnvironmentVariable("DISPLAY");
  environment.pluginDir =
      QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms");
  return environment;
}

DisplayCheck checkDisplay(const DisplayEnvironment& environment) {
  DisplayCheck check;
  const QStringList asked = environment.platform.split(QLatin1Char(';'), Qt::SkipEmptyParts);
  if (asked.isEmpty()) {
    const bool wayland = waylandUsable(environment);
    const bool x11 = x11Usable(environment);
    check.usable = wayland || x11;
    // With one of the two reachable, Qt is told which, so it cannot pick the other and fail.
    if (wayland != x11) check.platform = wayland ? "wayland" : "xcb";
    return check;
  }
  // The player's own choice is kept; it only has to be able to connect. Platforms that need no
  // desktop (offscreen, vnc, a framebuffer) are not ours to judge.
  for (const QString& entry : asked) {
    const QString name = entry.section(QLatin1Char(':'), 0, 0);
    if (name.startsWith(QLatin1String("wayland")))
      check.usable = check.usable || waylandUsable(environment);
    else if (name == QLatin1String("xcb"))
      check.usable = check.usable || x11Usable(environment);
    else
      check.usable = true;
  }
  return check;
}

}  // namespace milka::platform
