#include "platform/draw/label_look.h"

#include <QRegion>
#include <algorithm>
#include <cmath>

#include "platform/draw/qt_geometry.h"

namespace milka::platform {

using play::CaptionFit;
using play::TextRun;

namespace {

QColor colour(uint32_t rgb) {
  return QColor(static_cast<QRgb>(rgb));
}

// Everything but the place and the colours: two labels equal here and in colour look the same
// wherever they stand.
bool sameShape(const Label& a, const Label& b) {
  return a.caption == b.caption && a.transparent == b.transparent && a.bold == b.bold &&
         a.fontSize == b.fontSize && a.alignment == b.alignment && a.face == b.face &&
         a.width == b.width && a.height == b.height;
}

// The same words in the same font, wherever they stand.
bool sameText(const CaptionFit& a, const CaptionFit& b) {
  if (a.font != b.font || a.runs.size() != b.runs.size()) return false;
  for (size_t i = 0; i < a.runs.size(); ++i)
    if (a.runs[i].text != b.runs[i].text) return false;
  return true;
}

// The runs stand in the same places relative to their labels.
bool samePlaces(const CaptionFit& a, const QRectF& inA, const CaptionFit& b, const QRectF& inB) {
  for (size_t i = 0; i < a.runs.size() && i < b.runs.size(); ++i)
    if (toQt(a.runs[i].origin) - inA.topLeft() != toQt(b.runs[i].origin) - inB.topLeft())
      return false;
  return true;
}

}  // namespace

void LabelLook::adopt(const Label& model, const QRectF& rect, const CaptionFit& fit,
                      const QFont& font, CaptionLayouts& layouts) {
  const bool sameWords = font_ != nullptr && &font == font_ && sameText(fit, fit_);
  if (!sameWords) {
    runs_.clear();
    for (const TextRun& run : fit.runs)
      runs_.push_back(run.text.empty() ? nullptr : layouts.get(run.text, font));
  }
  // The pictures belong to the last words the label showed: a caption that goes blank and comes
  // back the same (a blinking prompt) finds them still kept.
  if (!model.caption.empty()) {
    const Words& was = keptWords_;
    if (&font != was.font || !sameShape(model, was.model) || !sameText(fit, was.fit) ||
        !samePlaces(fit, rect, was.fit, was.rect))
      kept_.clear();
    keptWords_ = {model, fit, rect, &font};
  }
  model_ = model;
  rect_ = rect;
  area_ = rect.toAlignedRect();
  fit_ = fit;
  font_ = &font;
}

bool LabelLook::keptPicture() const {
  return std::any_of(kept_.begin(), kept_.end(), [](const Kept& k) { return !k.picture.isNull(); });
}

void LabelLook::paint(QPainter& painter, const QRegion& region, std::optional<uint32_t> ground,
                      const QRect& visible) {
  const qreal scale = painter.deviceTransform().m11();
  // A bare fill costs less than a copy, a see-through label on more than one colour must blend
  // with what lies under it each time, and at a fractional scale whole pixels are no longer whole
  // on the screen.
  if (!model_.transparent) ground.reset();
  // Qt rasterises a glyph that starts above or left of the device's first pixel differently
  // from the same glyph anywhere else, so what such glyphs reach of the screen is drawn as it
  // always is rather than copied; a label reaching above the screen is drawn straight.
  const QPointF deviceZero =
      QPointF(-painter.deviceTransform().dx(), -painter.deviceTransform().dy()) / scale;
  if (rect_.top() < deviceZero.y() || (model_.transparent && !ground) || model_.caption.empty() ||
      std::floor(scale) != scale || painter.deviceTransform().m22() != scale) {
    draw(painter, region);
    return;
  }
  const uint32_t back = ground.value_or(model_.backColour);
  const QRectF within = rect_.translated(-area_.topLeft());
  auto look = std::find_if(kept_.begin(), kept_.end(), [&](const Kept& k) {
    return k.foreColour == model_.foreColour && k.backColour == back && k.within == within &&
           k.scale == scale;
  });
  if (look == kept_.end()) {
    // A look not seen before is drawn straight: a label that never looks the same twice is
    // cheaper so.
    if (kept_.size() >= kKeptLooks) kept_.erase(kept_.begin());
    kept_.push_back({model_.foreColour, back, within, scale, {}, {}});
    draw(painter, region);
    return;
  }
  // What can be seen of the label now, and a margin for moving on.
  const QRect seen = (visible.isEmpty() ? area_ : visible & area_).translated(-area_.topLeft());
  if (seen.isEmpty()) return;
  const QRect span = seen.adjusted(-kSpanMargin, -kSpanMargin, kSpanMargin, kSpanMargin) &
                     QRect(QPoint(0, 0), area_.size());
  if (look->picture.isNull() || !look->span.contains(seen)) {
    look->span = span;
    look->picture = keep(scale, span, ground);
  }
  QRegion copied = region & area_ & look->span.translated(area_.topLeft());
  QRegion straight;
  if (rect_.left() < deviceZero.x()) {
    qreal reach = deviceZero.x();
    for (size_t i = 0; i < runs_.size() && i < fit_.runs.size(); ++i)
      if (runs_[i]) {
        const qreal x = fit_.runs[i].origin.x;
        reach = std::max(reach, runs_[i]->inkReachFrom(deviceZero.x() - x) + x);
      }
    if (reach > deviceZero.x()) {
      const int left = static_cast<int>(std::floor(deviceZero.x()));
      straight = copied & QRect(left, area_.top(), static_cast<int>(std::ceil(reach)) - left + 1,
                                area_.height());
      copied -= straight;
    }
  }
  const QPoint origin = area_.topLeft() + look->span.topLeft();
  for (const QRect& part : copied) {
    const QPointF from = QPointF(part.topLeft() - origin) * scale;
    painter.drawPixmap(QRectF(part), look->picture, QRectF(from, QSizeF(part.size()) * scale));
  }
  if (straight.isEmpty()) return;
  painter.save();
  painter.setClipRegion(straight, Qt::IntersectClip);
  draw(painter, straight);
  painter.restore();
}

QPixmap LabelLook::keep(qreal scale, const QRect& span, std::optional<uint32_t> ground) {
  QPixmap picture((QSizeF(span.size()) * scale).toSize());
  picture.setDevicePixelRatio(scale);
  // A see-through label's picture holds its ground, so it is copied rather than blended.
  picture.fill(ground ? colour(*ground) : QColor(Qt::transparent));
  QPainter painter(&picture);
  const QRect part = span.translated(area_.topLeft());
  painter.translate(-QPointF(part.topLeft()));
  draw(painter, QRegion(part));
  painter.end();
  return picture;
}

void LabelLook::draw(QPainter& painter, const QRegion& region) {
  if (!model_.transparent) painter.fillRect(rect_, colour(model_.backColour));
  if (runs_.empty()) return;
  // Cut off at the label's border like the captions always were.
  painter.setClipRect(rect_, Qt::IntersectClip);
  painter.setPen(colour(model_.foreColour));
  for (size_t i = 0; i < runs_.size() && i < fit_.runs.size(); ++i)
    if (runs_[i]) runs_[i]->draw(painter, toQt(fit_.runs[i].origin), region);
  painter.setClipping(false);
}

}  // namespace milka::platform
