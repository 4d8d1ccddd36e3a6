// How a label looks, in one place: its fill and its caption as laid out for its box (lines or
// table cells, see caption_fit.h). The canvas draws a label either straight onto the window
// or, once its look has held still, from a picture of it kept per screen scale, so an unchanged
// caption is never laid out or rasterised again.
#pragma once

#include <QFont>
#include <QPainter>
#include <QPixmap>
#include <QRect>
#include <QRectF>
#include <QStaticText>
#include <vector>

#include "platform/caption_fit.h"
#include "shell/form.h"

namespace milka::platform {

class LabelLook {
 public:
  // Take a new model; forgets the kept picture and the prepared caption when what they show
  // changed. A move by whole pixels keeps both.
  void adopt(const Label& model, const QRectF& rect, const CaptionFit& layout);

  // Draw the label where it meets region, which the painter already clips to.
  void paint(QPainter& painter, const QRegion& region);

  const Label& model() const { return model_; }
  const CaptionFit& layout() const { return layout_; }
  const QRectF& rect() const { return rect_; }
  // The whole pixels the label touches.
  const QRect& area() const { return area_; }
  bool keptPicture() const { return !kept_.isNull(); }

 private:
  // The fill, then the caption's runs where its layout puts them, cut at the border.
  void draw(QPainter& painter, const QRectF& rect);
  void keep(qreal scale);

  Label model_;
  QRectF rect_;
  QRect area_;
  bool adopted_ = false;
  CaptionFit layout_;
  std::vector<QStaticText> runs_;
  bool textStale_ = true;
  // Drawn once with this look already; a second time makes a picture worth keeping.
  bool drawnOnce_ = false;
  QPixmap kept_;
  QRectF keptRect_;  // rect_ relative to area_ when kept_ was made
};

}  // namespace milka::platform
