#include "platform/label_look.h"

#include <QRegion>
#include <algorithm>
#include <cmath>

namespace milka::platform {

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
    if (a.runs[i].origin - inA.topLeft() != b.runs[i].origin - inB.topLeft()) return false;
  return true;
}

}  // namespace

void LabelLook::adopt(const Label& model, const QRectF& rect, const CaptionFit& fit,
                      const QFont& font, CaptionLayouts& layouts) {
  const bool fresh = font_ == nullptr;
  const bool sameWords = !fresh && &font == font_ && sameText(fit, fit_);
  if (!sameWords) {
    runs_.clear();
    for (const TextRun& run : fit.runs)
      runs_.push_back(run.text.isEmpty() ? nullptr : layouts.get(run.text.toStdString(), font));
  }
  if (fresh || !sameShape(model, model_) || !sameWords || !samePlaces(fit, rect, fit_, rect_))
    kept_.clear();
  model_ = model;
  rect_ = rect;
  area_ = rect.toAlignedRect();
  fit_ = fit;
  font_ = &font;
}

bool LabelLook::keptPicture() const {
  return std::any_of(kept_.begin(), kept_.end(), [](const Kept& k) { return !k.picture.isNull(); });
}

void LabelLook::paint(QPainter& painter, const QRegion& region) {
  const qreal scale = painter.deviceTransform().m11();
  // A bare fill costs less than a copy, a see-through label must blend with what lies under it
  // each time, and at a fractional scale whole pixels are no longer whole on the screen.
  if (model_.transparent || model_.caption.empty() || std::floor(scale) != scale ||
      painter.deviceTransform().m22() != scale) {
    draw(painter, region);
    return;
  }
  const QRectF within = rect_.translated(-area_.topLeft());
  auto look = std::find_if(kept_.begin(), kept_.end(), [&](const Kept& k) {
    return k.foreColour == model_.foreColour && k.backColour == model_.backColour &&
           k.within == within && k.scale == scale;
  });
  if (look == kept_.end()) {
    // A look not seen before is drawn straight: a label that never looks the same twice is
    // cheaper so.
    if (kept_.size() >= kKeptLooks) kept_.erase(kept_.begin());
    kept_.push_back({model_.foreColour, model_.backColour, within, scale, {}});
    draw(painter, region);
    return;
  }
  if (look->picture.isNull()) look->picture = keep(scale);
  for (const QRect& dirty : region) {
    const QRect part = dirty & area_;
    if (part.isEmpty()) continue;
    const QPointF from = QPointF(part.topLeft() - area_.topLeft()) * scale;
    painter.drawPixmap(QRectF(part), look->picture, QRectF(from, QSizeF(part.size()) * scale));
  }
}

QPixmap LabelLook::keep(qreal scale) {
  QPixmap picture((QSizeF(area_.size()) * scale).toSize());
  picture.setDevicePixelRatio(scale);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.translate(-QPointF(area_.topLeft()));
  draw(painter, QRegion(area_));
  painter.end();
  return picture;
}

void LabelLook::draw(QPainter& painter, const QRegion& region) {
  if (!model_.transparent) painter.fillRect(rect_, colour(model_.backColour));
  if (runs_.empty()) return;
  // Cut off at the label's border like the captions always were.
  painter.setClipRect(rect_);
  painter.setPen(colour(model_.foreColour));
  for (size_t i = 0; i < runs_.size() && i < fit_.runs.size(); ++i)
    if (runs_[i]) runs_[i]->draw(painter, fit_.runs[i].origin, region);
  painter.setClipping(false);
}

}  // namespace milka::platform
