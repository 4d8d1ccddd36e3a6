#include "play/touch_keys.h"

#include "play/json_out.h"
#include "play/keys.h"
#include "play/words.h"
#include "shell/game.h"
#include "shell/screens.h"

namespace milka::play {

namespace {

// The labels a race speaks through: the commentary, the whip's caption and the symbol it asks
// for, and the whips left; the name grows in its own label while it is typed.
constexpr int kCommentary = 39, kWhipSymbol = 12, kWhipCaption = 13, kWhipsLeft = 36;
constexpr int kName = 27;
constexpr int kNaming = 3;  // the setup phase that reads the name

SymbolKey keyOf(int code) {
  return {code, symbolOfKey(code), symbolKeyName(code)};
}

std::vector<SymbolKey> letters(const char* row) {
  std::vector<SymbolKey> keys;
  for (const char* c = row; *c; ++c) keys.push_back(keyOf(vk::kA + (*c - 'a')));
  return keys;
}

SymbolKeyboard laidOut() {
  SymbolKeyboard k;
  k.left = {letters("qwert"), letters("asdfg"), letters("zxcvb")};
  k.right = {letters("yuiop"), letters("hjkl"), letters("nm")};
  k.arrows = {{keyOf(vk::kUp)}, {keyOf(vk::kLeft), keyOf(vk::kDown), keyOf(vk::kRight)}};
  return k;
}

void rows(std::string& out, const std::vector<std::vector<SymbolKey>>& keys) {
  out += '[';
  for (size_t r = 0; r < keys.size(); ++r) {
    if (r) out += ',';
    out += '[';
    for (size_t k = 0; k < keys[r].size(); ++k) {
      const SymbolKey& key = keys[r][k];
      if (k) out += ',';
      out += "{\"code\":";
      json::number(out, key.code);
      out += ",\"symbol\":";
      json::quoted(out, key.symbol);
      out += ",\"name\":";
      json::quoted(out, key.name);
      out += '}';
    }
    out += ']';
  }
  out += ']';
}

}  // namespace

const SymbolKeyboard& symbolKeyboard() {
  static const SymbolKeyboard keyboard = laidOut();
  return keyboard;
}

bool wantsSymbolKeys(const GameState& state) {
  return state.screenState == screen::kRace || state.setupPhase == kNaming;
}

TouchLines touchLines(const Form& form, const GameState& state) {
  if (state.screenState == screen::kRace) {
    std::string prompt = form.label(kWhipCaption).caption;
    prompt += ' ';
    prompt += form.label(kWhipSymbol).caption;
    prompt += "　";
    prompt += form.label(kWhipsLeft).caption;
    return {form.label(kCommentary).caption, prompt};
  }
  if (state.setupPhase == kNaming) return {form.label(kName).caption, {}};
  return {};
}

std::vector<CareerButton> careerButtons(bool paused) {
  if (!paused) return {{vk::kF5, false, pauseCaption()}};
  return {{vk::kF5, false, goOnCaption()}, {vk::kN, true, newHorseCaption()}};
}

std::string touchJson(const Form& form, const GameState& state, bool typing,
                      const std::vector<CareerButton>& career) {
  const TouchLines lines = touchLines(form, state);
  std::string out = "{\"keys\":";
  out += typing && wantsSymbolKeys(state) ? "true" : "false";
  out += ",\"first\":";
  json::quoted(out, lines.first);
  out += ",\"second\":";
  json::quoted(out, lines.second);
  out += ",\"career\":[";
  for (size_t k = 0; k < career.size(); ++k) {
    if (k) out += ',';
    out += "{\"code\":";
    json::number(out, career[k].code);
    out += career[k].control ? ",\"control\":true" : ",\"control\":false";
    out += ",\"caption\":";
    json::quoted(out, career[k].caption);
    out += '}';
  }
  out += "]}";
  return out;
}

std::string symbolKeyboardJson() {
  const SymbolKeyboard& k = symbolKeyboard();
  std::string out = "{\"left\":";
  rows(out, k.left);
  out += ",\"right\":";
  rows(out, k.right);
  out += ",\"arrows\":";
  rows(out, k.arrows);
  out += '}';
  return out;
}

}  // namespace milka::play
