#include "platform/draw/font_measure.h"

#include <QFontMetricsF>
#include <QString>
#include <QTextLayout>

#include "platform/draw/fonts.h"

namespace milka::platform {

const QFont& FontMeasure::qtFont(const play::Font& font) {
  auto at = fonts_.find(font);
  if (at == fonts_.end()) {
    if (fonts_.size() >= kKept) fonts_.clear();
    at = fonts_.emplace(font, gameFont(font.face, font.points, font.bold)).first;
  }
  return at->second;
}

double FontMeasure::advance(std::string_view utf8, const play::Font& font) {
  // Measured as the glyph runs are laid out, so a centred caption stands exactly where the
  // canvas always centred it.
  QTextLayout layout(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())),
                     qtFont(font));
  layout.beginLayout();
  QTextLine line = layout.createLine();
  if (!line.isValid()) {
    layout.endLayout();
    return 0;
  }
  line.setLineWidth(1e9);
  layout.endLayout();
  return line.naturalTextWidth();
}

double FontMeasure::ascent(const play::Font& font) {
  return QFontMetricsF(qtFont(font)).ascent();
}

double FontMeasure::descent(const play::Font& font) {
  return QFontMetricsF(qtFont(font)).descent();
}

double FontMeasure::leading(const play::Font& font) {
  return QFontMetricsF(qtFont(font)).leading();
}

}  // namespace milka::platform
