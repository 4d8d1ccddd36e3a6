// The midend's places and boxes in Qt's types, where the window paints them.
#pragma once

#include <QPointF>
#include <QRectF>

#include "play/geometry.h"

namespace milka::platform {

inline QPointF toQt(const play::Point& p) {
  return {p.x, p.y};
}

inline QRectF toQt(const play::Rect& r) {
  return {r.x, r.y, r.width, r.height};
}

}  // namespace milka::platform
