// The game's window built as anyone would with stock Qt widgets, for measuring the game's own
// drawing against: a QLabel per label and per picture, stacked in the game's order, five
// buttons and the line edit, kept up to date property by property from the same model.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <array>
#include <map>
#include <tuple>

#include "platform/draw/canvas.h"
#include "platform/draw/fonts.h"
#include "platform/draw/sprites.h"
#include "shell/form.h"

namespace milka::bench {

using milka::Form;
using milka::platform::Canvas;

inline void place(QWidget* w, float left, float top, float width, float height) {
  w->setGeometry(Canvas::pixels(left, top, width, height).toRect());
}

class BareWindow final : public QWidget {
 public:
  explicit BareWindow(const Form& form) {
    setFixedSize(Canvas::pixels(0, 0, form.clientWidth, form.clientHeight).size().toSize());
    setAutoFillBackground(true);
    labels_[9] = new QLabel(this);
    for (int n = 1; n <= milka::kLabelCount; ++n)
      if (n != 9) labels_[static_cast<size_t>(n)] = new QLabel(this);
    for (int n = 1; n <= milka::kImageCount; ++n)
      pictures_[static_cast<size_t>(n)] = new QLabel(this);
    for (int n = 1; n <= milka::kCommandCount; ++n) {
      const milka::Button& b = form.command(n);
      auto* button = new QPushButton(QString::fromStdString(b.caption), this);
      button->setFont(milka::platform::gameFont(milka::FontFace::Gothic, 9));
      place(button, b.left, b.top, b.width, b.height);
    }
    auto* text1 = new QLineEdit(this);
    place(text1, form.text1.left, form.text1.top, form.text1.width, form.text1.height);
    sync(form);
  }

  void sync(const Form& form) {
    if (!synced_ || form.backColour != shown_.backColour) {
      QPalette p = palette();
      p.setColor(QPalette::Window, QColor(static_cast<QRgb>(form.backColour)));
      setPalette(p);
    }
    for (int n = 1; n <= milka::kLabelCount; ++n) {
      const milka::Label& now = form.label(n);
      const milka::Label& was = shown_.label(n);
      QLabel* l = labels_[static_cast<size_t>(n)];
      if (synced_ && now == was) continue;
      if (!synced_ || now.caption != was.caption) l->setText(QString::fromStdString(now.caption));
      if (!synced_ || now.face != was.face || now.fontSize != was.fontSize || now.bold != was.bold)
        l->setFont(milka::platform::gameFont(now.face, now.fontSize, now.bold));
      if (!synced_ || now.foreColour != was.foreColour || now.backColour != was.backColour) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, QColor(static_cast<QRgb>(now.foreColour)));
        p.setColor(QPalette::Window, QColor(static_cast<QRgb>(now.backColour)));
        l->setPalette(p);
      }
      l->setAutoFillBackground(!now.transparent);
      l->setAlignment(Qt::AlignTop |
                      (now.alignment == milka::Align::Centre ? Qt::AlignHCenter : Qt::AlignLeft));
      place(l, now.left, now.top, now.width, now.height);
    }
    for (int n = 1; n <= milka::kImageCount; ++n) {
      const milka::Picture& now = form.image(n);
      const milka::Picture& was = shown_.image(n);
      QLabel* l = pictures_[static_cast<size_t>(n)];
      if (synced_ && now == was) continue;
      if (!synced_ || !(now.sprite == was.sprite)) l->setPixmap(pixmap(now.sprite));
      place(l, now.left, now.top, now.width, now.height);
    }
    shown_ = form;
    synced_ = true;
  }

 private:
  const QPixmap& pixmap(const milka::Sprite& s) {
    auto [at, made] = pixmaps_.try_emplace({s.kind, s.coat, s.facingLeft, s.frame});
    if (made) at->second = QPixmap::fromImage(milka::platform::spriteImage(s));
    return at->second;
  }

  std::array<QLabel*, milka::kLabelCount + 1> labels_{};
  std::array<QLabel*, milka::kImageCount + 1> pictures_{};
  std::map<std::tuple<milka::SpriteKind, milka::Coat, bool, int>, QPixmap> pixmaps_;
  Form shown_;
  bool synced_ = false;
};

}  // namespace milka::bench
