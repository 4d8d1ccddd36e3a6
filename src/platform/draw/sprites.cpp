// The game's pictures as Qt images, from the midend's pixel art; and the window's icon.
#include "platform/draw/sprites.h"

#include <QPainter>
#include <QPixmap>
#include <cstring>
#include <map>

#include "play/sprites.h"

namespace milka::platform {

QImage spriteImage(const Sprite& sprite) {
  const play::SpriteArt& art = play::spriteArt(sprite);
  if (art.argb.empty()) return {};
  // Made once for each picture and shared from then on, as the art itself is.
  static std::map<const play::SpriteArt*, QImage> made;
  QImage& image = made[&art];
  if (image.isNull()) {
    image = QImage(art.width, art.height, QImage::Format_ARGB32);
    for (int y = 0; y < art.height; ++y)
      std::memcpy(image.scanLine(y), &art.argb[static_cast<size_t>(y * art.width)],
                  static_cast<size_t>(art.width) * sizeof(uint32_t));
  }
  return image;
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
