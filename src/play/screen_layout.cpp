#include "play/screen_layout.h"

#include <algorithm>
#include <vector>

namespace milka::play {

namespace {

constexpr float kTwipsPerPixel = 15.0f;
// Enough captions for every screen and a few races' worth of changing lines; past it the memo
// starts again rather than growing for as long as the window is open.
constexpr size_t kRememberedCaptions = 1024;

}  // namespace

Font fontOf(const Label& label) {
  return {label.face, label.fontSize, label.bold};
}

bool paintedAbove(int a, int b) {
  if (a == 9 || b == 9) return b == 9 && a != 9;
  return a > b;
}

namespace {

// Labels a and b, their words standing in inkA and inkB: whether the words run into each other.
bool inkCollides(const Form& form, int a, int b, const Rect& inkA, const Rect& inkB) {
  const int upper = paintedAbove(a, b) ? a : b;
  if (!form.label(upper).transparent) return false;
  return inkA.adjusted(-kWordGap, 0, kWordGap, 0).intersects(inkB);
}

}  // namespace

bool wordsCollide(const Form& form, const ScreenLayout& layout, int a, int b) {
  return inkCollides(form, a, b, layout.labels[static_cast<size_t>(a)].textRect(),
                     layout.labels[static_cast<size_t>(b)].textRect());
}

bool rowsAreTable(const GameState& s) {
  return s.screenState == screen::kBreeding || s.screenState == screen::kRaceCard ||
         s.screenState == screen::kResults;
}

Rect boxOf(const Label& label) {
  return {label.left / kTwipsPerPixel, label.top / kTwipsPerPixel, label.width / kTwipsPerPixel,
          label.height / kTwipsPerPixel};
}

bool isVisibleCaption(const Form& form, int n) {
  const Label& label = form.label(n);
  if (label.caption.find_first_not_of(' ') == std::string::npos) return false;
  const Rect client{0, 0, form.clientWidth / kTwipsPerPixel, form.clientHeight / kTwipsPerPixel};
  return boxOf(label).intersects(client);
}

CaptionFit ScreenLayouter::fitted(const Label& label, const Rect& box) {
  Key key{label.caption,   label.face, label.fontSize, label.bold,
          label.alignment, box.width,  box.height};
  auto at = fitted_.find(key);
  if (at == fitted_.end()) {
    if (fitted_.size() >= kRememberedCaptions) fitted_.clear();
    const Rect atOrigin{0, 0, box.width, box.height};
    at = fitted_
             .emplace(std::move(key),
                      fitCaption(label.caption, fontOf(label), atOrigin, label.alignment, measure_))
             .first;
  }
  CaptionFit placed = at->second;
  for (TextRun& run : placed.runs) run.origin += box.topLeft();
  return placed;
}

const ScreenLayout& ScreenLayouter::layOut(const Form& form, bool tables) {
  if (generation_ > 0 && tables == laidTables_ && form.clientWidth == laidWidth_ &&
      form.clientHeight == laidHeight_ && form.labels == laidLabels_)
    return laid_;
  laidLabels_ = form.labels;
  laidWidth_ = form.clientWidth;
  laidHeight_ = form.clientHeight;
  laidTables_ = tables;
  ++generation_;
  ScreenLayout& out = laid_;
  std::array<bool, kLabelCount + 1> shown{};
  std::array<bool, kLabelCount + 1> inTable{};
  for (int n = 1; n <= kLabelCount; ++n) {
    shown[static_cast<size_t>(n)] = isVisibleCaption(form, n);
    const Label& label = form.label(n);
    const auto i = static_cast<size_t>(n);
    if (!known_[i] || !(seen_[i] == label)) {
      natural_[i] = fitted(label, boxOf(label));
      seen_[i] = label;
      known_[i] = true;
    }
    out.labels[i] = natural_[i];
  }

  if (tables) {
    std::vector<TableRow> rows;
    std::vector<int> which;
    for (int n = kFirstTableLabel; n <= kLastTableLabel; ++n) {
      if (!shown[static_cast<size_t>(n)]) continue;
      const Label& label = form.label(n);
      rows.push_back({splitCells(label.caption), fontOf(label), boxOf(label)});
      which.push_back(n);
    }
    if (rows != tableRows_) {
      tableLayout_ = layoutTable(rows, measure_);
      tableRows_ = std::move(rows);
    }
    for (size_t i = 0; i < which.size(); ++i) {
      out.labels[static_cast<size_t>(which[i])] = tableLayout_[i];
      inTable[static_cast<size_t>(which[i])] = true;
    }
  }

  // Where two captions run into each other, one keeps to the part of its box clear of the
  // other's words: the one that starts further left gives up its right-hand side, unless it is
  // a table row, whose columns stay where the table put them; then the other gives up its left.
  // A second pass catches a caption that moved into a third one's way.
  // Where ink can be, label by label, kept up to date as captions give way.
  std::array<Rect, kLabelCount + 1> ink{};
  for (int n = 1; n <= kLabelCount; ++n)
    if (shown[static_cast<size_t>(n)])
      ink[static_cast<size_t>(n)] = out.labels[static_cast<size_t>(n)].textRect();
  for (int pass = 0; pass < 2; ++pass) {
    for (int i = 1; i <= kLabelCount; ++i) {
      for (int j = i + 1; j <= kLabelCount; ++j) {
        const auto a = static_cast<size_t>(i), b = static_cast<size_t>(j);
        if (!shown[a] || !shown[b] || (inTable[a] && inTable[b])) continue;
        if (!inkCollides(form, i, j, ink[a], ink[b])) continue;
        const Rect ra = ink[a], rb = ink[b];
        const bool aIsLeft = ra.left() < rb.left() || (ra.left() == rb.left() && i > j);
        const bool aYields = inTable[b] || (!inTable[a] && aIsLeft);
        const size_t yields = aYields ? a : b;
        const Rect other = aYields ? rb : ra;
        const Label& label = form.label(static_cast<int>(yields));
        Rect box = boxOf(label);
        const double gap = std::max(kWordGap, measure_.advance(" ", fontOf(label)));
        if (aYields == aIsLeft)
          box.setRight(std::min(box.right(), other.left() - gap));
        else
          box.setLeft(std::max(box.left(), other.right() + gap));
        if (box.width <= 0) continue;
        out.labels[yields] = fitted(label, box);
        ink[yields] = out.labels[yields].textRect();
      }
    }
  }
  return out;
}

}  // namespace milka::play
