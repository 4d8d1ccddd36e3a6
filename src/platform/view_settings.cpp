#include "platform/view_settings.h"

#include <QSettings>

namespace milka::platform {

namespace {

const QString kZoom = QStringLiteral("window/zoom");
const QString kGeometry = QStringLiteral("window/geometry");
const QString kFullScreen = QStringLiteral("window/fullScreen");
const QString kGliding = QStringLiteral("view/gliding");

}  // namespace

ViewSettings ViewSettings::load(const QSettings& settings) {
  ViewSettings view;
  bool ok = false;
  const double zoom = settings.value(kZoom).toDouble(&ok);
  // A hand-edited or damaged file must not open a window of no size or of a thousand screens.
  if (ok && zoom >= kMinZoom && zoom <= kMaxZoom) view.zoom = zoom;
  view.geometry = settings.value(kGeometry).toByteArray();
  view.fullScreen = settings.value(kFullScreen, false).toBool();
  view.gliding = settings.value(kGliding, true).toBool();
  return view;
}

void ViewSettings::save(QSettings& settings) const {
  settings.setValue(kZoom, zoom);
  settings.setValue(kGeometry, geometry);
  settings.setValue(kFullScreen, fullScreen);
  settings.setValue(kGliding, gliding);
}

}  // namespace milka::platform
