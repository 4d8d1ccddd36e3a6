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

  explicit SiteNote(QWidget* window);

  // Shows text at the top of the window, centred, replacing any note already up.
  void showText(const QString& text);

 private:
  QTimer hide_;
};

// What the note says when the system could not open url in a browser.
QString noBrowserText(const std::string& url);

}  // namespace milka::platform
