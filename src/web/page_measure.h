// The midend lays out the window's words from numbers; in the browser the page gives them, from a
// canvas's measureText in the very fonts it draws with, at the form's own size (CSS pixels are
// form pixels at 1×). Each width is asked for once: the page is called synchronously, and a
// screen's layout asks for the same few captions again and again.
#pragma once

#include <map>
#include <string>
#include <tuple>

#include "play/text_measure.h"

namespace milka::web {

class PageMeasure final : public play::TextMeasure {
 public:
  double advance(std::string_view utf8, const play::Font& font) override;
  double ascent(const play::Font& font) override { return height(kAscent, font); }
  double descent(const play::Font& font) override { return height(kDescent, font); }
  double leading(const play::Font& font) override { return height(kLeading, font); }

  // What the page answers, in the order it numbers them.
  enum What { kAdvance, kAscent, kDescent, kLeading };

 private:
  double height(What what, const play::Font& font);
  // Enough for every caption of a few screens and a race's changing lines; past it the widths
  // are asked for again rather than kept for as long as the page is open.
  static constexpr size_t kKept = 4096;
  std::map<std::pair<std::string, play::Font>, double> widths_;
  std::map<std::pair<What, play::Font>, double> heights_;
};

}  // namespace milka::web
