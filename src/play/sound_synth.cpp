#include "play/sound_synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace milka::play {

namespace {

constexpr float kTwoPi = 2.0f * std::numbers::pi_v<float>;
constexpr float kRate = static_cast<float>(kSampleRate);

size_t framesOf(float seconds) {
  return static_cast<size_t>(seconds * kRate);
}

float midiHz(int note) {
  return 440.0f * std::exp2(static_cast<float>(note - 69) / 12.0f);
}

// Adds `part` into `into` from `atSeconds` on, growing `into` as needed.
void mixIn(Samples& into, const Samples& part, float atSeconds, float gain = 1.0f) {
  const size_t at = framesOf(atSeconds);
  if (into.size() < at + part.size()) into.resize(at + part.size(), 0.0f);
  for (size_t i = 0; i < part.size(); ++i) into[at + i] += part[i] * gain;
}

// A struck bell or music box: a few partials, the higher ones dying sooner, so a note starts
// bright and settles into a round tone.
Samples bell(float hz, float seconds, float gain) {
  static constexpr std::array<float, 5> kRatio = {1.0f, 2.0f, 3.0f, 4.2f, 5.4f};
  static constexpr std::array<float, 5> kLevel = {1.0f, 0.45f, 0.22f, 0.1f, 0.05f};
  Samples out(framesOf(seconds));
  for (size_t i = 0; i < out.size(); ++i) {
    const float t = static_cast<float>(i) / kRate;
    const float attack = std::min(1.0f, t / 0.003f);
    float v = 0;
    for (size_t p = 0; p < kRatio.size(); ++p) {
      const float decay = std::exp(-t * (1.6f + 2.2f * static_cast<float>(p)) / seconds);
      v += kLevel[p] * decay * std::sin(kTwoPi * hz * kRatio[p] * t);
    }
    out[i] = gain * attack * v * 0.5f;
  }
  return out;
}

// A valved brass voice: harmonics falling as 1/n, the upper ones blooming in after the attack,
// a slow vibrato on held notes, and a soft release so notes join without clicks.
Samples brass(float hz, float seconds, float gain) {
  constexpr int kHarmonics = 9;
  const float release = 0.08f;
  Samples out(framesOf(seconds + release));
  float phase = 0;
  for (size_t i = 0; i < out.size(); ++i) {
    const float t = static_cast<float>(i) / kRate;
    const float vibrato = t > 0.18f ? 0.004f * std::sin(kTwoPi * 5.2f * t) : 0.0f;
    phase += kTwoPi * hz * (1.0f + vibrato) / kRate;
    const float bloom = std::min(1.0f, t / 0.06f);
    float v = 0;
    for (int n = 1; n <= kHarmonics; ++n) {
      const float level = (n <= 2 ? 1.0f : bloom) / static_cast<float>(n);
      // Harmonics above 4 kHz make the brass shrill; they are left out.
      if (hz * static_cast<float>(n) > 4000.0f) break;
      v += level * std::sin(phase * static_cast<float>(n));
    }
    float env = std::min(1.0f, t / 0.025f);
    if (t > seconds) env *= std::max(0.0f, 1.0f - (t - seconds) / release);
    out[i] = gain * env * v * 0.35f;
  }
  return out;
}

struct Note {
  float beat, beats;
  int midi;
  float gain;
};

template <typename Instrument>
void play(Samples& into, const std::vector<Note>& notes, float bpm, Instrument instrument,
          float atSeconds = 0) {
  const float beat = 60.0f / bpm;
  for (const Note& n : notes)
    mixIn(into, instrument(midiHz(n.midi), n.beats * beat, n.gain), atSeconds + n.beat * beat);
}

// A kettle-drum stroke: a low tone that sags in pitch, over a puff of noise.
Samples drum(float hz, float seconds, float gain) {
  Samples out(framesOf(seconds));
  Noise noise(77);
  float phase = 0, low = 0;
  for (size_t i = 0; i < out.size(); ++i) {
    const float t = static_cast<float>(i) / kRate;
    phase += kTwoPi * hz * (1.0f + 0.3f * std::exp(-t * 30.0f)) / kRate;
    low += 0.08f * (noise.next() - low);
    const float env = std::exp(-t * 6.0f / seconds);
    out[i] = gain * env * (0.8f * std::sin(phase) + 0.5f * low * std::exp(-t * 40.0f));
  }
  return out;
}

// A hoof on turf and dirt: a dull thump with a sagging pitch, and a short scuff of grit.
Samples hoof(float hz, uint32_t seed) {
  Samples out(framesOf(0.09f));
  Noise noise(seed);
  float phase = 0, grit = 0;
  for (size_t i = 0; i < out.size(); ++i) {
    const float t = static_cast<float>(i) / kRate;
    phase += kTwoPi * hz * (0.6f + 0.8f * std::exp(-t * 45.0f)) / kRate;
    grit += 0.25f * (noise.next() - grit);
    const float body = std::sin(phase) * std::exp(-t * 38.0f);
    const float scuff = grit * std::exp(-t * 90.0f);
    out[i] = std::min(1.0f, t / 0.0015f) * (0.8f * body + 0.45f * scuff);
  }
  return out;
}

// The whip: the crack comes first, within a millisecond of the key, and its bite is kept in
// the band the ear finds lively rather than piercing; a short body of leather follows.
Samples whip() {
  Samples out(framesOf(0.11f));
  Noise noise(4242);
  BandPass bite(2600.0f, 0.9f), snap(4800.0f, 1.5f);
  // Above 6 kHz a crack only hurts; a gentle low-pass takes the hiss off its edge.
  const float smooth = 1.0f - std::exp(-kTwoPi * 6000.0f / kRate);
  float soft = 0;
  for (size_t i = 0; i < out.size(); ++i) {
    const float t = static_cast<float>(i) / kRate;
    const float n = noise.next();
    const float crack = (bite(n) + 0.3f * snap(n)) * std::exp(-t * 130.0f);
    soft += smooth * (crack - soft);
    const float body = std::sin(kTwoPi * 190.0f * t) * std::exp(-t * 70.0f);
    out[i] = std::min(1.0f, t / 0.0007f) * (0.75f * soft + 0.2f * body);
  }
  return out;
}

// The gates: ten latches letting go within a few hundredths of a second, each a little metal
// clang; then the start bell, rung four times.
Samples gatesAndBell() {
  Samples out;
  Noise jitter(99);
  for (int gate = 0; gate < 10; ++gate) {
    const float at = 0.012f * static_cast<float>(gate) + 0.006f * (jitter.next() + 1.0f);
    const float base = 170.0f + 25.0f * (jitter.next() + 1.0f);
    Samples clang(framesOf(0.5f));
    Noise latch(static_cast<uint32_t>(gate + 1) * 1299709u);
    BandPass click(1800.0f, 1.2f);
    static constexpr std::array<float, 4> kPartials = {1.0f, 1.47f, 2.09f, 2.56f};
    for (size_t i = 0; i < clang.size(); ++i) {
      const float t = static_cast<float>(i) / kRate;
      float ring = 0;
      for (size_t p = 0; p < kPartials.size(); ++p)
        ring += std::sin(kTwoPi * base * kPartials[p] * t) *
                std::exp(-t * (7.0f + 5.0f * static_cast<float>(p))) / static_cast<float>(p + 1);
      clang[i] = 0.25f * ring + 0.5f * click(latch.next()) * std::exp(-t * 60.0f);
    }
    mixIn(out, clang, at, 0.08f);
  }
  for (int strike = 0; strike < 4; ++strike)
    mixIn(out, bell(midiHz(86), 1.4f, 0.38f - 0.06f * static_cast<float>(strike)),
          0.15f + 0.14f * static_cast<float>(strike));
  return out;
}

// The stand: many voices as band-passed noise, flickering as single shouts come and go.
Samples crowd(float rise, float hold, float fall, float gain, float brightness, uint32_t seed) {
  Samples out(framesOf(rise + hold + fall));
  Noise noise(seed), flicker(seed * 7u + 1u);
  BandPass chest(420.0f, 0.8f), voice(1100.0f, 0.9f), shout(2300.0f, 1.4f);
  float wobble = 0;
  for (size_t i = 0; i < out.size(); ++i) {
    const float t = static_cast<float>(i) / kRate;
    float env = t < rise ? t / rise : t < rise + hold ? 1.0f : 1.0f - (t - rise - hold) / fall;
    env = env * env * (3.0f - 2.0f * env);  // smooth at both ends
    wobble += 0.0008f * (flicker.next() - wobble);
    const float n = noise.next();
    const float v = chest(n) + 0.8f * voice(n) + brightness * shout(n);
    out[i] = gain * env * (1.0f + 6.0f * wobble) * v;
  }
  return out;
}

Samples withTail(Samples s, float seconds) {
  s.resize(s.size() + framesOf(seconds), 0.0f);
  return s;
}

Samples fanfare() {
  // The game's own call to the post: a triplet pickup, a rising triad and a held top note, in
  // two trumpets a third apart over a drum.
  const std::vector<Note> lead = {
      {0.0f, 0.33f, 67, 0.8f},  {0.33f, 0.33f, 67, 0.8f}, {0.67f, 0.33f, 67, 0.8f},
      {1.0f, 1.0f, 72, 1.0f},   {2.0f, 1.0f, 76, 1.0f},   {3.0f, 0.67f, 79, 1.0f},
      {3.67f, 0.33f, 76, 0.9f}, {4.0f, 0.67f, 79, 1.0f},  {4.67f, 0.33f, 81, 0.9f},
      {5.0f, 3.0f, 84, 1.0f},
  };
  const std::vector<Note> second = {
      {1.0f, 1.0f, 67, 0.8f},   {2.0f, 1.0f, 72, 0.8f},  {3.0f, 0.67f, 76, 0.8f},
      {3.67f, 0.33f, 72, 0.7f}, {4.0f, 0.67f, 76, 0.8f}, {4.67f, 0.33f, 77, 0.7f},
      {5.0f, 3.0f, 79, 0.8f},
  };
  const std::vector<Note> low = {
      {1.0f, 2.0f, 48, 0.7f}, {3.0f, 2.0f, 55, 0.6f}, {5.0f, 3.0f, 48, 0.8f}};
  constexpr float kBpm = 138;
  Samples out;
  play(out, lead, kBpm, brass);
  play(out, second, kBpm, brass);
  play(out, low, kBpm, brass);
  const float beat = 60.0f / kBpm;
  mixIn(out, drum(65.0f, 0.7f, 0.5f), 1.0f * beat);
  mixIn(out, drum(65.0f, 0.7f, 0.4f), 3.0f * beat);
  mixIn(out, drum(65.0f, 1.4f, 0.6f), 5.0f * beat);
  for (float& v : out) v *= 0.42f;
  return withTail(out, 0.3f);
}

Samples careerOver() {
  // A music box looking back: a falling phrase that comes to rest on the home note.
  const std::vector<Note> tune = {
      {0.0f, 1.0f, 76, 0.9f}, {1.0f, 0.5f, 74, 0.8f}, {1.5f, 0.5f, 72, 0.8f},
      {2.0f, 1.0f, 74, 0.9f}, {3.0f, 1.0f, 79, 0.9f}, {4.0f, 0.5f, 76, 0.8f},
      {4.5f, 0.5f, 74, 0.8f}, {5.0f, 3.0f, 72, 1.0f},
  };
  const std::vector<Note> under = {
      {0.0f, 2.0f, 60, 0.5f},  {0.0f, 2.0f, 67, 0.35f}, {2.0f, 1.0f, 55, 0.5f},
      {3.0f, 1.0f, 59, 0.45f}, {4.0f, 1.0f, 57, 0.45f}, {5.0f, 3.0f, 48, 0.5f},
      {5.0f, 3.0f, 64, 0.35f},
  };
  Samples out;
  play(out, tune, 100, bell);
  play(out, under, 100, bell);
  for (float& v : out) v *= 0.5f;
  return withTail(out, 0.2f);
}

Samples titleChime() {
  const std::vector<Note> rising = {
      {0.0f, 1.0f, 72, 0.7f}, {0.5f, 1.0f, 76, 0.7f}, {1.0f, 1.0f, 79, 0.7f},
      {1.5f, 3.0f, 84, 0.8f}, {1.5f, 3.0f, 72, 0.4f},
  };
  Samples out;
  play(out, rising, 112, bell);
  for (float& v : out) v *= 0.28f;
  return out;
}

Samples stable() {
  // Home: two easy steps on straw and one warm note.
  Samples out;
  mixIn(out, hoof(95.0f, 5), 0.0f, 0.22f);
  mixIn(out, hoof(85.0f, 6), 0.32f, 0.18f);
  mixIn(out, bell(midiHz(76), 1.6f, 0.16f), 0.55f);
  mixIn(out, bell(midiHz(72), 1.6f, 0.1f), 0.55f);
  return out;
}

Samples pasture() {
  // Birds over the grass: three short chirps, gliding up.
  Samples out;
  for (int chirp = 0; chirp < 3; ++chirp) {
    Samples one(framesOf(0.09f));
    float phase = 0;
    for (size_t i = 0; i < one.size(); ++i) {
      const float t = static_cast<float>(i) / kRate;
      phase += kTwoPi * (2600.0f + 9000.0f * t) / kRate;
      const float env = std::sin(std::numbers::pi_v<float> * t / 0.09f);
      one[i] = env * env * std::sin(phase);
    }
    mixIn(out, one, 0.13f * static_cast<float>(chirp) + (chirp == 2 ? 0.1f : 0.0f), 0.09f);
  }
  return out;
}

}  // namespace

BandPass::BandPass(float centreHz, float q) {
  const float w = kTwoPi * centreHz / kRate;
  const float alpha = std::sin(w) / (2.0f * q);
  const float a0 = 1.0f + alpha;
  b0_ = alpha / a0;
  b2_ = -alpha / a0;
  a1_ = -2.0f * std::cos(w) / a0;
  a2_ = (1.0f - alpha) / a0;
}

float BandPass::operator()(float x) {
  const float y = b0_ * x + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
  x2_ = x1_;
  x1_ = x;
  y2_ = y1_;
  y1_ = y;
  return y;
}

SoundBank synthesiseSounds() {
  SoundBank bank;
  auto set = [&bank](Cue cue, Samples s) { bank.cues[static_cast<size_t>(cue)] = std::move(s); };
  set(Cue::Title, titleChime());
  set(Cue::Stable, stable());
  set(Cue::Pasture, pasture());
  set(Cue::Fanfare, fanfare());
  set(Cue::Start, gatesAndBell());
  set(Cue::Whip, whip());
  set(Cue::FinalLap, crowd(1.2f, 0.6f, 1.6f, 0.35f, 0.4f, 11));
  set(Cue::Goal, crowd(0.25f, 1.2f, 2.2f, 0.8f, 0.6f, 12));
  set(Cue::WinningGoal, crowd(0.25f, 2.8f, 2.8f, 0.95f, 0.9f, 13));
  set(Cue::CareerOver, careerOver());
  static constexpr std::array<float, kHoofVariants> kPitch = {92.0f, 104.0f, 86.0f, 98.0f};
  for (size_t v = 0; v < kHoofVariants; ++v)
    bank.hooves[v] = hoof(kPitch[v], static_cast<uint32_t>(v * 31 + 3));
  return bank;
}

}  // namespace milka::play
