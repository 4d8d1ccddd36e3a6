#include "platform/draw/canvas.h"

#include <QElapsedTimer>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <cmath>
#include <memory>

#include "platform/draw/fonts.h"
#include "platform/draw/qt_geometry.h"
#include "platform/draw/sprites.h"
#include "play/glide.h"
#include "race/running.h"

namespace milka::platform {

using play::glidedLeft;
using play::glideStarts;
using play::kGlideMs;
using play::Pictures;
using play::RunnerMarker;

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

// The form's pixels that meet a region of the scaled canvas: a little more than the region at
// a fractional scale, which the paint's own clipping trims.
QRegion formRegion(const QRegion& onScreen, double scale) {
  if (scale == 1.0) return onScreen;
  QRegion form;
  for (const QRect& r : onScreen)
    form += QRectF(QPointF(r.topLeft()) / scale, QSizeF(r.size()) / scale).toAlignedRect();
  return form;
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

Canvas::ShownState Canvas::shownState(const GameState& state) {
  return {state.screenState, state.resultsShown, race::runsLeftward(state)};
}

void Canvas::sync(const Form& model, const GameState& state) {
  const ShownState inputs = shownState(state);
  if (synced_ && inputs == syncedState_ && model == syncedForm_) return;
  syncedForm_ = model;
  syncedState_ = inputs;
  // A new window colour shows through everywhere, so the whole canvas goes.
  const bool whole = !synced_ || model.backColour != backColour_;
  backColour_ = model.backColour;

  // A caption's words can move without its label changing: a neighbour it made room for, or a
  // table whose widest cell changed in another row.
  // The same layout as last time is the same labels: none of them has anything to show.
  const play::ScreenLayout& layout = layouter_.layOut(model, play::rowsAreTable(state));
  if (whole || layouter_.generation() != shownLayout_) {
    for (int n = 1; n <= kLabelCount; ++n) {
      LabelLook& shown = labels_[static_cast<size_t>(n)];
      const Label& now = model.label(n);
      const play::CaptionFit& laid = layout.labels[static_cast<size_t>(n)];
      if (synced_ && shown.model() == now && shown.fit() == laid) continue;
      if (!whole) invalidate(shown.rect());
      adopt(shown, now, laid);
      if (!whole) invalidate(shown.rect());
    }
    layout_ = layout;
    shownLayout_ = layouter_.generation();
    findGrounds();
  }
  syncPictures(model, whole);

  play::RaceMarkers markers = play::raceMarkers(model, state, markerWords_);
  if (!whole && markers != markers_) {
    for (const RunnerMarker& m : markers_.markers) invalidate(toQt(m.rect));
    for (const RunnerMarker& m : markers.markers) invalidate(toQt(m.rect));
  }
  markers_ = std::move(markers);

  synced_ = true;
  if (whole) update();
}

void Canvas::findGrounds() {
  for (size_t i = 0; i < kLabelOrder.size(); ++i) {
    const auto n = static_cast<size_t>(kLabelOrder[i]);
    std::optional<uint32_t> ground = backColour_;
    // The nearest label drawn before it that could leave a mark there decides.
    for (size_t j = i; j-- > 0;) {
      const LabelLook& below = labels_[static_cast<size_t>(kLabelOrder[j])];
      const Label& m = below.model();
      if (m.transparent && m.caption.empty()) continue;
      if (!below.area().intersects(labels_[n].area())) continue;
      // A bare fill over every pixel the label touches is one colour; anything else is not.
      if (!m.transparent && m.caption.empty() && below.rect().contains(QRectF(labels_[n].area())))
        ground = m.backColour;
      else
        ground.reset();
      break;
    }
    grounds_[n] = ground;
  }
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
    shown.area = shown.drawn.toAlignedRect();
    gliding = gliding || shown.glideFrom.has_value();
    if (!whole) invalidate(shown.drawn);
  }
  if (gliding && !frames_.isActive()) {
    // As often as the screen shows a new picture, and no more.
    const qreal hertz = screen() ? screen()->refreshRate() : 60;
    frames_.start(std::max(4, static_cast<int>(std::floor(1000 / std::max<qreal>(hertz, 1)))));
  }
}

void Canvas::setScale(double scale) {
  if (scale == scale_) return;
  scale_ = scale;
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

bool Canvas::onDevicePixels(const QRectF& at, const QPixmap& pixmap, double device,
                            const QRectF& within) {
  // Pixel art drawn at its own size inside the canvas lands on the device pixel nearest its
  // corner at one and at two device pixels to the form's pixel, so it is put there in the first
  // place: it looks the same drawn whole, and a repaint clipped through it cannot shift the part
  // it redraws. Cut by the canvas's edge it is drawn as it stands.
  return (device == 1 || device == 2) && at.size() == pixmap.deviceIndependentSize() &&
         within.contains(at);
}

QRectF Canvas::placedRect(const QRectF& at, const QPixmap& pixmap, double device,
                          const QRectF& within) {
  if (!onDevicePixels(at, pixmap, device, within)) return at;
  const auto snapped = [device](qreal v) { return std::round(v * device) / device; };
  return {snapped(at.left()), snapped(at.top()), at.width(), at.height()};
}

// Repaints the old and the new place of a picture that is drawn somewhere else now. On its way
// between two ticks, a step that leaves it on the same screen pixels repaints nothing.
void Canvas::moveDrawn(ShownPicture& shown, int64_t now, bool onTheWay) {
  const QRectF next = glidedRect(shown, now);
  if (next == shown.drawn) return;
  const double device = scale_ * devicePixelRatioF();
  if (onTheWay && shown.pixmap &&
      placedRect(next, *shown.pixmap, device, formRect()) ==
          placedRect(shown.drawn, *shown.pixmap, device, formRect())) {
    shown.drawn = next;
    shown.area = next.toAlignedRect();
    return;
  }
  invalidate(shown.drawn);
  shown.drawn = next;
  shown.area = shown.drawn.toAlignedRect();
  invalidate(shown.drawn);
}

void Canvas::frame() {
  const int64_t now = clock_();
  bool more = false;
  for (ShownPicture& shown : pictures_) {
    if (!shown.glideFrom) continue;
    const bool arrived = now - shown.glideStart >= kGlideMs;
    if (arrived) {
      shown.glideFrom.reset();
    } else {
      more = true;
    }
    moveDrawn(shown, now, !arrived);
  }
  if (!more) frames_.stop();
}

int Canvas::keptPictures() const {
  int kept = 0;
  for (const LabelLook& label : labels_) kept += label.keptPicture() ? 1 : 0;
  return kept;
}

QRectF Canvas::formRect() const {
  return {QPointF(0, 0), QSizeF(size()) / scale_};
}

void Canvas::invalidate(const QRectF& rect) {
  // A control out of the window costs nothing; a pixel of margin covers the rounding of
  // fractional twips on every screen scale.
  const QRectF shown(rect.topLeft() * scale_, rect.size() * scale_);
  const QRect area = shown.toAlignedRect().adjusted(-1, -1, 1, 1) & this->rect();
  if (!area.isEmpty()) update(area);
}

void Canvas::adopt(LabelLook& shown, const Label& model, const play::CaptionFit& fit) {
  // Every run of a fitted caption is in one font: the label's own, or the size it was fitted to.
  const QFont& drawn = font(model.face, static_cast<float>(fit.font.points), model.bold);
  shown.adopt(model, pixels(model.left, model.top, model.width, model.height), fit, drawn,
              captions_);
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
  const QColor back = colour(backColour_);
  // The window's colour goes everywhere but under the opaque labels, which cover every pixel
  // wholly inside them with their own.
  QRegion bare = event->region();
  for (const LabelLook& label : labels_) {
    if (label.model().transparent) continue;
    const QRectF r(label.rect().topLeft() * scale_, label.rect().size() * scale_);
    if (!bare.intersects(r.toAlignedRect())) continue;
    const QPoint from(static_cast<int>(std::ceil(r.left())), static_cast<int>(std::ceil(r.top())));
    const QPoint to(static_cast<int>(std::floor(r.right())),
                    static_cast<int>(std::floor(r.bottom())));
    if (to.x() > from.x() && to.y() > from.y()) bare -= QRect(from, to - QPoint(1, 1));
  }
  for (const QRect& part : bare) painter.fillRect(part, back);
  // From here on in the form's own pixels; the painter does the scaling.
  const QRegion dirty = formRegion(event->region(), scale_);
  painter.scale(scale_, scale_);
  const QTransform& device = painter.deviceTransform();
  const double pixelsPerPixel =
      device.type() <= QTransform::TxScale && device.m11() == device.m22() ? device.m11() : 0;

  const QRect shown = formRect().toAlignedRect();
  for (int n : kLabelOrder) {
    LabelLook& label = labels_[static_cast<size_t>(n)];
    if (dirty.intersects(label.area()))
      label.paint(painter, dirty, grounds_[static_cast<size_t>(n)], shown);
  }
  for (int n = 1; n <= kImageCount; ++n) {
    const ShownPicture& picture = pictures_[static_cast<size_t>(n)];
    if (dirty.intersects(picture.area)) drawPicture(painter, picture, pixelsPerPixel);
  }
  // Above the pictures: a marker stands for a runner that is not there to be seen.
  for (const RunnerMarker& marker : markers_.markers)
    if (dirty.intersects(toQt(marker.rect).toAlignedRect())) drawMarker(painter, marker, dirty);
}

void Canvas::drawPicture(QPainter& painter, const ShownPicture& picture, double device) {
  if (!picture.pixmap || picture.pixmap->isNull()) return;
  const QPixmap& pixmap = *picture.pixmap;
  if (device == 2 && onDevicePixels(picture.drawn, pixmap, device, formRect())) {
    // Enlarged once, then copied: every pixel doubled is what the painter's enlarging gives.
    auto [at, made] = doubled_.try_emplace(pixmap.cacheKey());
    if (made) {
      at->second = QPixmap::fromImage(pixmap.toImage().scaled(pixmap.size() * 2));
      at->second.setDevicePixelRatio(2);
    }
    painter.drawPixmap(placedRect(picture.drawn, pixmap, device, formRect()).topLeft(), at->second);
    return;
  }
  painter.drawPixmap(placedRect(picture.drawn, pixmap, device, formRect()), pixmap,
                     QRectF(pixmap.rect()));
}

void Canvas::drawMarker(QPainter& painter, const RunnerMarker& marker, const QRegion& dirty) {
  painter.save();
  // Square, on whole pixels and without antialiasing: a repaint clipped through the plate then
  // leaves exactly the pixels a whole one does.
  const QRect plate = toQt(marker.rect).toRect();
  painter.fillRect(plate, QColor(0x33, 0x33, 0x33));
  painter.fillRect(plate.adjusted(1, 1, -1, -1), colour(marker.colour));
  painter.setPen(QColor(0x11, 0x11, 0x11));
  // Through the shared glyph runs: the few texts a marker shows are laid out once.
  const auto text = [&](const play::TextRun& run, bool bold) {
    const QFont& shape = font(play::kMarkerFace, play::kMarkerPoints, bold);
    captions_.get(run.text, shape)->draw(painter, toQt(run.origin), dirty);
  };
  text(marker.number, true);
  text(marker.gap, false);
  painter.restore();
}

}  // namespace milka::platform
