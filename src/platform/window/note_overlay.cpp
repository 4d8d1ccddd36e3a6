#include "platform/window/note_overlay.h"

#include <algorithm>
#include <cstdlib>

#include "platform/draw/fonts.h"

namespace milka::platform {

NoteOverlay::NoteOverlay(QWidget* window, Kind kind) : QLabel(window), kind_(kind) {
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

void NoteOverlay::showText(const QString& text) {
  showText(text, nullptr);
}

void NoteOverlay::showText(const QString& text, std::function<std::vector<QRect>()> wordsNow) {
  wordsNow_ = std::move(wordsNow);
  setText(text);
  place();
  raise();
  show();
  if (kind_ == Passing) hide_.start();
}

void NoteOverlay::place() {
  const QWidget* window = parentWidget();
  const int width = std::min(window->width() - 40, kind_ == Lasting ? 560 : 520);
  setFixedWidth(width);
  const int fitted = heightForWidth(width);
  const int height = fitted > 0 ? fitted : sizeHint().height();
  int top = kind_ == Lasting ? (window->height() - height) / 2 : 14;
  if (kind_ == Lasting && wordsNow_) top = clearTop(window->rect(), {width, height}, wordsNow_());
  setGeometry((window->width() - width) / 2, top, width, height);
}

int NoteOverlay::clearTop(const QRect& within, QSize size, const std::vector<QRect>& words) {
  constexpr int kMargin = 8;
  const int left = within.left() + (within.width() - size.width()) / 2;
  const int middle = within.top() + (within.height() - size.height()) / 2;
  const int lowest = within.bottom() + 1 - kMargin - size.height();
  int best = middle;
  int64_t bestHidden = -1;
  for (int top = within.top() + kMargin; top <= lowest; ++top) {
    const QRect note(QPoint(left, top), size);
    int64_t hidden = 0;
    for (const QRect& w : words) {
      const QRect over = note & w;
      hidden += static_cast<int64_t>(over.width()) * over.height();
    }
    if (bestHidden < 0 || hidden < bestHidden ||
        (hidden == bestHidden && std::abs(top - middle) < std::abs(best - middle))) {
      best = top;
      bestHidden = hidden;
    }
  }
  return best;
}

}  // namespace milka::platform
