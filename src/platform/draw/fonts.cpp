#include "platform/draw/fonts.h"

#include <QStringList>

namespace milka::platform {

QFont gameFont(FontFace face, double points, bool bold) {
  static const QStringList mincho = {QStringLiteral("ＭＳ Ｐ明朝"), QStringLiteral("MS PMincho"),
                                     QStringLiteral("IPAPMincho"),
                                     QStringLiteral("Noto Serif CJK JP")};
  static const QStringList gothic = {QStringLiteral("ＭＳ Ｐゴシック"),
                                     QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
                                     QStringLiteral("Noto Sans CJK JP")};
  QFont font;
  font.setFamilies(face == FontFace::Gothic ? gothic : mincho);
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

}  // namespace milka::platform
