// The two Japanese faces of the window. fontconfig knows no alias for the MS names, so each face
// asks for them first and then for the proportional IPA fonts Debian ships; Noto CJK only fills
// in glyphs, since it is not proportional here and would widen every caption.
#pragma once

#include <QFont>

#include "shell/form.h"

namespace milka::platform {

QFont gameFont(FontFace face, double points, bool bold = false);

}  // namespace milka::platform
