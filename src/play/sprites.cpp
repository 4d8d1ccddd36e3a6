#include "play/sprites.h"

#include <array>
#include <charconv>
#include <cstddef>
#include <string_view>

#include "play/assets.h"

namespace milka::play {
namespace {

constexpr int kCoats = 5;
constexpr int kFrames = 2;
constexpr int kHorseSize = 32;
constexpr int kPostWidth = 40;
constexpr int kPostHeight = 60;
constexpr char kSeeThrough = '.';

// One colour per coat for every role letter; a role the palettes never name is unknown.
struct Palettes {
  std::array<std::array<uint32_t, kCoats>, 128> colour{};
  std::array<bool, 128> known{};
};

std::vector<std::string_view> assetLines(std::string_view name) {
  std::vector<std::string_view> lines;
  std::string_view text = assetText(name);
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

std::vector<std::string_view> words(std::string_view line) {
  std::vector<std::string_view> out;
  constexpr std::string_view kBlank = " \t";
  for (size_t at = line.find_first_not_of(kBlank); at != std::string_view::npos;) {
    const size_t end = line.find_first_of(kBlank, at);
    out.push_back(line.substr(at, end - at));
    at = end == std::string_view::npos ? end : line.find_first_not_of(kBlank, end);
  }
  return out;
}

bool parseColour(std::string_view token, uint32_t& out) {
  if (token.size() != 7 || token[0] != '#') return false;
  uint32_t rgb = 0;
  const auto [end, error] = std::from_chars(token.data() + 1, token.data() + 7, rgb, 16);
  if (error != std::errc() || end != token.data() + 7) return false;
  out = 0xFF000000u | rgb;
  return true;
}

// Each line: a role letter, then one colour (every coat) or five (grey, gold, bay, black,
// white); anything after ';' is a remark.
Palettes loadPalettes() {
  Palettes p;
  for (std::string_view line : assetLines("palettes.txt")) {
    line = line.substr(0, line.find(';'));
    const std::vector<std::string_view> tokens = words(line);
    if (tokens.size() < 2 || tokens[0].size() != 1) continue;
    const auto role = static_cast<unsigned char>(tokens[0][0]);
    if (role >= p.colour.size()) continue;
    std::array<uint32_t, kCoats> colours{};
    bool ok = true;
    if (tokens.size() == 2) {
      uint32_t c = 0;
      ok = parseColour(tokens[1], c);
      colours.fill(c);
    } else if (tokens.size() == 1 + kCoats) {
      for (size_t i = 0; i < kCoats && ok; ++i) ok = parseColour(tokens[i + 1], colours[i]);
    } else {
      ok = false;
    }
    if (!ok) continue;
    p.colour[role] = colours;
    p.known[role] = true;
  }
  return p;
}

// The pixel rows of a template: every line that is neither blank nor a remark.
std::vector<std::string_view> templateRows(std::string_view name) {
  std::vector<std::string_view> rows;
  for (std::string_view line : assetLines(name))
    if (!line.empty() && line.front() != ';') rows.push_back(line);
  return rows;
}

// A template that is too small leaves the rest see-through and one that is too large is cut,
// so the picture always has the size the window lays out.
SpriteArt paint(const std::vector<std::string_view>& rows, int width, int height,
                const Palettes& palettes, int coat, bool mirrored) {
  SpriteArt art{width, height, std::vector<uint32_t>(static_cast<size_t>(width * height), 0)};
  for (int y = 0; y < height && y < static_cast<int>(rows.size()); ++y) {
    const std::string_view row = rows[static_cast<size_t>(y)];
    for (int x = 0; x < width && x < static_cast<int>(row.size()); ++x) {
      const auto role = static_cast<unsigned char>(row[static_cast<size_t>(x)]);
      if (role == kSeeThrough) continue;
      const int column = mirrored ? width - 1 - x : x;
      art.argb[static_cast<size_t>(y * width + column)] =
          role < palettes.known.size() && palettes.known[role]
              ? palettes.colour[role][static_cast<size_t>(coat)]
              : kUnknownRole;
    }
  }
  return art;
}

struct Library {
  // Right-facing then left-facing, by coat and frame.
  std::array<std::array<std::array<SpriteArt, kFrames>, kCoats>, 2> horses;
  SpriteArt tower, pole, none;
};

Library build() {
  const Palettes palettes = loadPalettes();
  const std::array<std::vector<std::string_view>, kFrames> strides = {
      templateRows("horse_frame1.txt"), templateRows("horse_frame2.txt")};
  Library lib;
  for (size_t facing = 0; facing < 2; ++facing)
    for (size_t coat = 0; coat < kCoats; ++coat)
      for (size_t frame = 0; frame < kFrames; ++frame)
        lib.horses[facing][coat][frame] = paint(strides[frame], kHorseSize, kHorseSize, palettes,
                                                static_cast<int>(coat), facing == 1);
  lib.tower = paint(templateRows("tower.txt"), kPostWidth, kPostHeight, palettes, 0, false);
  lib.pole = paint(templateRows("pole.txt"), kPostWidth, kPostHeight, palettes, 0, false);
  return lib;
}

const Library& library() {
  static const Library lib = build();
  return lib;
}

}  // namespace

const SpriteArt& spriteArt(const Sprite& sprite) {
  const Library& lib = library();
  switch (sprite.kind) {
    case SpriteKind::Horse: {
      const int coat = static_cast<int>(sprite.coat);
      const auto c = static_cast<size_t>(coat >= 0 && coat < kCoats ? coat : 0);
      const size_t frame = sprite.frame == 1 ? 1 : 0;
      return lib.horses[sprite.facingLeft ? 1 : 0][c][frame];
    }
    case SpriteKind::Tower: return lib.tower;
    case SpriteKind::Pole: return lib.pole;
    case SpriteKind::None: break;
  }
  return lib.none;
}

}  // namespace milka::play
