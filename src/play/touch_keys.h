// A window with no keyboard of its own (a phone) draws one: the thirty symbol keys the game
// reads, laid out as on a keyboard, while the shown game reads them; and beside them, large, the
// race's lines a small screen must not lose.
#pragma once

#include <string>
#include <vector>

namespace milka {
struct Form;
struct GameState;
}  // namespace milka

namespace milka::play {

struct SymbolKey {
  int code = 0;        // the key code a real keyboard sends for it
  std::string symbol;  // as the game shows it
  std::string name;    // as a screen reader says it
};

// Each hand's half of the letter rows, row by row, and the arrows as an inverted T: ↑ alone, then
// ← ↓ →.
struct SymbolKeyboard {
  std::vector<std::vector<SymbolKey>> left, right, arrows;
};
const SymbolKeyboard& symbolKeyboard();

// Whether a symbol key typed now does anything: while the name is typed, and in a race (its
// countdown too, since a symbol typed then whips on the first step).
bool wantsSymbolKeys(const GameState& state);

// What a small screen shows large beside its keys, first what matters most: in a race the
// commentary line, then the symbol the whip asks for with the whips left; while naming, the name
// so far. Both empty elsewhere. The words are the form's own, as the game last wrote them.
struct TouchLines {
  std::string first, second;
  bool operator==(const TouchLines&) const = default;
};
TouchLines touchLines(const Form& form, const GameState& state);

// The career's own keys a window without a keyboard must offer as buttons, since its notes name
// them: F5 to go on from a pause (a continued career starts paused), and then Ctrl+N for a new
// horse; F5 to pause otherwise. Sent as the keys they stand for.
struct CareerButton {
  int code = 0;
  bool control = false;
  std::string caption;
  bool operator==(const CareerButton&) const = default;
};
std::vector<CareerButton> careerButtons(bool paused);

// All of it for a page, as JSON: {"keys":bool,"first":"…","second":"…","career":[{code,control,
// caption}…]}; keys only when the player can type (a career, not paused, not watching a race),
// career buttons only for a career.
std::string touchJson(const Form& form, const GameState& state, bool typing,
                      const std::vector<CareerButton>& career);
// The keyboard for a page, as JSON: {"left":[[{code,symbol,name}…]…],"right":…,"arrows":…}.
std::string symbolKeyboardJson();

}  // namespace milka::play
