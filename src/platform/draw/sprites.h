// The game's pictures, made from the pixel-art templates and coat palettes in assets/.
#pragma once

#include <QIcon>
#include <QImage>

#include "shell/form.h"

namespace milka::platform {

// The picture a sprite shows: 32 × 32 for a horse, 40 × 60 for the tower and the pole, with a
// transparent background (the magenta of the templates). A null image for SpriteKind::None.
QImage spriteImage(const Sprite& sprite);

// The runner of the window's icon, drawn at size × size for the desktop's icon theme.
QImage iconImage(int size);

// The sizes the window's icon holds, every one drawn by iconImage.
inline constexpr int kWindowIconSizes[] = {16, 32, 48, 64, 128};

// The window's icon.
QIcon windowIcon();

}  // namespace milka::platform
