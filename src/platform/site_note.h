// A short note laid over the window for a moment, for what the player should know but the form
// has no place for (no browser could be opened for the site button). It takes no clicks and no
// focus, so the game goes on underneath as if it were not there.
#pragma once

#include <QLabel>
#include <QString>
#include <QTimer>
#include <string>

namespace milka::platform {

class QtOnlinePort;

class SiteNote final : public QLabel {
 public:
  // How long a note stays up.
  static constexpr int kShownMs = 6000;

  // A passing note goes by itself after a while, at the top; a lasting one stays, in the middle,
  // until hidden.
  enum Kind { Passing, Lasting };
  explicit SiteNote(QWidget* window, Kind kind = Passing);

  // Shows text, centred, replacing any note already up.
  void showText(const QString& text);
  // Placed again for the window's size.
  void place();

 private:
  Kind kind_;
  QTimer hide_;
};

// What the note says when the system could not open url in a browser.
QString noBrowserText(const std::string& url);

}  // namespace milka::platform
