// The painted part of the window: its background, every label and every picture, drawn in one
// pass from a copy of the model as it was last brought up to date, so that what is painted is
// always exactly what was invalidated. A paint covers only the rectangles that changed, never
// the box around them, and draws only the controls that meet one of them.
#pragma once

#include <QFont>
#include <QPixmap>
#include <QRectF>
#include <QWidget>
#include <array>
#include <map>
#include <tuple>

#include "platform/label_look.h"
#include "platform/runner_markers.h"
#include "platform/screen_layout.h"
#include "shell/form.h"
#include "shell/game_state.h"

namespace milka::platform {

class Canvas final : public QWidget {
 public:
  explicit Canvas(QWidget* parent = nullptr);

  // Take over the model's labels, pictures and background, and repaint the old and the new
  // place of whatever differs from what is on screen.
  void sync(const Form& model, const GameState& state);

  // What the last sync laid out, exactly as it is painted.
  const ScreenLayout& layout() const { return layout_; }
  const RaceMarkers& markers() const { return markers_; }

  // How many labels are drawn from a picture kept of them.
  int keptPictures() const;

  // Twips to logical pixels, fractions kept.
  static QRectF pixels(float left, float top, float width, float height);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  struct ShownPicture {
    Picture model;
    QRectF rect;
    QRect area;  // the whole pixels it touches
    const QPixmap* pixmap = nullptr;
  };
  using FontKey = std::tuple<FontFace, float, bool>;
  using SpriteKey = std::tuple<SpriteKind, Coat, bool, int>;

  void invalidate(const QRectF& rect);
  void adopt(LabelLook& shown, const Label& model, const CaptionFit& fit);
  void adopt(ShownPicture& shown, const Picture& model);
  const QFont& font(FontFace face, float points, bool bold);
  const QPixmap& pixmap(const Sprite& sprite);
  static void drawPicture(QPainter& painter, const ShownPicture& picture);
  void drawMarker(QPainter& painter, const RunnerMarker& marker, const QRegion& dirty);

  bool synced_ = false;
  uint32_t backColour_ = 0;
  std::array<LabelLook, kLabelCount + 1> labels_{};
  std::array<ShownPicture, kImageCount + 1> pictures_{};
  std::map<FontKey, QFont> fonts_;
  CaptionLayouts captions_;
  std::map<SpriteKey, QPixmap> pixmaps_;
  ScreenLayouter layouter_;
  ScreenLayout layout_;
  RaceMarkers markers_;
};

}  // namespace milka::platform
