#include "play/layout_changes.h"

#include "play/json_out.h"

namespace milka::play {

namespace {

void font(std::string& out, FontFace face, double points, bool bold) {
  out += face == FontFace::Gothic ? "[1," : "[0,";
  json::number(out, points);
  out += bold ? ",1]" : ",0]";
}

void run(std::string& out, const TextRun& r) {
  out += '[';
  json::quoted(out, r.text);
  out += ',';
  json::number(out, r.origin.x);
  out += ',';
  json::number(out, r.origin.y);
  out += ']';
}

void fit(std::string& out, const CaptionFit& f) {
  out += "{\"font\":";
  font(out, f.font.face, f.font.points, f.font.bold);
  out += ",\"runs\":[";
  for (size_t i = 0; i < f.runs.size(); ++i) {
    if (i > 0) out += ',';
    run(out, f.runs[i]);
  }
  out += "]}";
}

void marker(std::string& out, const RunnerMarker& m) {
  out += "{\"rect\":[";
  for (const double v : {m.rect.x, m.rect.y, m.rect.width, m.rect.height}) {
    json::number(out, v);
    out += ',';
  }
  out.back() = ']';
  out += ",\"colour\":";
  json::number(out, m.colour);
  out += ",\"number\":";
  run(out, m.number);
  out += ",\"gap\":";
  run(out, m.gap);
  out += '}';
}

}  // namespace

CaptionFit LayoutChanges::fromLabel(const CaptionFit& fit, const Label& label) {
  CaptionFit placed = fit;
  const Point corner = boxOf(label).topLeft();
  for (TextRun& r : placed.runs) r.origin += Point{-corner.x, -corner.y};
  return placed;
}

std::string LayoutChanges::since(const Form& form, const GameState& state, bool gliding) {
  std::string out = "{";
  const ScreenLayout& laid = layouter_.layOut(form, rowsAreTable(state));
  std::string labels;
  for (int n = 1; n <= kLabelCount; ++n) {
    const auto i = static_cast<size_t>(n);
    CaptionFit placed = fromLabel(laid.labels[i], form.label(n));
    if (known_ && placed == fits_[i]) continue;
    labels += labels.empty() ? "\"" : ",\"";
    labels += std::to_string(n) + "\":";
    fit(labels, placed);
    fits_[i] = std::move(placed);
  }
  if (!labels.empty()) out += "\"layout\":{" + labels + "},";

  RaceMarkers markers = raceMarkers(form, state, words_);
  if (!known_ || markers.markers != markers_.markers) {
    // No weight: the number is bold, the gap plain.
    out +=
        kMarkerFace == FontFace::Gothic ? "\"markers\":{\"font\":[1," : "\"markers\":{\"font\":[0,";
    json::number(out, kMarkerPoints);
    out += "],\"list\":[";
    for (size_t i = 0; i < markers.markers.size(); ++i) {
      if (i > 0) out += ',';
      marker(out, markers.markers[i]);
    }
    out += "]},";
  }
  markers_ = std::move(markers);

  if (known_ && gliding) {
    const auto starts = glideStarts(pictures_, form.images, form);
    std::string glides;
    for (int n = 1; n <= kImageCount; ++n) {
      const auto& from = starts[static_cast<size_t>(n)];
      if (!from) continue;
      glides += glides.empty() ? "\"" : ",\"";
      glides += std::to_string(n) + "\":";
      json::number(glides, *from);
    }
    if (!glides.empty()) out += "\"glides\":{" + glides + "},";
  }
  pictures_ = form.images;
  known_ = true;

  if (out.back() == ',') out.pop_back();
  out += '}';
  return out;
}

}  // namespace milka::play
