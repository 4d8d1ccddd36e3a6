// The game's pictures, built once from the pixel-art templates and coat palettes embedded from
// assets/. The templates are drawn facing right; a left-facing runner is the mirror image, so
// the two directions can never drift apart.
#include "platform/draw/sprites.h"

#include <QFile>
#include <QList>
#include <QPainter>
#include <QPixmap>
#include <array>
#include <cstddef>

namespace milka::platform {
namespace {

constexpr int kCoats = 5;
constexpr int kFrames = 2;
constexpr int kHorseSize = 32;
constexpr int kPostWidth = 40;
constexpr int kPostHeight = 60;
constexpr char kSeeThrough = '.';
// A letter with no colour in the palettes shows up in loud magenta rather than vanishing, so a
// slip in a template is seen at once (and caught by the tests).
constexpr QRgb kUnknownRole = 0xFFFF00FF;

// One colour per coat for every role letter; a role the palettes never name is unknown.
struct Palettes {
  std::array<std::array<QRgb, kCoats>, 128> colour{};
  std::array<bool, 128> known{};
};

QList<QByteArray> assetLines(const char* name) {
  QFile file(QStringLiteral(":/assets/") + QLatin1String(name));
  if (!file.open(QIODevice::ReadOnly)) return {};
  QList<QByteArray> lines = file.readAll().split('\n');
  for (QByteArray& line : lines) {
    if (line.endsWith('\r')) line.chop(1);
  }
  return lines;
}

bool parseColour(const QByteArray& token, QRgb& out) {
  if (token.size() != 7 || token[0] != '#') return false;
  bool ok = false;
  const uint rgb = token.mid(1).toUInt(&ok, 16);
  if (!ok) return false;
  out = 0xFF000000u | rgb;
  return true;
}

// Each line: a role letter, then one colour (every coat) or five (grey, gold, bay, black,
// white); anything after ';' is a remark.
Palettes loadPalettes() {
  Palettes p;
  for (QByteArray line : assetLines("palettes.txt")) {
    const qsizetype remark = line.indexOf(';');
    if (remark >= 0) line.truncate(remark);
    const QList<QByteArray> tokens = line.simplified().split(' ');
    if (tokens.size() < 2 || tokens[0].size() != 1) continue;
    const auto role = static_cast<unsigned char>(tokens[0][0]);
    if (role >= p.colour.size()) continue;
    std::array<QRgb, kCoats> colours{};
    bool ok = true;
    if (tokens.size() == 2) {
      QRgb c = 0;
      ok = parseColour(tokens[1], c);
      colours.fill(c);
    } else if (tokens.size() == 1 + kCoats) {
      for (std::size_t i = 0; i < kCoats && ok; ++i) ok = parseColour(tokens[i + 1], colours[i]);
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
QList<QByteArray> templateRows(const char* name) {
  QList<QByteArray> rows;
  for (const QByteArray& line : assetLines(name)) {
    if (line.isEmpty() || line.startsWith(';')) continue;
    rows.append(line);
  }
  return rows;
}

// A template that is too small leaves the rest see-through and one that is too large is cut,
// so the picture always has the size the window lays out.
QImage paint(const QList<QByteArray>& rows, int width, int height, const Palettes& palettes,
             int coat) {
  QImage image(width, height, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  for (int y = 0; y < height && y < rows.size(); ++y) {
    const QByteArray& row = rows[y];
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width && x < row.size(); ++x) {
      const auto role = static_cast<unsigned char>(row[x]);
      if (role == kSeeThrough) continue;
      line[x] = role < palettes.known.size() && palettes.known[role]
                    ? palettes.colour[role][static_cast<std::size_t>(coat)]
                    : kUnknownRole;
    }
  }
  return image;
}

struct Library {
  // Right-facing then left-facing, by coat and frame.
  std::array<std::array<std::array<QImage, kFrames>, kCoats>, 2> horses;
  QImage tower;
  QImage pole;
};

Library build() {
  const Palettes palettes = loadPalettes();
  const std::array<QList<QByteArray>, kFrames> strides = {templateRows("horse_frame1.txt"),
                                                          templateRows("horse_frame2.txt")};
  Library lib;
  for (std::size_t coat = 0; coat < kCoats; ++coat) {
    for (std::size_t frame = 0; frame < kFrames; ++frame) {
      QImage right =
          paint(strides[frame], kHorseSize, kHorseSize, palettes, static_cast<int>(coat));
      lib.horses[1][coat][frame] = right.mirrored(true, false);
      lib.horses[0][coat][frame] = right;
    }
  }
  lib.tower = paint(templateRows("tower.txt"), kPostWidth, kPostHeight, palettes, 0);
  lib.pole = paint(templateRows("pole.txt"), kPostWidth, kPostHeight, palettes, 0);
  return lib;
}

const Library& library() {
  static const Library lib = build();
  return lib;
}

}  // namespace

QImage spriteImage(const Sprite& sprite) {
  const Library& lib = library();
  switch (sprite.kind) {
    case SpriteKind::Horse: {
      const int coat = static_cast<int>(sprite.coat);
      const auto c = static_cast<std::size_t>(coat >= 0 && coat < kCoats ? coat : 0);
      const std::size_t frame = sprite.frame == 1 ? 1 : 0;
      return lib.horses[sprite.facingLeft ? 1 : 0][c][frame];
    }
    case SpriteKind::Tower: return lib.tower;
    case SpriteKind::Pole: return lib.pole;
    case SpriteKind::None: break;
  }
  return {};
}

namespace {

// Darker first, and any colour before see-through: on a tie the outline survives.
bool drawnBefore(QRgb a, QRgb b) {
  if (qAlpha(a) != qAlpha(b)) return qAlpha(a) > qAlpha(b);
  return qGray(a) < qGray(b);
}

// Each block of art pixels becomes the colour that covers most of it. Taking every n-th pixel
// instead drops whole rows of outline and the runner falls apart at 16 px.
QImage reduced(const QImage& art, int size) {
  const int block = art.width() / size;
  QImage out(size, size, QImage::Format_ARGB32);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      QRgb best = 0;
      int bestCount = 0;
      for (int i = 0; i < block * block; ++i) {
        const QRgb c = art.pixel(x * block + i % block, y * block + i / block);
        int count = 0;
        for (int j = 0; j < block * block; ++j) {
          count += art.pixel(x * block + j % block, y * block + j / block) == c ? 1 : 0;
        }
        if (count > bestCount || (count == bestCount && drawnBefore(c, best))) {
          best = c;
          bestCount = count;
        }
      }
      out.setPixel(x, y, best);
    }
  }
  return out;
}

}  // namespace

// Pixel art stays pixel art: each art pixel becomes a whole square of pixels (a size that is not
// a whole multiple is centred on a see-through square), and a smaller icon gives each block of
// pixels its commonest colour. Nothing is smoothed, so no colour appears that the art lacks.
QImage iconImage(int size) {
  const QImage art =
      spriteImage({SpriteKind::Horse, Coat::Grey, false, 0}).convertToFormat(QImage::Format_ARGB32);
  const int side = art.width();
  if (size < 1 || art.isNull()) return {};
  if (size < side) {
    if (side % size == 0) return reduced(art, size);
    return art.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  }
  const int scaledSide = side * (size / side);
  const QImage scaled =
      art.scaled(scaledSide, scaledSide, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  QImage out(size, size, QImage::Format_ARGB32);
  out.fill(Qt::transparent);
  QPainter painter(&out);
  painter.drawImage((size - scaledSide) / 2, (size - scaledSide) / 2, scaled);
  return out;
}

// The very pictures the desktop's icons are, so the window manager need not scale (and blur)
// one of its own; up to 128 px, as larger ones only make the X property heavy.
QIcon windowIcon() {
  QIcon icon;
  for (const int size : kWindowIconSizes) icon.addPixmap(QPixmap::fromImage(iconImage(size)));
  return icon;
}

}  // namespace milka::platform
