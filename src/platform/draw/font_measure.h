// The midend lays out the window's words from numbers; here the Qt window gives them, in the
// game's own fonts: a text's width as its glyph runs are laid out for drawing, a font's heights
// as Qt's metrics have them.
#pragma once

#include <QFont>
#include <map>
#include <string_view>

#include "play/text_measure.h"

namespace milka::platform {

class FontMeasure final : public play::TextMeasure {
 public:
  double advance(std::string_view utf8, const play::Font& font) override;
  double ascent(const play::Font& font) override;
  double descent(const play::Font& font) override;
  double leading(const play::Font& font) override;

 private:
  const QFont& qtFont(const play::Font& font);
  // The sizes a few screens' captions are tried at; past it the fonts are made again.
  static constexpr size_t kKept = 256;
  std::map<play::Font, QFont> fonts_;
};

}  // namespace milka::platform
