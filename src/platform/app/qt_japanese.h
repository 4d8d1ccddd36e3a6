// Qt's own words (the text box's context menu and the like) in Japanese, from the translations
// Debian ships with Qt, so nothing in the window reads in English.
#pragma once

#include <QTranslator>

namespace milka::platform {

// Loads qtbase_ja into translator and installs it; false (and Qt stays in English) when the
// translation is not installed.
bool speakJapanese(QTranslator& translator);

}  // namespace milka::platform
