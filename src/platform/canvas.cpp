#include "platform/canvas.h"

#include <QElapsedTimer>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <cmath>

#include "platform/fonts.h"
#include "platform/glide.h"
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
  clock_ = [started = std::make_shared<QElapsedTimer>()]() -> int64_t {
    if (!started->isValid()) started->start();
    return started->elapsed();
  };
  frames_.setTimerType(Qt::PreciseTimer);
  connect(&frames_, &QTimer::timeout, this, &Canvas::frame);
}

QRectF Canvas::pixels(float left, float top, float width, float height) {
  return {left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
          height / kTwipsPerPixel};
}

void Canvas::setScale(double scale) {
  if (scale == scale_) return;
  scale_ = scale;
  for (ShownLabel& label : labels_)
    if (label.font) prepareText(label);
  update();
}

void Canvas::setGliding(bool on) {
  gliding_ = on;
  if (on) return;
  // Off at once: every picture stands where the rules put it.
  for (ShownPicture& shown : pictures_) {
    shown.glideFrom.reset();
    moveDrawn(shown, 0);
  }
  frames_.stop();
}

QRectF Canvas::drawnRect(int n) const {
  return pictures_.at(static_cast<size_t>(n)).drawn;
}

QRectF Canvas::glidedRect(const ShownPicture& shown, int64_t now) const {
  if (!shown.glideFrom) return shown.rect;
  const double phase = static_cast<double>(now - shown.glideStart) / kGlideMs;
  const Picture& p = shown.model;
  return pixels(glidedLeft(*shown.glideFrom, p.left, phase), p.top, p.width, p.height);
}

// Repaints the old and the new place of a picture that is drawn somewhere else now.
void Canvas::moveDrawn(ShownPicture& shown, int64_t now) {
  const QRectF next = glidedRect(shown, now);
  if (next == shown.drawn) return;
  invalidate(shown.drawn);
  shown.drawn = next;
  invalidate(shown.drawn);
}

void Canvas::frame() {
  const int64_t now = clock_();
  bool more = false;
  for (ShownPicture& shown : pictures_) {
    if (!shown.glideFrom) continue;
    if (now - shown.glideStart >= kGlideMs) {
      shown.glideFrom.reset();  // arrived
    } else {
      more = true;
    }
    moveDrawn(shown, now);
  }
  if (!more) frames_.stop();
}

QRectF Canvas::onScreen(const QRectF& rect) const {
  return {rect.topLeft() * scale_, rect.size() * scale_};
}

void Canvas::prepareText(ShownLabel& shown) const {
  shown.text.prepare(QTransform::fromScale(scale_, scale_), *shown.font);
}

void Canvas::sync(const Form& model) {
  // A new window colour shows through everywhere, so the whole canvas goes.
  const bool whole = !synced_ || model.backColour != backColour_;
  backColour_ = model.backColour;

  for (int n = 1; n <= kLabelCount; ++n) {
    ShownLabel& shown = labels_[static_cast<size_t>(n)];
    const Label& now = model.label(n);
    if (synced_ && shown.model == now) continue;
    if (!whole) invalidate(shown.rect);
    adopt(shown, now);
    if (!whole) invalidate(shown.rect);
  }
  syncPictures(model, whole);

  synced_ = true;
  if (whole) update();
}

void Canvas::syncPictures(const Form& model, bool whole) {
  Pictures before;
  for (int n = 1; n <= kImageCount; ++n)
    before[static_cast<size_t>(n)] = pictures_[static_cast<size_t>(n)].model;
  std::array<std::optional<float>, kImageCount + 1> starts{};
  if (synced_ && gliding_) starts = glideStarts(before, model.images, model);
  const int64_t now = clock_();
  bool gliding = false;
  for (int n = 1; n <= kImageCount; ++n) {
    ShownPicture& shown = pictures_[static_cast<size_t>(n)];
    const Picture& next = model.image(n);
    if (synced_ && shown.model == next) {
      gliding = gliding || shown.glideFrom.has_value();
      continue;
    }
    if (!whole) invalidate(shown.drawn);
    adopt(shown, next);
    shown.glideFrom = starts[static_cast<size_t>(n)];
    shown.glideStart = now;
    shown.drawn = glidedRect(shown, now);
    gliding = gliding || shown.glideFrom.has_value();
    if (!whole) invalidate(shown.drawn);
  }
  if (gliding && !frames_.isActive()) {
    // As often as the screen shows a new picture, and no more.
    const qreal hertz = screen() ? screen()->refreshRate() : 60;
    frames_.start(std::max(4, static_cast<int>(std::floor(1000 / std::max<qreal>(hertz, 1)))));
  }
}

void Canvas::invalidate(const QRectF& rect) {
  // A control out of the window costs nothing; a pixel of margin covers the rounding of
  // fractional twips on every screen scale.
  const QRect area = onScreen(rect).toAlignedRect().adjusted(-1, -1, 1, 1) & this->rect();
  if (!area.isEmpty()) update(area);
}

void Canvas::adopt(ShownLabel& shown, const Label& model) {
  const bool fontChanged = !shown.font || shown.model.face != model.face ||
                           shown.model.fontSize != model.fontSize || shown.model.bold != model.bold;
  const bool captionChanged = !shown.font || shown.model.caption != model.caption;
  shown.model = model;
  shown.rect = pixels(model.left, model.top, model.width, model.height);
  if (fontChanged) shown.font = &font(model.face, model.fontSize, model.bold);
  if (fontChanged || captionChanged) {
    shown.text = QStaticText(QString::fromStdString(model.caption));
    shown.text.setTextFormat(Qt::PlainText);
    prepareText(shown);
  }
}

void Canvas::adopt(ShownPicture& shown, const Picture& model) {
  if (!shown.pixmap || !(shown.model.sprite == model.sprite)) shown.pixmap = &pixmap(model.sprite);
  shown.model = model;
  shown.rect = pixels(model.left, model.top, model.width, model.height);
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
  painter.fillRect(event->rect(), colour(backColour_));
  // Everything below is in the form's own pixels; the painter scales it, text included, so
  // glyphs are rasterised at the size they are shown.
  painter.scale(scale_, scale_);
  const QRectF dirty = QRectF(event->rect()).adjusted(-1, -1, 1, 1);
  const QRectF formDirty(dirty.topLeft() / scale_, dirty.size() / scale_);

  for (int n : kLabelOrder) {
    const ShownLabel& label = labels_[static_cast<size_t>(n)];
    if (label.rect.intersects(formDirty)) drawLabel(painter, label);
  }
  for (int n = 1; n <= kImageCount; ++n) {
    const ShownPicture& picture = pictures_[static_cast<size_t>(n)];
    if (!picture.pixmap || picture.pixmap->isNull() || !picture.drawn.intersects(formDirty))
      continue;
    painter.drawPixmap(picture.drawn, *picture.pixmap, QRectF(picture.pixmap->rect()));
  }
}

void Canvas::drawLabel(QPainter& painter, const ShownLabel& label) {
  if (!label.model.transparent) painter.fillRect(label.rect, colour(label.model.backColour));
  if (label.model.caption.empty()) return;
  // One line from the top edge, cut off at the label's border like the captions always were.
  QPointF at = label.rect.topLeft();
  if (label.model.alignment == Align::Centre)
    at.rx() += (label.rect.width() - label.text.size().width()) / 2;
  painter.setClipRect(label.rect);
  painter.setFont(*label.font);
  painter.setPen(colour(label.model.foreColour));
  painter.drawStaticText(at, label.text);
  painter.setClipping(false);
}

}  // namespace milka::platform
