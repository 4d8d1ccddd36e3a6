#include "platform/window/window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QSettings>
#include <cmath>

#include "journal/session.h"
#include "platform/draw/fonts.h"
#include "platform/draw/sprites.h"
#include "platform/sound/sound.h"

namespace milka::platform {

namespace {

constexpr int kTickMs = 200;
constexpr float kButtonPoints = 9.0f;

}  // namespace

GameWindow::GameWindow(Game& game, QSettings* settings, QWidget* parent)
    : QWidget(parent), game_(&game), settings_(settings), canvas_(new Canvas(this)) {
  if (settings_) view_ = ViewSettings::load(*settings_);
  // Never smaller than the form's own size, where every caption just fits.
  setMinimumSize(formSize().toSize());
  resize(formSize().toSize());
  // Qualified: inside a widget, plain windowIcon() is QWidget's own getter, and the window
  // would be given back the empty icon it already has.
  setWindowIcon(milka::platform::windowIcon());
  canvas_->setGliding(view_.gliding);

  // Created after the canvas, so they lie above every label and picture.
  const QFont buttonFont = gameFont(FontFace::Gothic, kButtonPoints);
  for (int n = 1; n <= kCommandCount; ++n) {
    auto* button = new QPushButton(this);
    button->setFont(buttonFont);
    button->setToolTip(
        QStringLiteral("キー: %1").arg(QString::fromStdString(play::commandKeyNames(n))));
    // Typing must always reach Text1, so a click never takes the focus away from it.
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QPushButton::clicked, this, [this, n] { deliver(journal::Event::click(n)); });
    commands_[static_cast<size_t>(n)] = button;
  }

  text1_ = new QLineEdit(this);
  text1_->installEventFilter(this);
  connect(text1_, &QLineEdit::textEdited, this, [this](const QString& text) {
    const std::string now = text.toStdString();
    if (paused_ || locked_) {
      // Only the game may change its text box now: put back what it holds.
      shownText1_.text.clear();
      sync();
      return;
    }
    deliver(journal::Event::text1(game_->form.text1.text, now));
  });
  keepInputMethodOff();

  text2_ = new QLineEdit(this);
  text2_->setReadOnly(true);
  text2_->setFocusPolicy(Qt::NoFocus);

  for (int n = 1; n <= 5; ++n) {
    auto* timer = new QTimer(this);
    timer->setInterval(kTickMs);
    timer->setTimerType(Qt::PreciseTimer);
    connect(timer, &QTimer::timeout, this, [this, n] { deliver(journal::Event::timer(n)); });
    timers_[static_cast<size_t>(n)] = timer;
  }

  layOut();
  sync();
  text1_->setFocus();
}

GameWindow::~GameWindow() {
  remember();
}

void GameWindow::startTimers() {
  sync();
  if (paused_ || locked_) return;
  for (int n = 1; n <= 5; ++n) timers_[static_cast<size_t>(n)]->start();
}

void GameWindow::deliver(const journal::Event& e) {
  if (e.kind != journal::Event::Kind::Timer && (paused_ || locked_)) return;
  if (feed_)
    feed_(e);
  else
    journal::applyToGame(*game_, e);
  sync();
}

void GameWindow::setGame(Game& game) {
  game_ = &game;
  // Everything shown belongs to the other game now.
  synced_ = false;
  canvas_->forget();
  sync();
}

void GameWindow::setStill(bool paused, bool locked) {
  paused_ = paused;
  locked_ = locked;
  if (!paused_ && !locked_) sync();
  for (int n = 1; n <= 5; ++n) {
    QTimer* timer = timers_[static_cast<size_t>(n)];
    if (paused_ || locked_)
      timer->stop();
    else if (!timer->isActive())
      timer->start();
  }
  text1_->setReadOnly(paused_ || locked_);
  keepInputMethodOff();
}

void GameWindow::setPace(int ms, std::function<void()> tick) {
  if (pace_ == nullptr) {
    pace_ = new QTimer(this);
    pace_->setTimerType(Qt::PreciseTimer);
    connect(pace_, &QTimer::timeout, this, [this] {
      if (paceTick_) paceTick_();
    });
  }
  paceTick_ = std::move(tick);
  if (ms <= 0) {
    pace_->stop();
    return;
  }
  pace_->setInterval(ms);
  if (!pace_->isActive()) pace_->start();
}

void GameWindow::later(std::function<void()> f) {
  QTimer::singleShot(0, this, std::move(f));
}

void GameWindow::follow(play::CareerPlay& career) {
  feed_ = [&career](const journal::Event& e) { career.feed(e); };
  careerKeys_ = [&career](play::CareerKey k) { return career.key(k); };
}

void GameWindow::follow(play::ReplayShow& replay) {
  careerKeys_ = [&replay](play::CareerKey k) { return replay.key(k); };
}

void GameWindow::setTitlePrefix(const std::string& prefix) {
  titlePrefix_ = QString::fromStdString(prefix);
  setTitle();
}

void GameWindow::setTitle() {
  setWindowTitle(titlePrefix_ + QString::fromStdString(shownCaption_));
}

void GameWindow::showLastingNote(const std::string& text) {
  showLastingNote(QString::fromStdString(text));
}

void GameWindow::showLastingNote(const QString& text) {
  if (lasting_ == nullptr) lasting_ = new NoteOverlay(this, NoteOverlay::Lasting);
  lasting_->showText(text);
}

void GameWindow::showLastingNoteClearOfWords(const QString& text) {
  if (lasting_ == nullptr) lasting_ = new NoteOverlay(this, NoteOverlay::Lasting);
  lasting_->showText(text, [this] { return wordAreas(); });
}

std::vector<QRect> GameWindow::wordAreas() const {
  // The labels that show words.
  std::vector<QRect> areas;
  for (int n = 1; n <= kLabelCount; ++n) {
    const Label& l = game_->form.label(n);
    if (l.caption.empty()) continue;
    const QRect shown = placedExactly(l.left, l.top, l.width, l.height).toAlignedRect() & stage();
    if (!shown.isEmpty()) areas.push_back(shown);
  }
  // And what the player presses or types into.
  for (const QWidget* control : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (control != canvas_ && control->isVisible() &&
        (qobject_cast<const QPushButton*>(control) || qobject_cast<const QLineEdit*>(control)))
      areas.push_back(control->geometry());
  return areas;
}

void GameWindow::hideLastingNote() {
  if (lasting_ != nullptr) lasting_->hide();
}

void GameWindow::showNote(const std::string& text) {
  showNote(QString::fromStdString(text));
}

void GameWindow::showNote(const QString& text) {
  // Made on first use, so it lies above every control made before it.
  if (note_ == nullptr) note_ = new NoteOverlay(this);
  note_->showText(text);
}

QPushButton* GameWindow::command(int n) const {
  return n >= 1 && n <= kCommandCount ? commands_[static_cast<size_t>(n)] : nullptr;
}

void GameWindow::sync() {
  const Form& form = game_->form;
  // First, so that a whip's crack is on its way before the repaint.
  if (sound_) sound_->follow(*game_);
  canvas_->sync(form, game_->state);
  // The spare space around a scaled form shows the window's colour too.
  if (synced_ && form.backColour != shownBackColour_) update();
  shownBackColour_ = form.backColour;

  if (!synced_ || form.caption != shownCaption_) {
    shownCaption_ = form.caption;
    setTitle();
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

QRectF GameWindow::placedExactly(float left, float top, float width, float height) const {
  const QRectF pixels = Canvas::pixels(left, top, width, height);
  const QPointF origin = stage().topLeft();
  return {origin + pixels.topLeft() * scale_, pixels.size() * scale_};
}

QRect GameWindow::placed(float left, float top, float width, float height) const {
  return placedExactly(left, top, width, height).toRect();
}

void GameWindow::place(QWidget* widget, float left, float top, float width, float height) {
  widget->setGeometry(placed(left, top, width, height));
}

void GameWindow::syncTextBox(QLineEdit* box, TextBox& shown, const TextBox& model) {
  if (synced_ && shown == model) return;
  if (!synced_ || shown.left != model.left || shown.top != model.top ||
      shown.width != model.width || shown.height != model.height)
    place(box, model.left, model.top, model.width, model.height);
  if (!synced_ || shown.fontSize != model.fontSize)
    box->setFont(gameFont(FontFace::Mincho, model.fontSize * scale_));
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
  if (windowKey(*key)) return true;
  const int code = play::actionFor(keyPressOf(*key)).symbol;
  if (code == 0) return false;
  const int16_t shift = key->modifiers().testFlag(Qt::ShiftModifier) ? 1 : 0;
  // Nothing the player types reaches the game while it waits, not even the text box.
  if (paused_ || locked_) return true;
  // Synced before the text box takes the letter, so a Text1 the rules just emptied still
  // receives it.
  deliver(journal::Event::key(code, shift));
  // The arrows are the game's; the cursor in the text box stays where it is.
  return code <= play::vk::kDown;
}

void GameWindow::keyPressEvent(QKeyEvent* event) {
  // Only when Text1 has lost the focus somehow; it takes every key itself otherwise.
  if (!windowKey(*event)) QWidget::keyPressEvent(event);
}

bool GameWindow::windowKey(const QKeyEvent& key) {
  const play::KeyAction action = play::actionFor(keyPressOf(key));
  if (action.command == 0 && action.view == play::ViewKey::None &&
      action.career == play::CareerKey::None)
    return false;
  // A held key is one press, as a held mouse button is one click.
  if (key.isAutoRepeat()) return true;
  if (action.career != play::CareerKey::None) {
    if (careerKeys_) careerKeys_(action.career);
    return true;
  }
  if (action.command != 0) {
    deliver(journal::Event::click(action.command));
    return true;
  }
  using play::ViewKey;
  switch (action.view) {
    case ViewKey::ZoomIn: stepZoom(1); break;
    case ViewKey::ZoomOut: stepZoom(-1); break;
    case ViewKey::ActualSize: zoomTo(1); break;
    case ViewKey::FullScreen: toggleFullScreen(); break;
    case ViewKey::Gliding: setGliding(!view_.gliding); break;
    case ViewKey::Mute: setMuted(!(sound_ ? sound_->muted() : view_.muted)); break;
    case ViewKey::Quieter: stepVolume(-1); break;
    case ViewKey::Louder: stepVolume(1); break;
    case ViewKey::None: break;
  }
  return true;
}

QSizeF GameWindow::formSize() const {
  return Canvas::pixels(0, 0, game_->form.clientWidth, game_->form.clientHeight).size();
}

void GameWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layOut();
  if (lasting_ != nullptr && lasting_->isVisible()) lasting_->place();
}

void GameWindow::layOut() {
  const QSizeF form = formSize();
  scale_ = std::min(width() / form.width(), height() / form.height());
  const QSizeF drawn = form * scale_;
  const QPointF origin((width() - drawn.width()) / 2, (height() - drawn.height()) / 2);
  canvas_->setGeometry(QRectF(origin, drawn).toRect());
  canvas_->setScale(scale_);
  update();
  if (!synced_) return;  // the first sync places everything

  const QFont buttonFont = gameFont(FontFace::Gothic, kButtonPoints * scale_);
  for (int n = 1; n <= kCommandCount; ++n) {
    const Button& b = shownCommands_[static_cast<size_t>(n)];
    QPushButton* button = commands_[static_cast<size_t>(n)];
    button->setFont(buttonFont);
    place(button, b.left, b.top, b.width, b.height);
  }
  for (auto [box, shown] : {std::pair{text1_, &shownText1_}, std::pair{text2_, &shownText2_}}) {
    box->setFont(gameFont(FontFace::Mincho, shown->fontSize * scale_));
    place(box, shown->left, shown->top, shown->width, shown->height);
  }
}

void GameWindow::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(event->rect(), QColor(static_cast<QRgb>(game_->form.backColour)));
}

int GameWindow::largestWholeZoom() const {
  const QScreen* shown = screen();
  if (!shown) return 1;
  // The frame the desktop draws around the window needs room too.
  const QSize frame = frameGeometry().size() - size();
  const QSize room = shown->availableGeometry().size() - frame;
  const QSizeF form = formSize();
  const int whole = static_cast<int>(
      std::floor(std::min(room.width() / form.width(), room.height() / form.height())));
  return std::clamp(whole, 1, static_cast<int>(kMaxZoom));
}

void GameWindow::zoomTo(double zoom) {
  zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
  if (isFullScreen() || isMaximized()) showNormal();
  resize((formSize() * zoom).toSize());
  remember();
}

void GameWindow::stepZoom(int steps) {
  zoomTo(play::steppedZoom(scale_, steps, largestWholeZoom()));
}

void GameWindow::toggleFullScreen() {
  if (isFullScreen()) {
    showNormal();
  } else {
    showFullScreen();
  }
  remember();
}

void GameWindow::setGliding(bool on) {
  view_.gliding = on;
  canvas_->setGliding(on);
  remember();
}

void GameWindow::setSound(Sound* sound, bool startMuted) {
  sound_ = sound;
  if (!sound_) return;
  sound_->setVolume(view_.volume);
  sound_->setMuted(startMuted || view_.muted);
  sound_->follow(*game_);
}

void GameWindow::setMuted(bool muted) {
  if (sound_) sound_->setMuted(muted);
  view_.muted = muted;
  remember();
}

void GameWindow::stepVolume(int steps) {
  const bool wasMuted = view_.muted;
  play::stepVolume(view_, steps);
  if (sound_) sound_->setVolume(view_.volume);
  if (wasMuted != view_.muted) setMuted(view_.muted);
  remember();
}

void GameWindow::showAsRemembered(std::optional<double> startZoom) {
  if (startZoom) {
    zoomTo(*startZoom);
    show();
    return;
  }
  if (view_.geometry.isEmpty() || !restoreGeometry(view_.geometry))
    resize((formSize() * view_.zoom).toSize());
  if (view_.fullScreen) {
    showFullScreen();
  } else {
    showNormal();
  }
}

void GameWindow::closeEvent(QCloseEvent* event) {
  remember();
  QWidget::closeEvent(event);
}

void GameWindow::remember() {
  view_.fullScreen = isFullScreen();
  if (!view_.fullScreen) view_.zoom = std::clamp(scale_, kMinZoom, kMaxZoom);
  view_.geometry = saveGeometry();
  if (settings_) view_.save(*settings_);
}

}  // namespace milka::platform
