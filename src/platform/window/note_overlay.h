// A note laid over the window, for what the player should know but the form has no place for
// (paused, continued, no browser could be opened for the site button): passing, or lasting. It
// takes no clicks and no focus, so the game goes on underneath as if it were not there.
#pragma once

#include <QLabel>
#include <QRect>
#include <QString>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

namespace milka::platform {

class QtOnlinePort;

class NoteOverlay final : public QLabel {
 public:
  // How long a note stays up.
  static constexpr int kShownMs = 6000;

  // A passing note goes by itself after a while, at the top; a lasting one stays, in the middle,
  // until hidden.
  enum Kind { Passing, Lasting };
  explicit NoteOverlay(QWidget* window, Kind kind = Passing);

  // Shows text, centred, replacing any note already up.
  void showText(const QString& text);
  // A lasting note that keeps clear of the words the window shows, as far as there is room:
  // wordsNow tells, each time the note is placed, where they stand in the window.
  void showText(const QString& text, std::function<std::vector<QRect>()> wordsNow);
  // Placed again for the window's size.
  void place();

  // The top that puts a note of this size over the least of the words: the middle if it is
  // clear, else the clear place nearest it, else where it hides the least.
  static int clearTop(const QRect& within, QSize size, const std::vector<QRect>& words);

 private:
  Kind kind_;
  std::function<std::vector<QRect>()> wordsNow_;
  QTimer hide_;
};

}  // namespace milka::platform
