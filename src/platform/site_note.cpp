#include "platform/site_note.h"

#include <algorithm>

#include "platform/fonts.h"

namespace milka::platform {

SiteNote::SiteNote(QWidget* window) : QLabel(window) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::NoFocus);
  setWordWrap(true);
  setAlignment(Qt::AlignCenter);
  setTextFormat(Qt::PlainText);
  setTextInteractionFlags(Qt::NoTextInteraction);
  setFont(gameFont(FontFace::Gothic, 10));
  setStyleSheet(
      QStringLiteral("QLabel { background: rgba(24, 32, 28, 225); color: #ffffff; "
                     "border: 1px solid #c8a03a; border-radius: 6px; }"));
  setContentsMargins(16, 10, 16, 10);
  hide_.setSingleShot(true);
  hide_.setInterval(kShownMs);
  connect(&hide_, &QTimer::timeout, this, &QWidget::hide);
  hide();
}

void SiteNote::showText(const QString& text) {
  setText(text);
  const QWidget* window = parentWidget();
  const int width = std::min(window->width() - 40, 520);
  setFixedWidth(width);
  const int height = heightForWidth(width);
  setGeometry((window->width() - width) / 2, 14, width, height > 0 ? height : sizeHint().height());
  raise();
  show();
  hide_.start();
}

QString noBrowserText(const std::string& url) {
  return QStringLiteral("ブラウザを開けませんでした。\n作者サイトはこちらです：%1")
      .arg(QString::fromStdString(url));
}

}  // namespace milka::platform
