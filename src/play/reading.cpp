#include "play/reading.h"

#include <algorithm>
#include <cmath>

#include "play/json_out.h"
#include "shell/screens.h"

namespace milka::play {
namespace {

constexpr int kCommentary = 39;
constexpr int kBoardHeader = 27;  // the racecourse, the race and the surface
constexpr int kBoardFirstRow = 17;
constexpr int kBoardLastRow = 26;
// Captions whose middles lie this close (in twips) read as one line: the race's figures sit a
// few twips apart from the words around them.
constexpr float kSameLine = 200;

// Spaces, full-width ones included, read as nothing; so do the rails' rows of "┳".
bool silent(const std::string& caption) {
  std::string_view rest = caption;
  while (!rest.empty()) {
    if (rest.front() == ' ' || rest.front() == '\n' || rest.front() == '\r') {
      rest.remove_prefix(1);
    } else if (rest.starts_with("\u3000") || rest.starts_with("\u2533")) {
      rest.remove_prefix(3);
    } else {
      return false;
    }
  }
  return true;
}

// Runs of spaces that line the board's columns up read as one pause.
std::string spoken(const std::string& caption) {
  std::string out;
  bool space = false;
  for (std::string_view rest = caption; !rest.empty();) {
    const size_t width = rest.starts_with("\u3000") ? 3 : 1;
    if (width == 3 || rest.front() == ' ') {
      space = true;
    } else {
      if (space && !out.empty() && out.back() != '\n' && rest.front() != '\n') out += ' ';
      space = false;
      out += rest.front();
    }
    rest.remove_prefix(width);
  }
  return out;
}

bool onScreen(const Label& l, const Form& form) {
  return l.left + l.width > 0 && l.left < form.clientWidth && l.top + l.height > 0 &&
         l.top < form.clientHeight;
}

std::string boardText(const Form& form) {
  std::string text = spoken(form.label(kBoardHeader).caption);
  for (int n = kBoardFirstRow; n <= kBoardLastRow; n++) {
    text += '\n';
    text += spoken(form.label(n).caption);
  }
  return text;
}

}  // namespace

Reading readingOf(const Game& game) {
  const Form& form = game.form;
  struct Shown {
    float middle, left;
    const std::string* caption;
  };
  std::vector<Shown> shown;
  for (int n = 1; n <= kLabelCount; n++) {
    const Label& l = form.label(n);
    if (onScreen(l, form) && !silent(l.caption))
      shown.push_back({l.top + l.height / 2, l.left, &l.caption});
  }
  std::stable_sort(shown.begin(), shown.end(),
                   [](const Shown& a, const Shown& b) { return a.middle < b.middle; });

  Reading reading;
  for (size_t first = 0; first < shown.size();) {
    size_t end = first + 1;
    while (end < shown.size() && shown[end].middle - shown[first].middle < kSameLine) end++;
    std::stable_sort(shown.begin() + static_cast<long>(first), shown.begin() + static_cast<long>(end),
                     [](const Shown& a, const Shown& b) { return a.left < b.left; });
    std::string line;
    for (size_t k = first; k < end; k++) {
      if (!line.empty()) line += ' ';
      line += spoken(*shown[k].caption);
    }
    reading.lines.push_back(std::move(line));
    first = end;
  }

  const GameState& s = game.state;
  if (s.screenState == screen::kRace && !silent(form.label(kCommentary).caption))
    reading.spoken = spoken(form.label(kCommentary).caption);
  else if (s.screenState == screen::kResults && s.resultsShown == 1)
    reading.spoken = boardText(form);
  return reading;
}

std::string readingJson(const Reading& reading) {
  std::string out = "{\"lines\":[";
  for (size_t k = 0; k < reading.lines.size(); k++) {
    if (k > 0) out += ',';
    json::quoted(out, reading.lines[k]);
  }
  out += "],\"spoken\":";
  json::quoted(out, reading.spoken);
  out += '}';
  return out;
}

}  // namespace milka::play
