// The little JSON the midend hands a window that draws elsewhere (the browser's page): strings
// escaped as JSON reads them, numbers as short as they stay exact in a float.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace milka::play::json {

inline void quoted(std::string& out, std::string_view text) {
  out += '"';
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
      out += escaped;
    } else {
      out += c;
    }
  }
  out += '"';
}

inline void number(std::string& out, double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", value);
  out += text;
}

}  // namespace milka::play::json
