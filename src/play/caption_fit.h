// Where a label's words go: the size, lines and cells its caption is drawn in, worked out from
// the caption, the face and the label's box alone. A window paints exactly this, and the layout
// check measures exactly this, so what is checked is what is seen.
//
// Everything here is in form pixels (twips / 15); any scaling of the window applies on top.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "play/geometry.h"
#include "play/text_measure.h"
#include "shell/form.h"

namespace milka::play {

// No caption is drawn below this share of its own size: smaller than that and the window's
// small Mincho captions stop being legible, so a caption that still does not fit goes on two
// lines (or, past that, is cut).
constexpr double kSmallestShare = 0.75;

// One piece of text as drawn: a line of a caption, or a cell of a table row.
struct TextRun {
  std::string text;
  Point origin;  // top left of the run's line
  double width = 0;
  bool operator==(const TextRun&) const = default;
};

// A caption as it is drawn.
struct CaptionFit {
  Font font;                  // the face at the size it is drawn in
  std::vector<TextRun> runs;  // nothing for an empty caption
  double lineHeight = 0;      // ascent + descent of font
  bool shrunk = false;        // drawn below its own size
  bool twoLines = false;
  bool clipped = false;  // characters left out, the caption being too long even so
  bool atFloor = false;  // drawn at the smallest size allowed
  // The union of the runs' extents: where ink can be.
  Rect textRect() const;
  bool operator==(const CaptionFit&) const = default;
};

// A caption in box: one line from the box's top edge (centred across it if asked), exactly as it
// has always been drawn when it fits; otherwise smaller, down to kSmallestShare of its size;
// then on two lines if the box is tall enough for two at that size; only then cut, and only
// between two characters.
CaptionFit fitCaption(std::string_view caption, const Font& font, const Rect& box, Align align,
                      TextMeasure& measure);

// A table row's cells: its caption split at every run of two or more spaces (ASCII or
// full-width). A caption that starts with such a run has an empty first cell, so the rows whose
// first column is empty still line up with the others.
std::vector<std::string> splitCells(std::string_view caption);

// One row of a table to be laid out in columns.
struct TableRow {
  std::vector<std::string> cells;
  Font font;
  Rect box;
  bool operator==(const TableRow&) const = default;
};

// Cell k of every row starts at the same x: the widest cell k of all the rows decides where
// cell k + 1 begins. The gap between columns is a full-width space, narrowed (never below a
// space) if that is what it takes for the widest row to stay inside the boxes. A row whose
// columns still overrun its box is shrunk as a whole, like a caption.
std::vector<CaptionFit> layoutTable(const std::vector<TableRow>& rows, TextMeasure& measure);

}  // namespace milka::play
