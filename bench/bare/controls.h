// The bare window's interactive child widgets: 5 push buttons, 1 line edit.
#pragma once

#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include "common.h"

struct Controls {
  QLineEdit* lineEdit;
  QVector<QWidget*> buttons;
};

inline Controls addControls(QWidget* parent) {
  static const char* const names[kButtonCount] = {"開始", "停止", "保存", "読込", "終了"};
  Controls c;
  c.lineEdit = new QLineEdit(parent);
  c.lineEdit->setObjectName("input");
  c.lineEdit->setGeometry(twipsRect(120, 6450, 4500, 330));
  c.lineEdit->setFont(jpFont(false, 12));
  c.lineEdit->setAttribute(Qt::WA_InputMethodEnabled, false);
  for (int i = 0; i < kButtonCount; ++i) {
    auto* b = new QPushButton(QString::fromUtf8(names[i]), parent);
    b->setObjectName(QStringLiteral("button%1").arg(i));
    b->setGeometry(twipsRect(120 + i * 1500, 7050, 1350, 450));
    b->setFont(jpFont(false, 12));
    b->setFocusPolicy(Qt::NoFocus);  // keep keyboard focus in the line edit
    c.buttons.push_back(b);
  }
  c.lineEdit->setFocus();
  return c;
}
