// Where a label's words go: the size, lines and cells its caption is drawn in, worked out from
// the caption, the face and the label's box alone. The canvas paints exactly this, and the
// layout check measures exactly this, so what is checked is what is seen.
//
// Everything here is in form pixels (twips / 15); any scaling of the window applies on top.
#pragma once

#include <QFont>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <vector>

#include "shell/form.h"

namespace milka::platform {

// No caption is drawn below this share of its own size: smaller than that and the window's
// small Mincho captions stop being legible, so a caption that still does not fit goes on two
// lines (or, past that, is cut).
constexpr double kSmallestShare = 0.75;

// One piece of text as drawn: a line of a caption, or a cell of a table row.
struct TextRun {
  QString text;
  QPointF origin;  // top left of the run's line
  double width = 0;
  bool operator==(const TextRun&) const = default;
};

// A caption as it is drawn.
struct CaptionFit {
  QFont font;                 // the face at the size it is drawn in
  std::vector<TextRun> runs;  // nothing for an empty caption
  double lineHeight = 0;      // ascent + descent of font
  bool shrunk = false;        // drawn below its own size
  bool twoLines = false;
  bool clipped = false;  // characters left out, the caption being too long even so
  bool atFloor = false;  // drawn at the smallest size allowed
  // The union of the runs' extents: where ink can be.
  QRectF textRect() const;
  bool operator==(const CaptionFit&) const = default;
};

// The width of text in font as one line, as the canvas lays it out.
double advanceOf(const QString& text, const QFont& font);

// A caption in box: one line from the box's top edge (centred across it if asked), exactly as it
// has always been drawn when it fits; otherwise smaller, down to kSmallestShare of its size;
// then on two lines if the box is tall enough for two at that size; only then cut, and only
// between two characters.
CaptionFit fitCaption(const QString& caption, const QFont& font, const QRectF& box, Align align);

// A table row's cells: its caption split at every run of two or more spaces (ASCII or
// full-width). A caption that starts with such a run has an empty first cell, so the rows whose
// first column is empty still line up with the others.
QStringList splitCells(const QString& caption);

// One row of a table to be laid out in columns.
struct TableRow {
  QStringList cells;
  QFont font;
  QRectF box;
  bool operator==(const TableRow&) const = default;
};

// Cell k of every row starts at the same x: the widest cell k of all the rows decides where
// cell k + 1 begins. The gap between columns is a full-width space, narrowed (never below a
// space) if that is what it takes for the widest row to stay inside the boxes. A row whose
// columns still overrun its box is shrunk as a whole, like a caption.
std::vector<CaptionFit> layoutTable(const std::vector<TableRow>& rows);

}  // namespace milka::platform
