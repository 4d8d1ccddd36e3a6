// What laying out the window's words needs from the window: how wide a text comes out in one of
// its fonts, and how tall that font's lines are. Only the window knows its fonts (the Qt window
// asks fontconfig, a page asks the browser), so each window measures, and the midend decides
// where the words go from the numbers alone.
#pragma once

#include <compare>
#include <string_view>

#include "shell/form.h"

namespace milka::play {

// One of the game's faces at a size, bold or not: a font as the layout names it.
struct Font {
  FontFace face = FontFace::Mincho;
  double points = 0;
  bool bold = false;
  auto operator<=>(const Font&) const = default;
};

class TextMeasure {
 public:
  virtual ~TextMeasure() = default;
  // The width of utf8 drawn as one line in font, in form pixels.
  virtual double advance(std::string_view utf8, const Font& font) = 0;
  // How far the font reaches above and below its baseline, and the room it leaves between the
  // bottom of one line and the top of the next, in form pixels.
  virtual double ascent(const Font& font) = 0;
  virtual double descent(const Font& font) = 0;
  virtual double leading(const Font& font) = 0;
};

}  // namespace milka::play
