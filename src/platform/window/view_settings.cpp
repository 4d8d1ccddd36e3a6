#include "platform/window/view_settings.h"

#include <QSettings>

namespace milka::platform {

namespace {

const QString kZoom = QStringLiteral("window/zoom");
const QString kGeometry = QStringLiteral("window/geometry");
const QString kFullScreen = QStringLiteral("window/fullScreen");
const QString kGliding = QStringLiteral("view/gliding");
const QString kMuted = QStringLiteral("sound/muted");
const QString kVolume = QStringLiteral("sound/volume");

}  // namespace

ViewSettings ViewSettings::load(const QSettings& settings) {
  ViewSettings view;
  bool ok = false;
  const double zoom = settings.value(kZoom).toDouble(&ok);
  if (ok && play::zoomAllowed(zoom)) view.zoom = zoom;
  view.geometry = settings.value(kGeometry).toByteArray();
  view.fullScreen = settings.value(kFullScreen, false).toBool();
  view.gliding = settings.value(kGliding, true).toBool();
  view.muted = settings.value(kMuted, false).toBool();
  const int volume = settings.value(kVolume).toInt(&ok);
  if (ok && play::volumeAllowed(volume)) view.volume = volume;
  return view;
}

void ViewSettings::save(QSettings& settings) const {
  settings.setValue(kZoom, zoom);
  settings.setValue(kGeometry, geometry);
  settings.setValue(kFullScreen, fullScreen);
  settings.setValue(kGliding, gliding);
  settings.setValue(kMuted, muted);
  settings.setValue(kVolume, volume);
}

}  // namespace milka::platform
