// Qt's own texts read in Japanese once the game has loaded Qt's translation.
#include "platform/app/qt_japanese.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMenu>
#include <memory>

namespace milka::platform {
namespace {

QStringList contextMenuTexts() {
  QLineEdit box;
  box.setText(QStringLiteral("milka"));
  box.selectAll();
  const std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
  QStringList texts;
  for (const QAction* action : menu->actions())
    if (!action->isSeparator()) texts << action->text();
  return texts;
}

TEST(QtJapanese, TheTextBoxMenuReadsInJapanese) {
  ASSERT_TRUE(contextMenuTexts().join(' ').contains(QStringLiteral("Copy")));
  QTranslator translator;
  ASSERT_TRUE(speakJapanese(translator)) << "qt6-translations-l10n is not installed";
  const QString texts = contextMenuTexts().join(' ');
  QCoreApplication::removeTranslator(&translator);
  EXPECT_TRUE(texts.contains(QStringLiteral("コピー"))) << texts.toStdString();
  EXPECT_TRUE(texts.contains(QStringLiteral("貼り付け"))) << texts.toStdString();
  EXPECT_FALSE(texts.contains(QStringLiteral("Copy"))) << texts.toStdString();
}

}  // namespace
}  // namespace milka::platform
