// Every label of the window as drawn on the current screen: each caption fitted to its box,
// the table rows laid out in columns, and a caption that would run into its neighbour's words
// kept to the part of its box that stays clear of them.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "play/caption_fit.h"
#include "play/geometry.h"
#include "play/text_measure.h"
#include "shell/form.h"
#include "shell/game_state.h"

namespace milka::play {

// The labels that hold the breeding table, the race card and the results board.
constexpr int kFirstTableLabel = 16;
constexpr int kLastTableLabel = 26;

// Whether Label16..Label26 hold a table on this screen (the career-over record uses the same
// labels for lines of prose).
bool rowsAreTable(const GameState& s);

// A label in the window at all: on screen, with something to read.
bool isVisibleCaption(const Form& form, int n);

// The label's box in form pixels.
Rect boxOf(const Label& label);

// The face, size and weight the label asks for.
Font fontOf(const Label& label);

struct ScreenLayout {
  std::array<CaptionFit, kLabelCount + 1> labels;  // 1-based, as the form
};

// Whether label a is painted above label b: Label9, the panel behind the buttons, lies under
// everything, the others follow in number order.
bool paintedAbove(int a, int b);

// Two captions side by side closer than this read as one run of words.
constexpr double kWordGap = 3.0;

// Whether the words of two labels meet, or come closer than kWordGap, where both can be seen. Where
// the label painted on top is opaque, its own background hides whatever of the other lies beneath
// it.
bool wordsCollide(const Form& form, const ScreenLayout& layout, int a, int b);

// Lays out a whole screen, measuring in the window's fonts. Keeps what it measured for captions
// it has seen, so calling it on every tick of a race costs only the captions that changed, and
// the screen as last laid out, so calling it again on labels that did not change costs nothing.
class ScreenLayouter {
 public:
  explicit ScreenLayouter(TextMeasure& measure) : measure_(measure) {}
  ScreenLayout layout(const Form& form, bool tables) { return layOut(form, tables); }
  // The same, kept here until the next call.
  const ScreenLayout& layOut(const Form& form, bool tables);
  // Counts the layouts worked out afresh: the same count, the same layout as before.
  uint64_t generation() const { return generation_; }
  // The caption alone in its box, without regard to any other.
  CaptionFit fitted(const Label& label, const Rect& box);

 private:
  TextMeasure& measure_;
  // Where the box stands does not change the fit (the rails move every tick), only its size.
  using Key = std::tuple<std::string, FontFace, float, bool, Align, double, double>;
  std::map<Key, CaptionFit> fitted_;
  // Each label as last seen and its caption fitted to its own box: most stand still for whole
  // screens, and are not looked up again.
  std::array<Label, kLabelCount + 1> seen_{};
  std::array<CaptionFit, kLabelCount + 1> natural_{};
  std::array<bool, kLabelCount + 1> known_{};
  // The table as last laid out: it stands unchanged for whole screens.
  std::vector<TableRow> tableRows_;
  std::vector<CaptionFit> tableLayout_;
  // The last call's labels, window and answer.
  std::array<Label, kLabelCount + 1> laidLabels_{};
  float laidWidth_ = 0, laidHeight_ = 0;
  bool laidTables_ = false;
  uint64_t generation_ = 0;
  ScreenLayout laid_;
};

}  // namespace milka::play
