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

}  // namespace

void LabelLook::adopt(const Label& model, const QRectF& rect, const QFont& font,
                      CaptionLayouts& layouts) {
  const bool fresh = font_ == nullptr;
  if (fresh || model.caption != model_.caption || &font != font_)
    caption_ = model.caption.empty() ? nullptr : layouts.get(model.caption, font);
  if (fresh || !sameLook(model, model_)) kept_ = {};
  // Only a label repainted while it stands still (something over it changed) earns a picture;
  // one that moves or changes every tick is cheaper drawn straight.
  drawnOnce_ = false;
  model_ = model;
  rect_ = rect;
  area_ = rect.toAlignedRect();
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
  if (!caption_) return;
  // One line from the top edge, cut off at the label's border like the captions always were.
  QPointF at = rect_.topLeft();
  if (model_.alignment == Align::Centre) at.rx() += (rect_.width() - caption_->width()) / 2;
  painter.setClipRect(rect_);
  painter.setPen(colour(model_.foreColour));
  caption_->draw(painter, at, region);
  painter.setClipping(false);
}

}  // namespace milka::platform
