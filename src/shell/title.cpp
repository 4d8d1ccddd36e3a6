// The title screen: the prompt blinks, the title changes colour and bobs, and five horses gallop
// across. It runs only while the title is up, and nothing ever restarts it.
#include "shell/title.h"

#include "shell/game.h"
#include "shell/title_tables.h"

namespace milka::shell {

namespace {

constexpr float kParkedTop = -2460;
constexpr float kWrapAt = 10900;
constexpr float kWrapTo = -30;
constexpr float kTitleResetFrom = 840;
constexpr float kTitleResetTo = 550;

uint32_t titleColour(int32_t ticks) {
  const int32_t band = (ticks - 1) / 4;
  if (band < 0) return kTitleColours[0];
  if (band > 2) return kTitleColours[2];
  return kTitleColours[static_cast<size_t>(band)];
}

}  // namespace

void titleTick(Game& g) {
  GameState& s = g.state;
  Form& f = g.form;
  if (s.screenState != screen::kTitle) return;

  s.titleColourTicks += 1;
  s.promptBlinkTicks += 1;

  Label& prompt = f.label(15);
  if (s.promptBlinkTicks > 2)
    prompt.caption = "画面下のＡボタンを押して下さい↓";
  else
    prompt.caption.clear();
  prompt.foreColour = s.promptBlinkTicks == 5 ? 0x0000FF : 0xFFFFFF;
  if (s.promptBlinkTicks == 7) s.promptBlinkTicks = 0;

  Label& title = f.label(14);
  title.backColour = titleColour(s.titleColourTicks);
  if (s.titleColourTicks > 11) s.titleColourTicks = 0;

  for (const GallopRow& row : kGallopRows) {
    Picture& lead = f.image(row.lead);
    lead.left += row.step;
    f.image(row.follower).left = lead.left + row.step;
  }

  const bool odd = s.titleFrameToggle == 1;
  for (const GallopRow& row : kGallopRows) {
    const int shown = odd ? row.shownOdd : row.shownEven;
    const int parked = shown == row.lead ? row.follower : row.lead;
    f.image(shown).top = row.rowTop;
    f.image(parked).top = kParkedTop;
  }
  // Down 30 and up 20: the title sinks a little every two ticks until it is lifted back.
  if (odd) {
    title.left += 70;
    title.top += 30;
    s.titleFrameToggle = 0;
  } else {
    title.left -= 70;
    title.top -= 20;
    s.titleFrameToggle = 1;
  }
  if (title.top == kTitleResetFrom) title.top = kTitleResetTo;

  for (int n = 13; n <= 22; ++n)
    if (f.image(n).left >= kWrapAt) f.image(n).left = kWrapTo;

  for (const LateSpurt& spurt : kLateSpurts) {
    Picture& horse = f.image(spurt.picture);
    if (horse.left >= spurt.mark) horse.left += spurt.extra;
  }
}

}  // namespace milka::shell
