// The game's one window in Qt: it draws the window model and turns clicks, key presses and timer
// ticks into calls of the game's handlers. It holds none of the rules.
#pragma once

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <array>
#include <string>

#include "platform/canvas.h"
#include "platform/site_note.h"
#include "shell/game.h"

namespace milka::platform {

class GameWindow final : public QWidget {
 public:
  explicit GameWindow(Game& game, QWidget* parent = nullptr);

  // Start the five timers; the game must have had its Form_Load.
  void startTimers();

  // Bring the window up to date with the model, repainting only what changed. Runs after every
  // click, key and tick; call it after anything else that changes the model.
  void sync();

  // The Windows key code the handlers expect for a Qt key: 65..90 for the letters whatever
  // Shift says, 37..40 for the arrows, 0 for keys the game never sees.
  static int keyCode(int qtKey);

  // A short-lived note over the form (see SiteNote).
  void showNote(const QString& text);
  SiteNote* note() const { return note_; }

  Canvas* canvas() const { return canvas_; }
  QPushButton* command(int n) const;
  QLineEdit* text1() const { return text1_; }
  QLineEdit* text2() const { return text2_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void place(QWidget* widget, float left, float top, float width, float height);
  void syncTextBox(QLineEdit* box, TextBox& shown, const TextBox& model);
  void keepInputMethodOff();

  Game& game_;
  Canvas* canvas_;
  std::array<QPushButton*, kCommandCount + 1> commands_{};
  std::array<Button, kCommandCount + 1> shownCommands_{};
  QLineEdit* text1_;
  QLineEdit* text2_;
  TextBox shownText1_, shownText2_;
  std::string shownCaption_;
  std::array<QTimer*, 6> timers_{};
  bool synced_ = false;
  SiteNote* note_ = nullptr;
};

}  // namespace milka::platform
