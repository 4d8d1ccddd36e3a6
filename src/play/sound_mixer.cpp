#include "play/sound_mixer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace milka::play {

namespace {

constexpr size_t kMaxVoices = 64;
// The levels, the stride and the murmur's swell move on every this many frames.
constexpr size_t kControlFrames = 32;
constexpr auto kStale = std::chrono::milliseconds(600);
// Levels glide over about a fifth of a second, so a tick's step never clicks.
constexpr float kGlide = 1.0f / (0.2f * static_cast<float>(kSampleRate));

// Each horse of the field: where in the stride its feet land against the others', and how near
// the stand it runs. The first few are heard even when the field strings out.
struct Runner {
  float offset;
  float gain;
};
constexpr std::array<Runner, 8> kRunners = {{
    {0.00f, 1.00f},
    {0.47f, 0.85f},
    {0.21f, 0.70f},
    {0.71f, 0.62f},
    {0.09f, 0.55f},
    {0.58f, 0.50f},
    {0.34f, 0.45f},
    {0.83f, 0.40f},
}};
// A four-beat gallop: two hind feet, two fore feet, then the moment with none down.
constexpr std::array<float, 4> kFootfalls = {0.0f, 0.12f, 0.23f, 0.36f};
constexpr std::array<float, 4> kFootWeight = {0.8f, 0.7f, 1.0f, 0.9f};

float glide(float now, float aim, float frames) {
  const float step = kGlide * frames;
  if (now < aim) return std::min(aim, now + step);
  return std::max(aim, now - step);
}

bool crossed(float from, float to, float at) {
  // Phases wrap at 1; a footfall at `at` lands when the phase passes it.
  if (from <= to) return from < at && at <= to;
  return at > from || at <= to;
}

}  // namespace

Mixer::Mixer(const SoundBank& bank) : bank_(bank) {
  posted_.reserve(16);
  taking_.reserve(16);
  voices_.reserve(kMaxVoices);
  mix_.reserve(kSampleRate / 10);
}

void Mixer::play(Cue cue) {
  const std::lock_guard lock(posted_mutex_);
  if (posted_.size() < 32) posted_.push_back({cue, std::chrono::steady_clock::now()});
}

void Mixer::setAmbience(const Ambience& ambience) {
  const std::lock_guard lock(posted_mutex_);
  target_ = ambience;
}

void Mixer::silence() {
  const std::lock_guard lock(posted_mutex_);
  silence_ = true;
}

std::chrono::steady_clock::time_point Mixer::lastCrackRendered() const {
  const std::lock_guard lock(posted_mutex_);
  return crackRendered_;
}

void Mixer::takePosted() {
  taking_.clear();
  bool clear = false;
  {
    const std::lock_guard lock(posted_mutex_);
    taking_.swap(posted_);
    aim_ = target_;
    clear = silence_;
    silence_ = false;
  }
  if (clear) {
    voices_.clear();
    now_ = Ambience{};
  }
  const auto now = std::chrono::steady_clock::now();
  for (const Posted& p : taking_) {
    // Posted while no output was open: heard late it would only be noise out of place.
    if (now - p.when > kStale) continue;
    const Samples& s = bank_.of(p.cue);
    if (s.empty()) continue;
    // A new roar or tune takes over from the one before rather than piling up on it.
    if (p.cue != Cue::Whip)
      std::erase_if(voices_, [&s](const Voice& v) { return v.samples == &s; });
    if (voices_.size() >= kMaxVoices) voices_.erase(voices_.begin());
    voices_.push_back({&s, 0, 0, 1.0f});
    if (p.cue == Cue::Whip) {
      const std::lock_guard lock(posted_mutex_);
      crackRendered_ = now;
    }
  }
}

void Mixer::gallopChunk(size_t at, size_t frames) {
  const auto n = static_cast<float>(frames);
  now_.gallop = glide(now_.gallop, aim_.gallop, n);
  now_.fullness = glide(now_.fullness, aim_.fullness, n);
  now_.stridesPerSecond +=
      (aim_.stridesPerSecond - now_.stridesPerSecond) * std::min(1.0f, kGlide * n);
  if (now_.gallop <= 0) return;
  const float from = stride_;
  const float perFrame = now_.stridesPerSecond / static_cast<float>(kSampleRate);
  stride_ += perFrame * n;
  if (stride_ >= 1) stride_ -= 1;
  // Bunched, the whole field is heard at once; strung out, only the nearest two or three.
  const float heard = 2.5f + 5.5f * now_.fullness;
  for (size_t r = 0; r < kRunners.size(); ++r) {
    const float presence = std::clamp(heard - static_cast<float>(r), 0.0f, 1.0f);
    if (presence <= 0) break;
    for (size_t f = 0; f < kFootfalls.size(); ++f) {
      float foot = kFootfalls[f] + kRunners[r].offset;
      if (foot >= 1) foot -= 1;
      if (!crossed(from, stride_, foot) || voices_.size() >= kMaxVoices) continue;
      // Where in this stretch the foot comes down, to the frame.
      float ahead = foot - from;
      if (ahead < 0) ahead += 1;
      const auto offset = std::min(frames - 1, static_cast<size_t>(ahead / perFrame));
      const auto variant = static_cast<size_t>(
          (hoofChoice_.next() + 1.0f) * 0.5f * static_cast<float>(kHoofVariants - 1) + 0.5f);
      const float gain = 0.22f * now_.gallop * presence * kRunners[r].gain * kFootWeight[f] *
                         (0.85f + 0.15f * hoofChoice_.next());
      voices_.push_back(
          {&bank_.hooves[std::min(variant, kHoofVariants - 1)], 0, at + offset, gain});
    }
  }
}

void Mixer::crowdChunk(float* into, size_t frames) {
  const float from = now_.crowd;
  now_.crowd = glide(now_.crowd, aim_.crowd, static_cast<float>(frames));
  if (from <= 0 && now_.crowd <= 0) return;
  // Three slow swells at unrelated rates, so the murmur never repeats a pattern.
  lfo_ += static_cast<double>(frames) / kSampleRate;
  if (lfo_ > 1000.0) lfo_ -= 1000.0;
  const auto t = static_cast<float>(lfo_);
  constexpr float kTwoPi = 2.0f * std::numbers::pi_v<float>;
  const float swell = 0.8f + 0.08f * std::sin(kTwoPi * 0.31f * t) +
                      0.07f * std::sin(kTwoPi * 0.73f * t) + 0.05f * std::sin(kTwoPi * 1.37f * t);
  const float level = 0.8f * swell;
  const float step = (now_.crowd - from) / static_cast<float>(frames);
  float crowd = from;
  for (size_t i = 0; i < frames; ++i) {
    crowd += step;
    flicker_ += 0.0006f * (noise_.next() - flicker_);
    const float n = noise_.next();
    into[i] += level * crowd * (1.0f + 5.0f * flicker_) * (chest_(n) + 0.7f * voice_(n));
  }
}

void Mixer::render(int16_t* out, size_t frames) {
  takePosted();
  mix_.assign(frames, 0.0f);
  for (size_t at = 0; at < frames; at += kControlFrames) {
    const size_t n = std::min(kControlFrames, frames - at);
    gallopChunk(at, n);
    crowdChunk(mix_.data() + at, n);
  }
  for (Voice& voice : voices_) {
    const size_t start = std::min(voice.delay, frames);
    const size_t count = std::min(frames - start, voice.samples->size() - voice.at);
    const float* from = voice.samples->data() + voice.at;
    float* into = mix_.data() + start;
    for (size_t i = 0; i < count; ++i) into[i] += from[i] * voice.gain;
    voice.at += count;
    voice.delay -= start;
  }
  std::erase_if(voices_, [](const Voice& voice) { return voice.at >= voice.samples->size(); });

  const float gain = gain_.load(std::memory_order_relaxed);
  for (size_t i = 0; i < frames; ++i) {
    float v = mix_[i] * gain;
    // A soft knee rather than a hard clip, should everything sound at once.
    if (std::fabs(v) > 0.7f)
      v = std::copysign(0.7f + 0.3f * std::tanh((std::fabs(v) - 0.7f) / 0.3f), v);
    out[i] = static_cast<int16_t>(v * 32000.0f);
  }
}

}  // namespace milka::play
