#include "platform/draw/caption_fit.h"

#include <QFontMetricsF>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <limits>

namespace milka::platform {

namespace {

// Sizes are tried in quarter points: fine enough that a caption loses no more than it must.
constexpr double kSizeStep = 0.25;

QFont sized(const QFont& font, double points) {
  QFont f = font;
  f.setPointSizeF(points);
  return f;
}

double lineHeightOf(const QFont& font) {
  return QFontMetricsF(font).height();
}

double lineSpacingOf(const QFont& font) {
  return QFontMetricsF(font).lineSpacing();
}

bool isSpace(QChar c) {
  return c == u' ' || c == QChar(0x3000);
}

QString trimSpaces(const QString& s) {
  qsizetype from = 0, to = s.size();
  while (from < to && isSpace(s[from])) ++from;
  while (to > from && isSpace(s[to - 1])) --to;
  return s.mid(from, to - from);
}

// Positions inside text where it may be broken: line-break opportunities if there are any,
// otherwise between any two characters.
std::vector<qsizetype> breaksOf(const QString& text, QTextBoundaryFinder::BoundaryType type) {
  std::vector<qsizetype> at;
  QTextBoundaryFinder finder(type, text);
  for (qsizetype p = finder.toNextBoundary(); p > 0 && p < text.size(); p = finder.toNextBoundary())
    at.push_back(p);
  return at;
}

std::vector<qsizetype> lineBreaksOf(const QString& text) {
  std::vector<qsizetype> at = breaksOf(text, QTextBoundaryFinder::Line);
  return at.empty() ? breaksOf(text, QTextBoundaryFinder::Grapheme) : at;
}

// The longest start of text that ends on a boundary of the given kind and is no wider than
// width; empty when not even the first piece fits.
qsizetype fittingPrefix(const QString& text, const QFont& font, double width,
                        const std::vector<qsizetype>& boundaries) {
  qsizetype best = 0;
  for (qsizetype p : boundaries) {
    if (advanceOf(trimSpaces(text.left(p)), font) > width) break;
    best = p;
  }
  if (advanceOf(text, font) <= width) best = text.size();
  return best;
}

struct Split {
  QString first, second;
  double widest = std::numeric_limits<double>::infinity();
};

// The break that leaves the wider of the two lines as narrow as it can be.
Split bestSplit(const QString& text, const QFont& font) {
  Split best;
  for (qsizetype p : lineBreaksOf(text)) {
    const QString a = trimSpaces(text.left(p));
    const QString b = trimSpaces(text.mid(p));
    if (a.isEmpty() || b.isEmpty()) continue;
    const double widest = std::max(advanceOf(a, font), advanceOf(b, font));
    if (widest < best.widest) best = {a, b, widest};
  }
  return best;
}

TextRun runAt(const QString& text, const QFont& font, const QRectF& box, Align align, double top) {
  const double width = advanceOf(text, font);
  double x = box.left();
  if (align == Align::Centre) x += (box.width() - width) / 2;
  return {text, {x, top}, width};
}

CaptionFit oneLine(const QString& text, const QFont& font, const QRectF& box, Align align) {
  CaptionFit out;
  out.font = font;
  out.lineHeight = lineHeightOf(font);
  out.runs.push_back(runAt(text, font, box, align, box.top()));
  return out;
}

CaptionFit twoLines(const QString& a, const QString& b, const QFont& font, const QRectF& box,
                    Align align) {
  CaptionFit out;
  out.font = font;
  out.lineHeight = lineHeightOf(font);
  out.twoLines = true;
  out.runs.push_back(runAt(a, font, box, align, box.top()));
  out.runs.push_back(runAt(b, font, box, align, box.top() + lineSpacingOf(font)));
  return out;
}

bool twoLinesFitIn(const QFont& font, const QRectF& box) {
  return lineSpacingOf(font) + lineHeightOf(font) <= box.height();
}

// Sizes from the largest below points down to the floor, in steps.
std::vector<double> smallerSizes(double points) {
  std::vector<double> sizes;
  const double floor = points * kSmallestShare;
  for (double p = std::floor((points - kSizeStep / 2) / kSizeStep) * kSizeStep; p > floor;
       p -= kSizeStep)
    sizes.push_back(p);
  sizes.push_back(floor);
  return sizes;
}

}  // namespace

QRectF CaptionFit::textRect() const {
  QRectF all;
  for (const TextRun& run : runs)
    if (!run.text.isEmpty()) all |= QRectF(run.origin, QSizeF(run.width, lineHeight));
  return all;
}

double advanceOf(const QString& text, const QFont& font) {
  // Measured as the glyph runs are laid out, so a centred caption stands exactly where the
  // canvas always centred it.
  QTextLayout layout(text, font);
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

CaptionFit fitCaption(const QString& caption, const QFont& font, const QRectF& box, Align align) {
  if (caption.isEmpty()) {
    CaptionFit out;
    out.font = font;
    out.lineHeight = lineHeightOf(font);
    return out;
  }
  if (advanceOf(caption, font) <= box.width()) return oneLine(caption, font, box, align);

  const double points = font.pointSizeF();
  const std::vector<double> sizes = smallerSizes(points);
  for (double p : sizes) {
    const QFont f = sized(font, p);
    if (advanceOf(caption, f) > box.width()) continue;
    CaptionFit out = oneLine(caption, f, box, align);
    out.shrunk = true;
    out.atFloor = p == sizes.back();
    return out;
  }

  const QFont smallest = sized(font, sizes.back());
  if (twoLinesFitIn(smallest, box)) {
    // Two lines at the largest size that takes them, from the full size down.
    std::vector<double> tried = {points};
    tried.insert(tried.end(), sizes.begin(), sizes.end());
    for (double p : tried) {
      const QFont f = sized(font, p);
      if (!twoLinesFitIn(f, box)) continue;
      const Split split = bestSplit(caption, f);
      if (split.widest > box.width()) continue;
      CaptionFit out = twoLines(split.first, split.second, f, box, align);
      out.shrunk = p < points;
      out.atFloor = p == sizes.back();
      return out;
    }
    // Too long even for two lines: fill the first as far as a break allows, cut the second.
    const qsizetype firstEnd = fittingPrefix(caption, smallest, box.width(), lineBreaksOf(caption));
    const QString rest = trimSpaces(caption.mid(firstEnd));
    const qsizetype secondEnd =
        fittingPrefix(rest, smallest, box.width(), breaksOf(rest, QTextBoundaryFinder::Grapheme));
    CaptionFit out =
        twoLines(trimSpaces(caption.left(firstEnd)), rest.left(secondEnd), smallest, box, align);
    out.shrunk = out.atFloor = out.clipped = true;
    return out;
  }

  const qsizetype end = fittingPrefix(caption, smallest, box.width(),
                                      breaksOf(caption, QTextBoundaryFinder::Grapheme));
  CaptionFit out = oneLine(caption.left(end), smallest, box, align);
  out.shrunk = out.atFloor = out.clipped = true;
  return out;
}

QStringList splitCells(const QString& caption) {
  QStringList cells;
  QString cell;
  for (qsizetype i = 0; i < caption.size();) {
    qsizetype run = 0;
    while (i + run < caption.size() && isSpace(caption[i + run])) ++run;
    if (run >= 2) {
      // A leading run leaves an empty first cell; trailing spaces only pad the row.
      if (!cell.isEmpty() || cells.isEmpty()) cells.append(cell);
      cell.clear();
      i += run;
    } else {
      cell += caption[i++];
    }
  }
  if (!cell.isEmpty()) cells.append(cell);
  return cells;
}

std::vector<CaptionFit> layoutTable(const std::vector<TableRow>& rows) {
  std::vector<CaptionFit> out(rows.size());
  if (rows.empty()) return out;

  for (double share = 1.0;; share = std::max(kSmallestShare, share - 0.025)) {
    size_t columns = 0;
    for (const TableRow& row : rows)
      columns = std::max(columns, static_cast<size_t>(row.cells.size()));
    std::vector<double> widest(columns, 0.0);
    double fullGap = 0, leastGap = 0;
    std::vector<QFont> fonts;
    for (const TableRow& row : rows) {
      const QFont f = sized(row.font, row.font.pointSizeF() * share);
      fonts.push_back(f);
      fullGap = std::max(fullGap, advanceOf(QStringLiteral("\u3000"), f));
      leastGap = std::max(leastGap, advanceOf(QStringLiteral(" "), f));
      for (qsizetype k = 0; k < row.cells.size(); ++k)
        widest[static_cast<size_t>(k)] =
            std::max(widest[static_cast<size_t>(k)], advanceOf(row.cells[k], f));
    }
    // How far the widest-reaching row overruns its box at a given gap (negative: room left).
    auto overrun = [&](double gap) {
      double worst = -std::numeric_limits<double>::infinity();
      for (size_t r = 0; r < rows.size(); ++r) {
        const QStringList& cells = rows[r].cells;
        if (cells.isEmpty()) continue;
        double x = 0;
        for (qsizetype k = 0; k + 1 < cells.size(); ++k) x += widest[static_cast<size_t>(k)] + gap;
        worst = std::max(worst, x + advanceOf(cells.back(), fonts[r]) - rows[r].box.width());
      }
      return worst;
    };
    double gap = fullGap;
    if (overrun(gap) > 0 && columns > 1)
      gap = std::max(leastGap, gap - overrun(gap) / static_cast<double>(columns - 1));
    const bool fits = overrun(gap) <= 1e-6;
    if (!fits && share > kSmallestShare) continue;

    for (size_t r = 0; r < rows.size(); ++r) {
      const TableRow& row = rows[r];
      CaptionFit& layout = out[r];
      layout.font = fonts[r];
      layout.lineHeight = lineHeightOf(fonts[r]);
      layout.shrunk = share < 1.0;
      layout.atFloor = share <= kSmallestShare;
      double x = row.box.left();
      for (qsizetype k = 0; k < row.cells.size(); ++k) {
        const QString& cell = row.cells[k];
        double width = advanceOf(cell, fonts[r]);
        QString shown = cell;
        if (x + width > row.box.right()) {
          // Only at the floor can a cell still overrun: it is cut between two characters.
          const qsizetype end = fittingPrefix(cell, fonts[r], std::max(0.0, row.box.right() - x),
                                              breaksOf(cell, QTextBoundaryFinder::Grapheme));
          shown = cell.left(end);
          width = advanceOf(shown, fonts[r]);
          layout.clipped = true;
        }
        layout.runs.push_back({shown, {x, row.box.top()}, width});
        x += widest[static_cast<size_t>(k)] + gap;
      }
    }
    return out;
  }
}

}  // namespace milka::platform
