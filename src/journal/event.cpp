// The events' own helpers: the least a change of Text1 can be written as, and one line for a
// person to read.
#include "journal/event.h"

#include <array>
#include <initializer_list>
#include <string_view>

namespace milka::journal {

Event Event::text1(const std::string& before, const std::string& after) {
  size_t keep = 0;
  while (keep < before.size() && keep < after.size() && before[keep] == after[keep]) ++keep;
  const auto code = keep == before.size() ? kKeepAll : static_cast<int32_t>(keep);
  return {Kind::Text1, code, 0, after.substr(keep)};
}

std::string describe(const Event& e) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex = "x";
  for (char ch : e.text) {
    hex += kDigits[static_cast<unsigned char>(ch) >> 4];
    hex += kDigits[static_cast<unsigned char>(ch) & 0x0F];
  }
  using K = Event::Kind;
  static constexpr std::array<const char*, 6> kButtons = {"?", "A", "Up", "Down", "B", "Site"};
  // Piece by piece: joining temporaries with + trips GCC 12's -Wrestrict at -O3.
  std::string out;
  auto words = [&out](std::initializer_list<std::string_view> pieces) {
    for (std::string_view p : pieces) {
      if (!out.empty()) out += ' ';
      out += p;
    }
    return out;
  };
  const std::string code = std::to_string(e.code), shift = std::to_string(e.shift);
  switch (e.kind) {
    case K::Load: return "Load";
    case K::Click:
      if (e.code >= 1 && e.code <= 5) return kButtons[static_cast<size_t>(e.code)];
      return words({"Click", code});
    case K::Key: return words({"Key", code, shift});
    case K::Timer:
      out.push_back('T');
      out.append(code);
      return out;
    case K::Text1: return words({"Text1", code, hex});
    case K::Fetch: return words({"Fetch", code, hex});
    case K::Nav: return words({"Nav", code, hex});
    case K::Notify: return words({"Notify", hex});
    case K::SiteBase: return words({"SiteBase", hex});
    case K::Seed: return words({"Seed", hex});
  }
  return "?";
}

}  // namespace milka::journal
