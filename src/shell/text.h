// Small helpers for the texts and numbers the rules write.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>

namespace milka {

// A real value stored into an integer: nearest, halves to the even neighbour.
inline int32_t roundHalfEven(double x) { return static_cast<int32_t>(std::nearbyint(x)); }

// Numbers in texts are plain decimal digits with no leading blank.
inline std::string num(int64_t n) { return std::to_string(n); }

inline std::string repeat(const std::string& s, int times) {
  std::string out;
  out.reserve(s.size() * static_cast<size_t>(times > 0 ? times : 0));
  for (int i = 0; i < times; ++i) out += s;
  return out;
}

inline std::string spaces(int n) { return std::string(static_cast<size_t>(n > 0 ? n : 0), ' '); }

}  // namespace milka
