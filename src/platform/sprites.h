// The game's pictures, made from the pixel-art templates and coat palettes in assets/.
#pragma once

#include <QIcon>
#include <QImage>

#include "shell/form.h"

namespace milka::platform {

// The picture a sprite shows: 32 × 32 for a horse, 40 × 60 for the tower and the pole, with a
// transparent background (the magenta of the templates). A null image for SpriteKind::None.
QImage spriteImage(const Sprite& sprite);

// The window's icon.
QIcon windowIcon();

}  // namespace milka::platform
