#include "web/page_measure.h"

#include <emscripten/emscripten.h>

// The page measures with the font list it draws with; a font is its face, size and weight.
EM_JS(double, page_measure, (int what, const char* text, int gothic, double points, int bold),
      { return Module.page.measure(what, UTF8ToString(text), gothic != 0, points, bold != 0); });

namespace milka::web {

namespace {

double ask(PageMeasure::What what, const std::string& text, const play::Font& font) {
  return page_measure(what, text.c_str(), font.face == FontFace::Gothic ? 1 : 0, font.points,
                      font.bold ? 1 : 0);
}

}  // namespace

double PageMeasure::advance(std::string_view utf8, const play::Font& font) {
  auto key = std::make_pair(std::string(utf8), font);
  if (const auto at = widths_.find(key); at != widths_.end()) return at->second;
  if (widths_.size() >= kKept) widths_.clear();
  const double width = ask(kAdvance, key.first, font);
  widths_.emplace(std::move(key), width);
  return width;
}

double PageMeasure::height(What what, const play::Font& font) {
  const auto [at, made] = heights_.try_emplace({what, font}, 0.0);
  if (made) at->second = ask(what, {}, font);
  return at->second;
}

}  // namespace milka::web
