// How the player last left the window: its zoom and size, full screen or not, whether the
// pictures glide, and how loud the game plays. Kept with QSettings so the next game opens the same
// way.
#pragma once

#include <QByteArray>

#include "play/keys.h"

class QSettings;

namespace milka::platform {

using play::kMaxVolume;
using play::kMaxZoom;
using play::kMinVolume;
using play::kMinZoom;

struct ViewSettings : play::ViewPrefs {
  QByteArray geometry;  // QWidget::saveGeometry of the window out of full screen

  static ViewSettings load(const QSettings& settings);
  void save(QSettings& settings) const;
};

}  // namespace milka::platform
