// How a label looks, in one place: its fill and its caption as fitted to its box (lines or table
// cells, see play/caption_fit.h). The canvas draws a label either straight onto the window, only
// the glyphs that land where it repaints, or, once it has been painted a second time looking the
// same, from a picture of it kept per screen scale; an unchanged caption is never laid out again.
// An opaque label can always be kept so; a see-through one only where nothing but one colour lies
// under it (its ground), which the picture then holds. A label that moves or changes colour and
// comes back to a look it has shown (the title's caption bobbing through its colours, a rail
// scrolling by) finds its picture still kept. A picture holds only the part of a label that can
// come into sight: a rail sixteen thousand pixels long keeps a window's width and a margin.
#pragma once

#include <QFont>
#include <QPainter>
#include <QPixmap>
#include <QRect>
#include <QRectF>
#include <memory>
#include <optional>
#include <vector>

#include "platform/draw/glyph_cache.h"
#include "play/caption_fit.h"
#include "shell/form.h"

namespace milka::platform {

class LabelLook {
 public:
  // Take a new model and its fitted caption, drawn in font (the fitted size, lasting as long as
  // the canvas); forgets the kept picture and the prepared glyphs when what they show changed.
  // A move by whole pixels keeps both.
  void adopt(const Label& model, const QRectF& rect, const play::CaptionFit& fit, const QFont& font,
             CaptionLayouts& layouts);

  // Draw the label where it meets region, which the painter already clips to. The region is in
  // the painter's coordinates, the label's own (logical pixels of the form); a painter scaled
  // further than the screen does must be given the region mapped back into them. ground: the one
  // colour under a see-through label, if nothing else is; visible: the part of the form shown.
  void paint(QPainter& painter, const QRegion& region, std::optional<uint32_t> ground = {},
             const QRect& visible = {});

  const Label& model() const { return model_; }
  const play::CaptionFit& fit() const { return fit_; }
  const QRectF& rect() const { return rect_; }
  // The whole pixels the label touches.
  const QRect& area() const { return area_; }
  bool keptPicture() const;

 private:
  // The fill, then the caption's runs where its fit puts them, cut at the border.
  void draw(QPainter& painter, const QRegion& region);
  QPixmap keep(qreal scale, const QRect& span, std::optional<uint32_t> ground);

  Label model_;
  QRectF rect_;
  QRect area_;
  play::CaptionFit fit_;
  const QFont* font_ = nullptr;
  // One laid-out line of glyphs per run of the fit; none for an empty run.
  std::vector<std::shared_ptr<const CaptionLayout>> runs_;
  // The looks this caption has been painted with: its colours, where in its first whole pixel
  // it stood (a picture holds that fraction, a place with another one rasterises differently)
  // and the screen's scale. Seen once, a look has no picture yet; seen again, it gets one.
  struct Kept {
    uint32_t foreColour = 0, backColour = 0;  // a see-through label's ground for its back
    QRectF within;                            // rect_ relative to area_
    qreal scale = 0;
    QPixmap picture;
    QRect span;  // the part of area_ the picture holds, relative to area_
  };
  // How far beyond what is shown a picture reaches, for a label that moves.
  static constexpr int kSpanMargin = 128;
  static constexpr size_t kKeptLooks = 24;
  std::vector<Kept> kept_;
  // The words the kept pictures show.
  struct Words {
    Label model;
    play::CaptionFit fit;
    QRectF rect;
    const QFont* font = nullptr;
  };
  Words keptWords_;
};

}  // namespace milka::platform
