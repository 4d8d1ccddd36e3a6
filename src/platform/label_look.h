// How a label looks, in one place: its fill and its one line of caption. The canvas draws a
// label either straight onto the window, only the glyphs that land where it repaints, or, once
// an opaque label's look has held still, from a picture of it kept per screen scale; an
// unchanged caption is never laid out again.
#pragma once

#include <QFont>
#include <QPainter>
#include <QPixmap>
#include <QRect>
#include <QRectF>
#include <memory>

#include "platform/caption_layout.h"
#include "shell/form.h"

namespace milka::platform {

class LabelLook {
 public:
  // Take a new model; forgets the kept picture and the prepared caption when what they show
  // changed. A move by whole pixels keeps both.
  void adopt(const Label& model, const QRectF& rect, const QFont& font, CaptionLayouts& layouts);

  // Draw the label where it meets region, which the painter already clips to.
  void paint(QPainter& painter, const QRegion& region);

  const Label& model() const { return model_; }
  const QRectF& rect() const { return rect_; }
  // The whole pixels the label touches.
  const QRect& area() const { return area_; }
  bool keptPicture() const { return !kept_.isNull(); }

 private:
  // The label as it always looked: fill, then the caption from the top edge, cut at the border.
  void draw(QPainter& painter, const QRegion& region);
  void keep(qreal scale);

  Label model_;
  QRectF rect_;
  QRect area_;
  const QFont* font_ = nullptr;
  std::shared_ptr<const CaptionLayout> caption_;
  // Drawn once with this look already; a second time makes a picture worth keeping.
  bool drawnOnce_ = false;
  QPixmap kept_;
  QRectF keptRect_;  // rect_ relative to area_ when kept_ was made
};

}  // namespace milka::platform
