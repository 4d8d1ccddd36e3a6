#include "platform/window.h"

#include <QKeyEvent>

#include "platform/fonts.h"
#include "platform/sprites.h"

namespace milka::platform {

namespace {

void click(Game& game, int n) {
  switch (n) {
    case 1: game.Command1_Click(); break;
    case 2: game.Command2_Click(); break;
    case 3: game.Command3_Click(); break;
    case 4: game.Command4_Click(); break;
    case 5: game.Command5_Click(); break;
    default: break;
  }
}

void tick(Game& game, int n) {
  switch (n) {
    case 1: game.Timer1_Timer(); break;
    case 2: game.Timer2_Timer(); break;
    case 3: game.Timer3_Timer(); break;
    case 4: game.Timer4_Timer(); break;
    case 5: game.Timer5_Timer(); break;
    default: break;
  }
}

constexpr int kTickMs = 200;

}  // namespace

GameWindow::GameWindow(Game& game, QWidget* parent)
    : QWidget(parent), game_(game), canvas_(new Canvas(this)) {
  const Form& form = game_.form;
  const QRectF client = Canvas::pixels(0, 0, form.clientWidth, form.clientHeight);
  setFixedSize(client.size().toSize());
  canvas_->setGeometry(rect());
  setWindowIcon(windowIcon());

  // Created after the canvas, so they lie above every label and picture.
  for (int n = 1; n <= kCommandCount; ++n) {
    auto* button = new QPushButton(this);
    button->setFont(gameFont(FontFace::Gothic, 9));
    // Typing must always reach Text1, so a click never takes the focus away from it.
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QPushButton::clicked, this, [this, n] {
      click(game_, n);
      sync();
    });
    commands_[static_cast<size_t>(n)] = button;
  }

  text1_ = new QLineEdit(this);
  text1_->installEventFilter(this);
  connect(text1_, &QLineEdit::textEdited, this, [this](const QString& text) {
    game_.form.text1.text = text.toStdString();
    shownText1_.text = game_.form.text1.text;
  });
  keepInputMethodOff();

  text2_ = new QLineEdit(this);
  text2_->setReadOnly(true);
  text2_->setFocusPolicy(Qt::NoFocus);

  for (int n = 1; n <= 5; ++n) {
    auto* timer = new QTimer(this);
    timer->setInterval(kTickMs);
    timer->setTimerType(Qt::PreciseTimer);
    connect(timer, &QTimer::timeout, this, [this, n] {
      tick(game_, n);
      sync();
    });
    timers_[static_cast<size_t>(n)] = timer;
  }

  sync();
  text1_->setFocus();
}

void GameWindow::startTimers() {
  sync();
  for (int n = 1; n <= 5; ++n) timers_[static_cast<size_t>(n)]->start();
}

QPushButton* GameWindow::command(int n) const {
  return n >= 1 && n <= kCommandCount ? commands_[static_cast<size_t>(n)] : nullptr;
}

int GameWindow::keyCode(int qtKey) {
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return 65 + (qtKey - Qt::Key_A);
  if (qtKey >= Qt::Key_Left && qtKey <= Qt::Key_Down) return 37 + (qtKey - Qt::Key_Left);
  return 0;
}

void GameWindow::sync() {
  const Form& form = game_.form;
  canvas_->sync(form, game_.state);

  if (!synced_ || form.caption != shownCaption_) {
    shownCaption_ = form.caption;
    setWindowTitle(QString::fromStdString(shownCaption_));
  }

  for (int n = 1; n <= kCommandCount; ++n) {
    QPushButton* button = commands_[static_cast<size_t>(n)];
    Button& shown = shownCommands_[static_cast<size_t>(n)];
    const Button& now = form.command(n);
    if (synced_ && shown == now) continue;
    if (!synced_ || shown.left != now.left || shown.top != now.top || shown.width != now.width ||
        shown.height != now.height)
      place(button, now.left, now.top, now.width, now.height);
    if (!synced_ || shown.caption != now.caption)
      button->setText(QString::fromStdString(now.caption));
    shown = now;
  }

  syncTextBox(text1_, shownText1_, form.text1);
  syncTextBox(text2_, shownText2_, form.text2);
  synced_ = true;
}

void GameWindow::place(QWidget* widget, float left, float top, float width, float height) {
  widget->setGeometry(Canvas::pixels(left, top, width, height).toRect());
}

void GameWindow::syncTextBox(QLineEdit* box, TextBox& shown, const TextBox& model) {
  if (synced_ && shown == model) return;
  if (!synced_ || shown.left != model.left || shown.top != model.top ||
      shown.width != model.width || shown.height != model.height)
    place(box, model.left, model.top, model.width, model.height);
  if (!synced_ || shown.fontSize != model.fontSize)
    box->setFont(gameFont(FontFace::Mincho, model.fontSize));
  // The rules own the text: they empty Text1 at points, and that must show.
  if (!synced_ || shown.text != model.text) {
    box->setText(QString::fromStdString(model.text));
    if (box == text1_) keepInputMethodOff();
  }
  shown = model;
}

void GameWindow::keepInputMethodOff() {
  // With a Japanese input method on, letters would turn into composition instead of key codes.
  text1_->setAttribute(Qt::WA_InputMethodEnabled, false);
}

bool GameWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched != text1_) return QWidget::eventFilter(watched, event);
  if (event->type() == QEvent::FocusIn) keepInputMethodOff();
  if (event->type() != QEvent::KeyPress) return false;

  const auto* key = static_cast<QKeyEvent*>(event);
  const int code = keyCode(key->key());
  if (code == 0) return false;
  const int16_t shift = key->modifiers().testFlag(Qt::ShiftModifier) ? 1 : 0;
  game_.Text1_KeyDown(static_cast<int16_t>(code), shift);
  // Before the text box takes the letter, so a Text1 the rules just emptied still receives it.
  sync();
  // The arrows are the game's; the cursor in the text box stays where it is.
  return code <= 40;
}

}  // namespace milka::platform
