#include "platform/site_note.h"

#include <algorithm>

#include "platform/fonts.h"

namespace milka::platform {

SiteNote::SiteNote(QWidget* window, Kind kind) : QLabel(window), kind_(kind) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::NoFocus);
  setWordWrap(true);
  setAlignment(Qt::AlignCenter);
  setTextFormat(Qt::PlainText);
  setTextInteractionFlags(Qt::NoTextInteraction);
  setFont(gameFont(FontFace::Gothic, kind == Lasting ? 11 : 10));
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
  place();
  raise();
  show();
  if (kind_ == Passing) hide_.start();
}

void SiteNote::place() {
  const QWidget* window = parentWidget();
  const int width = std::min(window->width() - 40, kind_ == Lasting ? 560 : 520);
  setFixedWidth(width);
  const int fitted = heightForWidth(width);
  const int height = fitted > 0 ? fitted : sizeHint().height();
  const int top = kind_ == Lasting ? (window->height() - height) / 2 : 14;
  setGeometry((window->width() - width) / 2, top, width, height);
}

QString noBrowserText(const std::string& url) {
  return QStringLiteral("ブラウザを開けませんでした。\n作者サイトはこちらです：%1")
      .arg(QString::fromStdString(url));
}

}  // namespace milka::platform
