#include "play/caption_fit.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "play/text_breaks.h"

namespace milka::play {

namespace {

// Sizes are tried in quarter points: fine enough that a caption loses no more than it must.
constexpr double kSizeStep = 0.25;

Font sized(const Font& font, double points) {
  Font f = font;
  f.points = points;
  return f;
}

double lineHeightOf(const Font& font, TextMeasure& measure) {
  return measure.ascent(font) + measure.descent(font);
}

double lineSpacingOf(const Font& font, TextMeasure& measure) {
  return measure.ascent(font) + measure.descent(font) + measure.leading(font);
}

bool isSpace(char32_t c) {
  return c == U' ' || c == U'\u3000';
}

// The length of the run of spaces that starts at byte `at`, in bytes.
size_t spacesAt(std::string_view s, size_t at) {
  size_t end = at;
  while (end < s.size()) {
    const CodePoint c = codePointAt(s, end);
    if (!isSpace(c.value)) break;
    end = c.next;
  }
  return end - at;
}

std::string_view trimSpaces(std::string_view s) {
  s.remove_prefix(spacesAt(s, 0));
  // From the end by bytes: no character's bytes end in a space's.
  for (;;) {
    if (s.ends_with(' ')) {
      s.remove_suffix(1);
    } else if (s.ends_with("\u3000")) {
      s.remove_suffix(3);
    } else {
      return s;
    }
  }
}

// Places inside text where it may be broken onto two lines: line-break opportunities if there
// are any, otherwise between any two characters.
std::vector<size_t> lineBreaksOf(std::string_view text) {
  std::vector<size_t> at = lineBreaks(text);
  return at.empty() ? characterBreaks(text) : at;
}

// The longest start of text that ends on one of the given boundaries and is no wider than width;
// empty when not even the first piece fits.
size_t fittingPrefix(std::string_view text, const Font& font, double width,
                     const std::vector<size_t>& boundaries, TextMeasure& measure) {
  size_t best = 0;
  for (size_t p : boundaries) {
    if (measure.advance(trimSpaces(text.substr(0, p)), font) > width) break;
    best = p;
  }
  if (measure.advance(text, font) <= width) best = text.size();
  return best;
}

struct Split {
  std::string_view first, second;
  double widest = std::numeric_limits<double>::infinity();
};

// The break that leaves the wider of the two lines as narrow as it can be.
Split bestSplit(std::string_view text, const Font& font, TextMeasure& measure) {
  Split best;
  for (size_t p : lineBreaksOf(text)) {
    const std::string_view a = trimSpaces(text.substr(0, p));
    const std::string_view b = trimSpaces(text.substr(p));
    if (a.empty() || b.empty()) continue;
    const double widest = std::max(measure.advance(a, font), measure.advance(b, font));
    if (widest < best.widest) best = {a, b, widest};
  }
  return best;
}

TextRun runAt(std::string_view text, const Font& font, const Rect& box, Align align, double top,
              TextMeasure& measure) {
  const double width = measure.advance(text, font);
  double x = box.left();
  if (align == Align::Centre) x += (box.width - width) / 2;
  return {std::string(text), {x, top}, width};
}

CaptionFit oneLine(std::string_view text, const Font& font, const Rect& box, Align align,
                   TextMeasure& measure) {
  CaptionFit out;
  out.font = font;
  out.lineHeight = lineHeightOf(font, measure);
  out.runs.push_back(runAt(text, font, box, align, box.top(), measure));
  return out;
}

CaptionFit twoLines(std::string_view a, std::string_view b, const Font& font, const Rect& box,
                    Align align, TextMeasure& measure) {
  CaptionFit out;
  out.font = font;
  out.lineHeight = lineHeightOf(font, measure);
  out.twoLines = true;
  out.runs.push_back(runAt(a, font, box, align, box.top(), measure));
  out.runs.push_back(runAt(b, font, box, align, box.top() + lineSpacingOf(font, measure), measure));
  return out;
}

bool twoLinesFitIn(const Font& font, const Rect& box, TextMeasure& measure) {
  return lineSpacingOf(font, measure) + lineHeightOf(font, measure) <= box.height;
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

Rect CaptionFit::textRect() const {
  Rect all;
  for (const TextRun& run : runs)
    if (!run.text.empty()) all = all.united({run.origin.x, run.origin.y, run.width, lineHeight});
  return all;
}

CaptionFit fitCaption(std::string_view caption, const Font& font, const Rect& box, Align align,
                      TextMeasure& measure) {
  if (caption.empty()) {
    CaptionFit out;
    out.font = font;
    out.lineHeight = lineHeightOf(font, measure);
    return out;
  }
  if (measure.advance(caption, font) <= box.width)
    return oneLine(caption, font, box, align, measure);

  const std::vector<double> sizes = smallerSizes(font.points);
  for (double p : sizes) {
    const Font f = sized(font, p);
    if (measure.advance(caption, f) > box.width) continue;
    CaptionFit out = oneLine(caption, f, box, align, measure);
    out.shrunk = true;
    out.atFloor = p == sizes.back();
    return out;
  }

  const Font smallest = sized(font, sizes.back());
  if (twoLinesFitIn(smallest, box, measure)) {
    // Two lines at the largest size that takes them, from the full size down.
    std::vector<double> tried = {font.points};
    tried.insert(tried.end(), sizes.begin(), sizes.end());
    for (double p : tried) {
      const Font f = sized(font, p);
      if (!twoLinesFitIn(f, box, measure)) continue;
      const Split split = bestSplit(caption, f, measure);
      if (split.widest > box.width) continue;
      CaptionFit out = twoLines(split.first, split.second, f, box, align, measure);
      out.shrunk = p < font.points;
      out.atFloor = p == sizes.back();
      return out;
    }
    // Too long even for two lines: fill the first as far as a break allows, cut the second.
    const size_t firstEnd =
        fittingPrefix(caption, smallest, box.width, lineBreaksOf(caption), measure);
    const std::string_view rest = trimSpaces(caption.substr(firstEnd));
    const size_t secondEnd =
        fittingPrefix(rest, smallest, box.width, characterBreaks(rest), measure);
    CaptionFit out = twoLines(trimSpaces(caption.substr(0, firstEnd)), rest.substr(0, secondEnd),
                              smallest, box, align, measure);
    out.shrunk = out.atFloor = out.clipped = true;
    return out;
  }

  const size_t end = fittingPrefix(caption, smallest, box.width, characterBreaks(caption), measure);
  CaptionFit out = oneLine(caption.substr(0, end), smallest, box, align, measure);
  out.shrunk = out.atFloor = out.clipped = true;
  return out;
}

std::vector<std::string> splitCells(std::string_view caption) {
  std::vector<std::string> cells;
  std::string cell;
  for (size_t i = 0; i < caption.size();) {
    const size_t spaces = spacesAt(caption, i);
    const CodePoint c = codePointAt(caption, i);
    if (spaces > c.next - i) {
      // Two or more: a leading run leaves an empty first cell; trailing spaces only pad the row.
      if (!cell.empty() || cells.empty()) cells.push_back(cell);
      cell.clear();
      i += spaces;
    } else {
      cell.append(caption.substr(i, c.next - i));
      i = c.next;
    }
  }
  if (!cell.empty()) cells.push_back(cell);
  return cells;
}

std::vector<CaptionFit> layoutTable(const std::vector<TableRow>& rows, TextMeasure& measure) {
  std::vector<CaptionFit> out(rows.size());
  if (rows.empty()) return out;

  for (double share = 1.0;; share = std::max(kSmallestShare, share - 0.025)) {
    size_t columns = 0;
    for (const TableRow& row : rows) columns = std::max(columns, row.cells.size());
    std::vector<double> widest(columns, 0.0);
    double fullGap = 0, leastGap = 0;
    std::vector<Font> fonts;
    for (const TableRow& row : rows) {
      const Font f = sized(row.font, row.font.points * share);
      fonts.push_back(f);
      fullGap = std::max(fullGap, measure.advance("\u3000", f));
      leastGap = std::max(leastGap, measure.advance(" ", f));
      for (size_t k = 0; k < row.cells.size(); ++k)
        widest[k] = std::max(widest[k], measure.advance(row.cells[k], f));
    }
    // How far the widest-reaching row overruns its box at a given gap (negative: room left).
    auto overrun = [&](double gap) {
      double worst = -std::numeric_limits<double>::infinity();
      for (size_t r = 0; r < rows.size(); ++r) {
        const std::vector<std::string>& cells = rows[r].cells;
        if (cells.empty()) continue;
        double x = 0;
        for (size_t k = 0; k + 1 < cells.size(); ++k) x += widest[k] + gap;
        worst = std::max(worst, x + measure.advance(cells.back(), fonts[r]) - rows[r].box.width);
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
      layout.lineHeight = lineHeightOf(fonts[r], measure);
      layout.shrunk = share < 1.0;
      layout.atFloor = share <= kSmallestShare;
      double x = row.box.left();
      for (size_t k = 0; k < row.cells.size(); ++k) {
        const std::string& cell = row.cells[k];
        double width = measure.advance(cell, fonts[r]);
        std::string_view shown = cell;
        if (x + width > row.box.right()) {
          // Only at the floor can a cell still overrun: it is cut between two characters.
          const size_t end = fittingPrefix(cell, fonts[r], std::max(0.0, row.box.right() - x),
                                           characterBreaks(cell), measure);
          shown = shown.substr(0, end);
          width = measure.advance(shown, fonts[r]);
          layout.clipped = true;
        }
        layout.runs.push_back({std::string(shown), {x, row.box.top()}, width});
        x += widest[k] + gap;
      }
    }
    return out;
  }
}

}  // namespace milka::play
