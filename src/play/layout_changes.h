// What a window that draws elsewhere (the browser's page) takes of the layout after every event,
// beside the form's own changes: each label's caption as fitted (the font it is drawn in and its
// runs, placed from the label's top left, so a label that only moves keeps its fit), the markers
// for runners out of view, and where each picture that moved glides from. Only what changed
// since the window last asked; the first time, and after forget(), every label.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "play/glide.h"
#include "play/runner_markers.h"
#include "play/screen_layout.h"
#include "play/text_measure.h"
#include "shell/form.h"
#include "shell/game_state.h"

namespace milka::play {

class LayoutChanges {
 public:
  explicit LayoutChanges(TextMeasure& measure) : layouter_(measure), words_(measure) {}

  // {"layout": {"7": {"font": [gothic, points, bold], "runs": [[text, dx, dy], …]}, …},
  //  "markers": {"font": [gothic, points], "list": [{"rect": [x, y, w, h], "colour": rgb,
  //               "number": [text, x, y], "gap": [text, x, y]}, …]},
  //  "glides": {"12": fromTwips, …}}, each part there only when it has something to say.
  // Glides only when gliding, and never on the first answer: nothing was drawn to glide from.
  std::string since(const Form& form, const GameState& state, bool gliding);
  void forget() { known_ = false; }

  // Label n's fit with its runs placed from the label's own top left.
  static CaptionFit fromLabel(const CaptionFit& fit, const Label& label);

 private:
  ScreenLayouter layouter_;
  MarkerWords words_;
  bool known_ = false;
  std::array<CaptionFit, kLabelCount + 1> fits_{};
  RaceMarkers markers_;
  Pictures pictures_{};
};

}  // namespace milka::play
