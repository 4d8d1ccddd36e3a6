#include "platform/canvas.h"

#include <QPaintEvent>
#include <QPainter>
#include <QStaticText>

#include "platform/sprites.h"

namespace milka::platform {

namespace {

constexpr float kTwipsPerPixel = 15.0f;

// Label9 is the panel behind the buttons and lies under everything; the other labels follow in
// number order, and every picture lies above every label.
constexpr std::array<int, kLabelCount> kLabelOrder = [] {
  std::array<int, kLabelCount> order{};
  order[0] = 9;
  size_t i = 1;
  for (int n = 1; n <= kLabelCount; ++n)
    if (n != 9) order[i++] = n;
  return order;
}();

QColor colour(uint32_t rgb) {
  return QColor(static_cast<QRgb>(rgb));
}

}  // namespace

Canvas::Canvas(QWidget* parent) : QWidget(parent) {
  // Every paint starts by filling its area with the window's colour.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::NoFocus);
}

QRectF Canvas::pixels(float left, float top, float width, float height) {
  return {left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
          height / kTwipsPerPixel};
}

void Canvas::sync(const Form& model, const GameState& state) {
  // A new window colour shows through everywhere, so the whole canvas goes.
  const bool whole = !synced_ || model.backColour != backColour_;
  backColour_ = model.backColour;

  // A caption's words can move without its label changing: a neighbour it made room for, or a
  // table whose widest cell changed in another row.
  const ScreenLayout layout = layouter_.layout(model, rowsAreTable(state));
  for (int n = 1; n <= kLabelCount; ++n) {
    LabelLook& shown = labels_[static_cast<size_t>(n)];
    const Label& now = model.label(n);
    const CaptionFit& laid = layout.labels[static_cast<size_t>(n)];
    if (synced_ && shown.model() == now && shown.layout() == laid) continue;
    if (!whole) invalidate(shown.rect());
    shown.adopt(now, pixels(now.left, now.top, now.width, now.height), laid);
    if (!whole) invalidate(shown.rect());
  }
  layout_ = layout;

  for (int n = 1; n <= kImageCount; ++n) {
    ShownPicture& shown = pictures_[static_cast<size_t>(n)];
    const Picture& now = model.image(n);
    if (synced_ && shown.model == now) continue;
    if (!whole) invalidate(shown.rect);
    adopt(shown, now);
    if (!whole) invalidate(shown.rect);
  }

  RaceMarkers markers = raceMarkers(model, state);
  if (!whole && markers != markers_) {
    for (const RunnerMarker& m : markers_.markers) invalidate(m.rect);
    for (const RunnerMarker& m : markers.markers) invalidate(m.rect);
  }
  markers_ = std::move(markers);

  synced_ = true;
  if (whole) update();
}

void Canvas::invalidate(const QRectF& rect) {
  // A control out of the window costs nothing; a pixel of margin covers the rounding of
  // fractional twips on every screen scale.
  const QRect area = rect.toAlignedRect().adjusted(-1, -1, 1, 1) & this->rect();
  if (!area.isEmpty()) update(area);
}

void Canvas::adopt(ShownPicture& shown, const Picture& model) {
  if (!shown.pixmap || !(shown.model.sprite == model.sprite)) shown.pixmap = &pixmap(model.sprite);
  shown.model = model;
  shown.rect = pixels(model.left, model.top, model.width, model.height);
  shown.area = shown.rect.toAlignedRect();
}

const QPixmap& Canvas::pixmap(const Sprite& sprite) {
  auto [at, made] =
      pixmaps_.try_emplace({sprite.kind, sprite.coat, sprite.facingLeft, sprite.frame});
  if (made) at->second = QPixmap::fromImage(spriteImage(sprite));
  return at->second;
}

void Canvas::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  // Pixel art stays crisp however far the screen scales it.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  const QRegion& dirty = event->region();
  const QColor back = colour(backColour_);
  for (const QRect& part : dirty) painter.fillRect(part, back);

  for (int n : kLabelOrder) {
    LabelLook& label = labels_[static_cast<size_t>(n)];
    if (dirty.intersects(label.area())) label.paint(painter, dirty);
  }
  for (int n = 1; n <= kImageCount; ++n) {
    const ShownPicture& picture = pictures_[static_cast<size_t>(n)];
    if (dirty.intersects(picture.area)) drawPicture(painter, picture);
  }
  // Above the pictures: a marker stands for a runner that is not there to be seen.
  for (const RunnerMarker& marker : markers_.markers)
    if (dirty.intersects(marker.rect.toAlignedRect())) drawMarker(painter, marker);
}

void Canvas::drawPicture(QPainter& painter, const ShownPicture& picture) {
  if (!picture.pixmap || picture.pixmap->isNull()) return;
  painter.drawPixmap(picture.rect, *picture.pixmap, QRectF(picture.pixmap->rect()));
}

void Canvas::drawMarker(QPainter& painter, const RunnerMarker& marker) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(QPen(QColor(0x33, 0x33, 0x33), 1));
  painter.setBrush(colour(marker.colour));
  painter.drawRoundedRect(marker.rect.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
  painter.setPen(QColor(0x11, 0x11, 0x11));
  painter.setFont(marker.numberFont);
  painter.drawStaticText(marker.number.origin, QStaticText(marker.number.text));
  painter.setFont(marker.font);
  painter.drawStaticText(marker.gap.origin, QStaticText(marker.gap.text));
  painter.restore();
}

}  // namespace milka::platform
