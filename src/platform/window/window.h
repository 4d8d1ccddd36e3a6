// The game's one window in Qt: it draws the window model and turns clicks, key presses and timer
// ticks into calls of the game's handlers. It holds none of the rules.
//
// The form keeps its own proportions at any window size: it is scaled as a whole and centred,
// and the spare space shows the window's colour. The buttons and text boxes are real widgets,
// placed and lettered at the scale, so a click lands on whatever is drawn under the pointer.
#pragma once

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "journal/event.h"
#include "platform/draw/canvas.h"
#include "platform/window/note_overlay.h"
#include "platform/window/qt_keys.h"
#include "platform/window/view_settings.h"
#include "play/career_play.h"
#include "play/window.h"
#include "shell/game.h"

class QSettings;

namespace milka::platform {

class Sound;

class GameWindow final : public QWidget, public play::Window {
 public:
  // settings: where the zoom, size, full screen and gliding are remembered between runs;
  // without it nothing is kept.
  explicit GameWindow(Game& game, QSettings* settings = nullptr, QWidget* parent = nullptr);
  ~GameWindow() override;

  // Start the five timers; the game must have had its Form_Load.
  void startTimers();

  // Where the window's events go: clicks, keys, ticks and Text1's edits. Without one they go
  // straight to the game's handlers; with one (the career's journal) the feed hands them on.
  using Feed = std::function<void(const journal::Event&)>;
  void setFeed(Feed feed) { feed_ = std::move(feed); }
  // Show another game in the window (a race watched again, a new horse); it must outlive its
  // showing.
  void setGame(Game& game) override;
  Game& game() const { return *game_; }

  // Paused or locked, the five timers stand still and no click or key reaches the game; the
  // midend says which, and what note goes with it.
  void setStill(bool paused, bool locked) override;
  bool paused() const { return paused_; }
  bool inputLocked() const { return locked_; }
  // A replay's pace: tick every ms milliseconds, 0 to stop.
  void setPace(int ms, std::function<void()> tick) override;
  void later(std::function<void()> f) override;
  // Keys for the career itself (pause, watch again, a new horse, a replay's pace); the handler
  // answers whether it took the key.
  void setCareerKeys(std::function<bool(play::CareerKey)> handler) {
    careerKeys_ = std::move(handler);
  }
  // The window's events and the career's keys go to a career of the midend (its feed and its
  // keys), or the career's keys to a replay.
  void follow(play::CareerPlay& career);
  void follow(play::ReplayShow& replay);
  // Put before the game's own caption in the window's title ("リプレイ" while replaying).
  void setTitlePrefix(const std::string& prefix) override;
  // A note that stays over the window until hidden or replaced.
  void showLastingNote(const std::string& text) override;
  void showLastingNote(const QString& text);
  // The same, kept clear of the screen's words where there is room (a note about the record
  // the screen shows, which must stay readable).
  void showLastingNoteClearOfWords(const QString& text);
  // Where the labels that show words stand in the window now.
  std::vector<QRect> wordAreas() const;
  void hideLastingNote() override;
  NoteOverlay* lastingNote() const { return lasting_; }

  // Bring the window up to date with the model, repainting only what changed. Runs after every
  // click, key and tick; call it after anything else that changes the model.
  void sync() override;

  // Show the window as it was left last time, or at startZoom when one is asked for.
  void showAsRemembered(std::optional<double> startZoom = std::nullopt);

  // A plain window of zoom times the form's own size.
  void zoomTo(double zoom);
  // One whole multiple up or down (1×, 2×, 3× … as far as the screen has room).
  void stepZoom(int steps);
  void toggleFullScreen();
  void setGliding(bool on);
  bool gliding() const { return view_.gliding; }

  // The sound that follows the model; without one the window is silent. startMuted: --mute,
  // which silences this game without changing what is remembered.
  void setSound(Sound* sound, bool startMuted = false);
  void setMuted(bool muted);
  void stepVolume(int steps);
  const ViewSettings& view() const { return view_; }

  // How large the form is drawn, and where: 1 and the whole window at the form's own size.
  double scale() const { return scale_; }
  QRect stage() const { return canvas_->geometry(); }

  // A short-lived note over the form (see NoteOverlay).
  void showNote(const std::string& text) override;
  void showNote(const QString& text);
  NoteOverlay* note() const { return note_; }

  Canvas* canvas() const { return canvas_; }
  QPushButton* command(int n) const;
  QLineEdit* text1() const { return text1_; }
  QLineEdit* text2() const { return text2_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  bool windowKey(const QKeyEvent& key);
  void deliver(const journal::Event& e);
  void setTitle();
  void layOut();
  // Where a control of the form stands in the window, to the fraction of a pixel.
  QRectF placedExactly(float left, float top, float width, float height) const;
  QRect placed(float left, float top, float width, float height) const;
  void place(QWidget* widget, float left, float top, float width, float height);
  void syncTextBox(QLineEdit* box, TextBox& shown, const TextBox& model);
  void keepInputMethodOff();
  QSizeF formSize() const;
  int largestWholeZoom() const;
  void remember();

  Game* game_;
  Feed feed_;
  bool paused_ = false;
  bool locked_ = false;
  std::function<bool(play::CareerKey)> careerKeys_;
  QTimer* pace_ = nullptr;
  std::function<void()> paceTick_;
  QString titlePrefix_;
  NoteOverlay* lasting_ = nullptr;
  QSettings* settings_;
  ViewSettings view_;
  double scale_ = 1.0;
  Canvas* canvas_;
  std::array<QPushButton*, kCommandCount + 1> commands_{};
  std::array<Button, kCommandCount + 1> shownCommands_{};
  QLineEdit* text1_;
  QLineEdit* text2_;
  TextBox shownText1_, shownText2_;
  std::string shownCaption_;
  uint32_t shownBackColour_ = 0;
  std::array<QTimer*, 6> timers_{};
  bool synced_ = false;
  NoteOverlay* note_ = nullptr;
  Sound* sound_ = nullptr;
};

}  // namespace milka::platform
