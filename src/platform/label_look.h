// How a label looks, in one place: its fill and its caption as fitted to its box (lines or table
// cells, see caption_fit.h). The canvas draws a label either straight onto the window, only the
// glyphs that land where it repaints, or, once an opaque label's look has held still, from a
// picture of it kept per screen scale; an unchanged caption is never laid out again.
#pragma once

#include <QFont>
#include <QPainter>
#include <QPixmap>
#include <QRect>
#include <QRectF>
#include <memory>
#include <vector>

#include "platform/caption_fit.h"
#include "platform/caption_layout.h"
#include "shell/form.h"

namespace milka::platform {

class LabelLook {
 public:
  // Take a new model and its fitted caption, drawn in font (the fitted size, lasting as long as
  // the canvas); forgets the kept picture and the prepared glyphs when what they show changed.
  // A move by whole pixels keeps both.
  void adopt(const Label& model, const QRectF& rect, const CaptionFit& fit, const QFont& font,
             CaptionLayouts& layouts);

  // Draw the label where it meets region, which the painter already clips to. The region is in
  // the painter's coordinates, the label's own (logical pixels of the form); a painter scaled
  // further than the screen does must be given the region mapped back into them.
  void paint(QPainter& painter, const QRegion& region);

  const Label& model() const { return model_; }
  const CaptionFit& fit() const { return fit_; }
  const QRectF& rect() const { return rect_; }
  // The whole pixels the label touches.
  const QRect& area() const { return area_; }
  bool keptPicture() const { return !kept_.isNull(); }

 private:
  // The fill, then the caption's runs where its fit puts them, cut at the border.
  void draw(QPainter& painter, const QRegion& region);
  void keep(qreal scale);

  Label model_;
  QRectF rect_;
  QRect area_;
  CaptionFit fit_;
  const QFont* font_ = nullptr;
  // One laid-out line of glyphs per run of the fit; none for an empty run.
  std::vector<std::shared_ptr<const CaptionLayout>> runs_;
  // Drawn once with this look already; a second time makes a picture worth keeping.
  bool drawnOnce_ = false;
  QPixmap kept_;
  QRectF keptRect_;  // rect_ relative to area_ when kept_ was made
};

}  // namespace milka::platform
