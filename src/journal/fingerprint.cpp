#include "journal/fingerprint.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <string>

#include "journal/session.h"

namespace milka::journal {

namespace {

class Sum {
 public:
  void bytes(const void* p, size_t n) {
    const auto* b = static_cast<const unsigned char*>(p);
    for (size_t i = 0; i < n; ++i) h_ = (h_ ^ b[i]) * 0x100000001B3ull;
  }
  void add(int32_t v) { bytes(&v, sizeof v); }
  void add(int16_t v) { add(static_cast<int32_t>(v)); }
  void add(uint32_t v) { add(static_cast<int32_t>(v)); }
  void add(bool v) { add(static_cast<int32_t>(v)); }
  void add(float v) {
    // The float's own bits (what std::bit_cast gives, which the browser's libc++ lacks).
    int32_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    add(bits);
  }
  void add(const std::string& s) {
    add(static_cast<int32_t>(s.size()));
    bytes(s.data(), s.size());
  }
  template <typename T, size_t N>
  void add(const std::array<T, N>& a) {
    for (const T& v : a) add(v);
  }
  template <typename... T>
  void all(const T&... v) {
    (add(v), ...);
  }
  uint64_t value() const { return h_; }

 private:
  uint64_t h_ = 0xCBF29CE484222325ull;
};

}  // namespace

uint64_t fingerprint(const Game& g) {
  Sum sum;
  const Form& f = g.form;
  sum.all(f.caption, f.backColour);
  for (const Label& l : f.labels)
    sum.all(l.caption, l.foreColour, l.backColour, l.transparent, l.bold, l.fontSize,
            static_cast<int32_t>(l.alignment), static_cast<int32_t>(l.face), l.left, l.top, l.width,
            l.height);
  for (const Picture& p : f.images)
    sum.all(p.left, p.top, p.width, p.height, static_cast<int32_t>(p.sprite.kind),
            static_cast<int32_t>(p.sprite.coat), p.sprite.facingLeft, p.sprite.frame);
  for (const Button& b : f.commands) sum.all(b.caption, b.left, b.top, b.width, b.height);
  for (const TextBox* t : {&f.text1, &f.text2}) sum.all(t->text, t->left, t->top, t->fontSize);

  const GameState& s = g.state;
  sum.all(s.buttonTicks, s.screenState, s.setupPhase, s.cursorRow, s.tablePage, s.nameLength,
          s.sireIndex, s.damIndex, s.horseName, s.horseSpeed, s.horseWhips, s.horseKeys,
          s.horseStyle, s.horseGrowth, s.horseDistance, s.bodyWeight, s.bestWeight, s.horseAge,
          s.horseClass, s.racesRun, s.month, s.raceName, s.venue, s.trackSurface, s.lapsToGo,
          s.rivalPick, s.jockeyPick, s.bigRaceEntered, s.bigRaceWon, s.bigRaceTime, s.sendEnabled,
          s.finishPlace, s.placeCount, s.resultsShown, s.keySymbolIndex, s.targetKey,
          s.keyPromptState, s.raceTicks, s.startCountdown, s.playerFinished, s.afterFinishTicks,
          s.raceFinished, s.runnerPower, s.runnerPos, s.runnerRank, s.commentaryState,
          s.commentaryTicks, s.straightStage, s.finishStage, s.titleColourTicks, s.promptBlinkTicks,
          s.titleFrameToggle);
  return sum.value();
}

std::string traceOf(const Reading& r) {
  Session session(r.header);
  uint64_t sum = 0, last = fingerprint(session.game());
  for (const Event& e : r.events) {
    session.feed(e);
    last = fingerprint(session.game());
    sum = (sum ^ last) * 0x100000001B3ull;
  }
  char line[64];
  std::snprintf(line, sizeof line, "%zu %016llx %016llx", r.events.size(),
                static_cast<unsigned long long>(sum), static_cast<unsigned long long>(last));
  return line;
}

}  // namespace milka::journal
