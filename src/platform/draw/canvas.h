// The painted part of the window: its background, every label and every picture, drawn in one
// pass from a copy of the model as it was last brought up to date, so that what is painted is
// always exactly what was invalidated. A paint covers only the rectangles that changed, never
// the box around them, and draws only the controls that meet one of them.
#pragma once

#include <QFont>
#include <QPixmap>
#include <QRectF>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <map>
#include <optional>
#include <tuple>

#include "platform/draw/font_measure.h"
#include "platform/draw/label_look.h"
#include "play/runner_markers.h"
#include "play/screen_layout.h"
#include "shell/form.h"
#include "shell/game_state.h"

namespace milka::platform {

class Canvas final : public QWidget {
 public:
  explicit Canvas(QWidget* parent = nullptr);

  // Take over the model's labels, pictures and background, and repaint the old and the new
  // place of whatever differs from what is on screen.
  void sync(const Form& model, const GameState& state);

  // Forget what is on screen: the next sync draws the whole model afresh (another game shown).
  void forget() { synced_ = false; }

  // What the last sync laid out, exactly as it is painted.
  const play::ScreenLayout& layout() const { return layout_; }
  const play::RaceMarkers& markers() const { return markers_; }

  // How many labels are drawn from a picture kept of them.
  int keptPictures() const;

  // Twips to logical pixels, fractions kept.
  static QRectF pixels(float left, float top, float width, float height);

  // Draw the form this many times its own size. The painter scales everything, so glyphs are
  // rasterised at the size they are shown and pixel art is enlarged without smoothing.
  void setScale(double scale);
  double scale() const { return scale_; }

  // Pictures glide between the places two ticks give them, or hop there as the rules move them.
  void setGliding(bool on);
  bool gliding() const { return gliding_; }

  // Where picture n is drawn now, in the form's own pixels: on its way between two ticks while
  // it glides.
  QRectF drawnRect(int n) const;

  // Milliseconds from any fixed point; the glides are timed by it. Tests stop it.
  void setClock(std::function<int64_t()> clock) { clock_ = std::move(clock); }
  // One frame of the glides: every gliding picture moves on to where it is due now.
  void frame();
  // Whether any picture is on its way, and frames are being drawn for it.
  bool animating() const { return frames_.isActive(); }

  // Where a picture standing at `at` is painted with `device` device pixels to the form's pixel,
  // on a canvas of `within` form pixels.
  static QRectF placedRect(const QRectF& at, const QPixmap& pixmap, double device,
                           const QRectF& within);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  struct ShownPicture {
    Picture model;
    QRectF rect;   // where the rules put it
    QRectF drawn;  // where it was last drawn: rect, or on its glide towards rect
    QRect area;    // the whole pixels drawn touches
    const QPixmap* pixmap = nullptr;
    std::optional<float> glideFrom;  // in twips, the left it glides from
    int64_t glideStart = 0;
  };
  using FontKey = std::tuple<FontFace, float, bool>;
  using SpriteKey = std::tuple<SpriteKind, Coat, bool, int>;

  void invalidate(const QRectF& rect);
  QRectF formRect() const;
  void adopt(LabelLook& shown, const Label& model, const play::CaptionFit& fit);
  void adopt(ShownPicture& shown, const Picture& model);
  const QFont& font(FontFace face, float points, bool bold);
  const QPixmap& pixmap(const Sprite& sprite);
  void drawPicture(QPainter& painter, const ShownPicture& picture, double device);
  static bool onDevicePixels(const QRectF& at, const QPixmap& pixmap, double device,
                             const QRectF& within);
  void drawMarker(QPainter& painter, const play::RunnerMarker& marker, const QRegion& dirty);
  void syncPictures(const Form& model, bool whole);
  void findGrounds();
  QRectF glidedRect(const ShownPicture& shown, int64_t now) const;
  void moveDrawn(ShownPicture& shown, int64_t now, bool onTheWay = false);

  // What the canvas shows depends on the form and on these of the state; a sync that finds
  // them all as they were (most of the five timers, most ticks) has nothing to do.
  struct ShownState {
    int32_t screen = 0, resultsShown = 0;
    bool leftward = false;
    bool operator==(const ShownState&) const = default;
  };
  static ShownState shownState(const GameState& state);

  bool synced_ = false;
  Form syncedForm_;
  ShownState syncedState_;
  double scale_ = 1.0;
  bool gliding_ = true;
  std::function<int64_t()> clock_;
  QTimer frames_;
  uint32_t backColour_ = 0;
  std::array<LabelLook, kLabelCount + 1> labels_{};
  // The one colour under each see-through label, where nothing else is.
  std::array<std::optional<uint32_t>, kLabelCount + 1> grounds_{};
  std::array<ShownPicture, kImageCount + 1> pictures_{};
  std::map<FontKey, QFont> fonts_;
  CaptionLayouts captions_;
  std::map<SpriteKey, QPixmap> pixmaps_;
  std::map<qint64, QPixmap> doubled_;  // pixmaps_ at twice their size, by their cache keys
  FontMeasure measure_;
  play::ScreenLayouter layouter_{measure_};
  play::ScreenLayout layout_;
  uint64_t shownLayout_ = 0;  // the layouter's generation layout_ came from
  play::MarkerWords markerWords_{measure_};
  play::RaceMarkers markers_;
};

}  // namespace milka::platform
