// One input of the core, as the window (or a replay, the soak, the site) delivers it. A career is
// the stream of these from Form_Load on; nothing else reaches the game.
#pragma once

#include <cstdint>
#include <string>

namespace milka::journal {

struct Event {
  enum class Kind : uint8_t {
    Load,      // Form_Load
    Click,     // CommandN_Click, N = code (1 A, 2 Up, 3 Down, 4 B, 5 site)
    Key,       // Text1_KeyDown(code, shift)
    Timer,     // TimerN_Timer, N = code
    Text1,     // Text1's text: the first `code` bytes kept (all: kKeepAll), `text` put after them
    Fetch,     // the fetch started `code`-th (from 0) answers `text`
    Nav,       // the navigation started `code`-th ends at `text`
    Notify,    // WebBrowser1_Notify(text)
    SiteBase,  // the maker's site the game sends to is now `text`
    Seed,      // a seed the maker's site issued for this career, `text`, stirred into the draws
  };
  Kind kind = Kind::Load;
  int32_t code = 0;
  int32_t shift = 0;
  std::string text;

  bool operator==(const Event&) const = default;

  // Text1 keeps all it holds, and `text` is typed on after it.
  static constexpr int32_t kKeepAll = -1;

  static Event load() { return {Kind::Load, 0, 0, {}}; }
  static Event click(int n) { return {Kind::Click, n, 0, {}}; }
  static Event key(int code, int shift) { return {Kind::Key, code, shift, {}}; }
  static Event timer(int n) { return {Kind::Timer, n, 0, {}}; }
  static Event fetch(int index, std::string text) {
    return {Kind::Fetch, index, 0, std::move(text)};
  }
  static Event nav(int index, std::string where) { return {Kind::Nav, index, 0, std::move(where)}; }
  static Event notify(std::string text) { return {Kind::Notify, 0, 0, std::move(text)}; }
  static Event siteBase(std::string base) { return {Kind::SiteBase, 0, 0, std::move(base)}; }
  static Event seed(std::string text) { return {Kind::Seed, 0, 0, std::move(text)}; }
  // The change from `before` to `after` as the fewest bytes: what is kept, and what follows.
  static Event text1(const std::string& before, const std::string& after);
};

// One line for a person: "A", "T3", "Key 65 0", "Fetch 0 x6869" (texts in hexadecimal).
std::string describe(const Event& e);

}  // namespace milka::journal
