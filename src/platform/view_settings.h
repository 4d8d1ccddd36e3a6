// How the player last left the window: its zoom and size, full screen or not, whether the
// pictures glide, and how loud the game plays. Kept with QSettings so the next game opens the same
// way.
#pragma once

#include <QByteArray>

class QSettings;

namespace milka::platform {

// The zooms a window may open at: below 1× the captions no longer fit their boxes.
constexpr double kMinZoom = 1.0;
constexpr double kMaxZoom = 8.0;
// The volume's steps, F7 down and F8 up.
constexpr int kMinVolume = 0;
constexpr int kMaxVolume = 10;

struct ViewSettings {
  double zoom = 1.0;
  QByteArray geometry;  // QWidget::saveGeometry of the window out of full screen
  bool fullScreen = false;
  bool gliding = true;
  bool muted = false;
  int volume = 7;  // kMinVolume .. kMaxVolume

  static ViewSettings load(const QSettings& settings);
  void save(QSettings& settings) const;
};

}  // namespace milka::platform
