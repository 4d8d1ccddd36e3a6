// PLACEHOLDER: plain blocks until the pixel art lands.
#include "platform/sprites.h"

namespace milka::platform {

QImage spriteImage(const Sprite& sprite) {
  if (sprite.kind == SpriteKind::None) return {};
  bool post = sprite.kind != SpriteKind::Horse;
  QImage img(post ? 40 : 32, post ? 60 : 32, QImage::Format_ARGB32);
  img.fill(post ? Qt::blue : Qt::darkRed);
  return img;
}

QIcon windowIcon() { return QIcon(QPixmap::fromImage(spriteImage({SpriteKind::Horse}))); }

}  // namespace milka::platform
