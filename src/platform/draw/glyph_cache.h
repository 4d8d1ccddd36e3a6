// A caption laid out once in one font, kept as positioned glyphs, so drawing it again costs only
// the glyphs that land where the window is being repainted. A rail of five hundred marks with a
// few dozen of them on screen draws those few dozen.
#pragma once

#include <QFont>
#include <QGlyphRun>
#include <QPainter>
#include <QPointF>
#include <QRegion>
#include <QString>
#include <cstddef>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace milka::platform {

class CaptionLayout {
 public:
  // One line, laid out the way a static text of the same caption and font is.
  CaptionLayout(const QString& caption, const QFont& font);

  // The width of the line, for centring.
  qreal width() const { return width_; }

  // Draw the glyphs that reach into region, the caption's top-left at `at`. The pixels come out
  // exactly as drawing the whole caption would give them there.
  void draw(QPainter& painter, const QPointF& at, const QRegion& region) const;

  // How far right the ink of the glyphs that start left of x reaches, in the caption's own
  // coordinates; x itself when none does.
  qreal inkReachFrom(qreal x) const;

 private:
  struct Run {
    QGlyphRun glyphs;
    // Its glyphs and their places, kept for picking the few a repaint needs.
    QList<quint32> indexes;
    QList<QPointF> positions;
    // Where each glyph's ink may start and end along the line, in the order of the glyphs.
    std::vector<qreal> inkLeft, inkRight;
  };
  std::vector<Run> runs_;
  qreal width_ = 0;
};

// Layouts shared by every label, looked up by caption and font; the captions a screen cycles
// through (a blinking prompt, the key to press next) are laid out once, and the least recently
// used give way when there are too many.
class CaptionLayouts {
 public:
  std::shared_ptr<const CaptionLayout> get(const std::string& caption, const QFont& font);

 private:
  using Key = std::pair<std::string, const QFont*>;
  static constexpr size_t kKept = 256;
  std::list<Key> recent_;  // most recent first
  std::map<Key, std::pair<std::shared_ptr<const CaptionLayout>, std::list<Key>::iterator>> byKey_;
};

}  // namespace milka::platform
