#include "platform/label_look.h"

#include <QRegion>
#include <cmath>

namespace milka::platform {

namespace {

QColor colour(uint32_t rgb) {
  return QColor(static_cast<QRgb>(rgb));
}

// Everything but the place: two labels equal here look the same wherever they stand.
bool sameLook(const Label& a, const Label& b) {
  return a.caption == b.caption && a.foreColour == b.foreColour && a.backColour == b.backColour &&
         a.transparent == b.transparent && a.bold == b.bold && a.fontSize == b.fontSize &&
         a.alignment == b.alignment && a.face == b.face && a.width == b.width &&
         a.height == b.height;
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
  if (fresh || !sameLook(model, model_) || !sameWords || !samePlaces(fit, rect, fit_, rect_))
    kept_ = {};
  // Only a label repainted while it stands still (something over it changed) earns a picture;
  // one that moves or changes every tick is cheaper drawn straight.
  drawnOnce_ = false;
  model_ = model;
  rect_ = rect;
  area_ = rect.toAlignedRect();
  fit_ = fit;
  font_ = &font;
  // The kept picture holds the label's fraction of a pixel; a move that changes it would
  // rasterise differently.
  if (!kept_.isNull() && rect_.translated(-area_.topLeft()) != keptRect_) kept_ = {};
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
  if (!kept_.isNull() && kept_.devicePixelRatio() != scale) kept_ = {};
  if (kept_.isNull()) {
    if (!drawnOnce_) {
      drawnOnce_ = true;
      draw(painter, region);
      return;
    }
    keep(scale);
  }
  for (const QRect& dirty : region) {
    const QRect part = dirty & area_;
    if (part.isEmpty()) continue;
    const QPointF from = QPointF(part.topLeft() - area_.topLeft()) * scale;
    painter.drawPixmap(QRectF(part), kept_, QRectF(from, QSizeF(part.size()) * scale));
  }
}

void LabelLook::keep(qreal scale) {
  QPixmap picture((QSizeF(area_.size()) * scale).toSize());
  picture.setDevicePixelRatio(scale);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.translate(-QPointF(area_.topLeft()));
  draw(painter, QRegion(area_));
  painter.end();
  kept_ = picture;
  keptRect_ = rect_.translated(-area_.topLeft());
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
