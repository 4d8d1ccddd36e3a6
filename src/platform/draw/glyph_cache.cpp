#include "platform/draw/glyph_cache.h"

#include <QRawFont>
#include <QTextLayout>
#include <algorithm>

namespace milka::platform {

namespace {

// Room either side of a glyph's outline for antialiasing and for hinting at other screen scales.
constexpr qreal kInkMargin = 2;

}  // namespace

CaptionLayout::CaptionLayout(const QString& caption, const QFont& font) {
  QTextLayout layout(caption, font);
  layout.setCacheEnabled(true);
  layout.beginLayout();
  QTextLine line = layout.createLine();
  if (line.isValid()) {
    line.setLeadingIncluded(true);
    line.setLineWidth(1e9);
    line.setPosition(QPointF(0, 0));
  }
  layout.endLayout();
  if (!line.isValid()) return;
  width_ = line.naturalTextWidth();

  for (const QGlyphRun& glyphs : layout.glyphRuns()) {
    Run run{glyphs, glyphs.glyphIndexes(), glyphs.positions(), {}, {}};
    const QRawFont raw = glyphs.rawFont();
    const QList<quint32>& indexes = run.indexes;
    const QList<QPointF>& positions = run.positions;
    run.inkLeft.reserve(static_cast<size_t>(indexes.size()));
    run.inkRight.reserve(static_cast<size_t>(indexes.size()));
    for (qsizetype i = 0; i < indexes.size(); ++i) {
      const QRectF ink = raw.boundingRect(indexes[i]);
      const qreal x = positions[i].x();
      run.inkLeft.push_back(x + std::min<qreal>(ink.left(), 0) - kInkMargin);
      run.inkRight.push_back(
          x + std::max(ink.right(), raw.advancesForGlyphIndexes({indexes[i]}).value(0).x()) +
          kInkMargin);
    }
    runs_.push_back(std::move(run));
  }
}

void CaptionLayout::draw(QPainter& painter, const QPointF& at, const QRegion& region) const {
  // The stretches of the line being repainted, in the caption's own coordinates.
  std::vector<std::pair<qreal, qreal>> spans;
  for (const QRect& part : region)
    spans.emplace_back(part.left() - at.x(), part.right() + 1 - at.x());
  const auto wanted = [&spans](qreal left, qreal right) {
    return std::any_of(spans.begin(), spans.end(),
                       [&](const auto& s) { return left < s.second && right > s.first; });
  };

  for (const Run& run : runs_) {
    const size_t count = run.inkLeft.size();
    std::vector<qsizetype> picked;
    picked.reserve(count);
    for (size_t i = 0; i < count; ++i)
      if (wanted(run.inkLeft[i], run.inkRight[i])) picked.push_back(static_cast<qsizetype>(i));
    if (picked.empty()) continue;
    if (picked.size() == count) {
      painter.drawGlyphRun(at, run.glyphs);
      continue;
    }
    const QList<quint32>& indexes = run.indexes;
    const QList<QPointF>& positions = run.positions;
    QList<quint32> someIndexes;
    QList<QPointF> somePositions;
    someIndexes.reserve(static_cast<qsizetype>(picked.size()));
    somePositions.reserve(static_cast<qsizetype>(picked.size()));
    for (qsizetype i : picked) {
      someIndexes.push_back(indexes[i]);
      somePositions.push_back(positions[i]);
    }
    QGlyphRun some = run.glyphs;
    some.setGlyphIndexes(someIndexes);
    some.setPositions(somePositions);
    painter.drawGlyphRun(at, some);
  }
}

qreal CaptionLayout::inkReachFrom(qreal x) const {
  qreal reach = x;
  for (const Run& run : runs_)
    for (size_t i = 0; i < run.inkRight.size(); ++i)
      if (run.positions[static_cast<qsizetype>(i)].x() < x)
        reach = std::max(reach, run.inkRight[i]);
  return reach;
}

std::shared_ptr<const CaptionLayout> CaptionLayouts::get(const std::string& caption,
                                                         const QFont& font) {
  Key key{caption, &font};
  if (auto found = byKey_.find(key); found != byKey_.end()) {
    recent_.splice(recent_.begin(), recent_, found->second.second);
    return found->second.first;
  }
  auto layout = std::make_shared<const CaptionLayout>(QString::fromStdString(caption), font);
  recent_.push_front(key);
  byKey_.emplace(std::move(key), std::make_pair(layout, recent_.begin()));
  if (recent_.size() > kKept) {
    byKey_.erase(recent_.back());
    recent_.pop_back();
  }
  return layout;
}

}  // namespace milka::platform
