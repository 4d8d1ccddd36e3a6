#include "platform/canvas.h"

#include <QPaintEvent>
#include <QPainter>
#include <QStaticText>

#include "platform/fonts.h"
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
    if (synced_ && shown.model() == now && shown.fit() == laid) continue;
    if (!whole) invalidate(shown.rect());
    adopt(shown, now, laid);
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

int Canvas::keptPictures() const {
  int kept = 0;
  for (const LabelLook& label : labels_) kept += label.keptPicture() ? 1 : 0;
  return kept;
}

void Canvas::invalidate(const QRectF& rect) {
  // A control out of the window costs nothing; a pixel of margin covers the rounding of
  // fractional twips on every screen scale.
  const QRect area = rect.toAlignedRect().adjusted(-1, -1, 1, 1) & this->rect();
  if (!area.isEmpty()) update(area);
}

void Canvas::adopt(LabelLook& shown, const Label& model, const CaptionFit& fit) {
  // Every run of a fitted caption is in one font: the label's own, or the size it was fitted to.
  const QFont& drawn = font(model.face, static_cast<float>(fit.font.pointSizeF()), model.bold);
  shown.adopt(model, pixels(model.left, model.top, model.width, model.height), fit, drawn,
              captions_);
}

void Canvas::adopt(ShownPicture& shown, const Picture& model) {
  if (!shown.pixmap || !(shown.model.sprite == model.sprite)) shown.pixmap = &pixmap(model.sprite);
  shown.model = model;
  shown.rect = pixels(model.left, model.top, model.width, model.height);
  shown.area = shown.rect.toAlignedRect();
}

const QFont& Canvas::font(FontFace face, float points, bool bold) {
  auto [at, made] = fonts_.try_emplace({face, points, bold});
  if (made) at->second = gameFont(face, points, bold);
  return at->second;
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
    if (dirty.intersects(marker.rect.toAlignedRect())) drawMarker(painter, marker, dirty);
}

void Canvas::drawPicture(QPainter& painter, const ShownPicture& picture) {
  if (!picture.pixmap || picture.pixmap->isNull()) return;
  painter.drawPixmap(picture.rect, *picture.pixmap, QRectF(picture.pixmap->rect()));
}

void Canvas::drawMarker(QPainter& painter, const RunnerMarker& marker, const QRegion& dirty) {
  painter.save();
  // Square, on whole pixels and without antialiasing: a repaint clipped through the plate then
  // leaves exactly the pixels a whole one does.
  const QRect plate = marker.rect.toRect();
  painter.fillRect(plate, QColor(0x33, 0x33, 0x33));
  painter.fillRect(plate.adjusted(1, 1, -1, -1), colour(marker.colour));
  painter.setPen(QColor(0x11, 0x11, 0x11));
  // Through the shared glyph runs: the few texts a marker shows are laid out once.
  const auto text = [&](const TextRun& run, bool bold) {
    const QFont& shape = font(kMarkerFace, kMarkerPoints, bold);
    captions_.get(run.text.toStdString(), shape)->draw(painter, run.origin, dirty);
  };
  text(marker.number, true);
  text(marker.gap, false);
  painter.restore();
}

}  // namespace milka::platform
