#include "platform/app/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QSet>
#include <vector>

#include "platform/window/view_settings.h"

#ifndef MILKA_VERSION
#define MILKA_VERSION "0"
#endif

namespace milka::platform {

namespace {

// Stores an option's value into the options; answers why a value is refused, or an empty text.
using Store = QString (*)(const QString& value, Options& options);

struct OptionRow {
  QCommandLineOption option;
  Store store;
};

QString storeSeed(const QString& value, Options& options) {
  bool ok = false;
  const qulonglong seed = value.toULongLong(&ok);
  if (!ok) return QStringLiteral("--seed には 0 以上の整数を (--seed takes a whole number ≥ 0)");
  options.seed = seed;
  return {};
}

QString storeScale(const QString& value, Options& options) {
  bool ok = false;
  const double scale = value.toDouble(&ok);
  if (!ok || !(scale >= kMinZoom && scale <= kMaxZoom))
    return QStringLiteral(
               "--scale には %1 から %2 までの数を (--scale takes a number from %1 to %2)")
        .arg(kMinZoom)
        .arg(kMaxZoom);
  options.scale = scale;
  return {};
}

QString storeSite(const QString& value, Options& options) {
  // Whether it is a usable address is the site set-up's to say, with the environment's too.
  options.site = value;
  return {};
}

QString storeReplay(const QString& value, Options& options) {
  options.replay = value;
  return {};
}

QString storeMute(const QString&, Options& options) {
  options.mute = true;
  return {};
}

// Every option that shapes the game, in the order --help lists them.
const std::vector<OptionRow>& optionTable() {
  static const std::vector<OptionRow> rows = {
      {QCommandLineOption(
           QStringLiteral("seed"),
           QStringLiteral(
               "乱数の種 N で遊ぶ。同じ種と同じ操作で同じ経歴になる "
               "(play with the random source seeded from N, so a career can be replayed)"),
           QStringLiteral("N")),
       storeSeed},
      {QCommandLineOption(QStringLiteral("scale"),
                          QStringLiteral("始めの表示倍率 (the window's starting zoom, %1 to %2)")
                              .arg(kMinZoom)
                              .arg(kMaxZoom),
                          QStringLiteral("F")),
       storeScale},
      {QCommandLineOption(
           QStringLiteral("site"),
           QStringLiteral("作者サイトを URL のものにする。ゲーム内のサイトは動かさない "
                          "(use the maker's site at URL, also MILKA_SITE, instead "
                          "of running one in the game)"),
           QStringLiteral("URL")),
       storeSite},
      {QCommandLineOption(QStringLiteral("replay"),
                          QStringLiteral("経歴の記録 FILE を再生する。何を押しても変わらない "
                                         "(play the career journal FILE back; F2 faster, F4 next "
                                         "race)"),
                          QStringLiteral("FILE")),
       storeReplay},
      {QCommandLineOption(QStringLiteral("mute"),
                          QStringLiteral("音を出さずに始める。F6 で鳴らせる "
                                         "(start silent; F6 turns the sound on)")),
       storeMute},
  };
  return rows;
}

// Qt's own options, which QApplication takes out of the arguments itself; the game's parser must
// let them through rather than refuse them.
const QSet<QString>& qtOptionsWithValue() {
  static const QSet<QString> names = {
      QStringLiteral("platform"),      QStringLiteral("platformpluginpath"),
      QStringLiteral("platformtheme"), QStringLiteral("plugin"),
      QStringLiteral("display"),       QStringLiteral("qwindowgeometry"),
      QStringLiteral("qwindowicon"),   QStringLiteral("qwindowtitle"),
      QStringLiteral("style"),         QStringLiteral("stylesheet"),
      QStringLiteral("session")};
  return names;
}

const QSet<QString>& qtFlags() {
  static const QSet<QString> names = {QStringLiteral("reverse"), QStringLiteral("nograb"),
                                      QStringLiteral("dograb"), QStringLiteral("sync"),
                                      QStringLiteral("widgetcount")};
  return names;
}

// Qt reads both -platform and --platform.
QString qtOptionName(const QString& argument) {
  if (argument.startsWith(QLatin1String("--"))) return argument.mid(2);
  if (argument.startsWith(QLatin1Char('-'))) return argument.mid(1);
  return {};
}

StartRequest stop(int exitCode, const QString& message) {
  StartRequest request;
  request.exitCode = exitCode;
  request.message = message;
  return request;
}

}  // namespace

StartRequest readCommandLine(const QStringList& arguments) {
  StartRequest request;
  QStringList ours;
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    const QString name = i == 0 ? QString() : qtOptionName(arguments[i]);
    if (qtFlags().contains(name)) continue;
    if (qtOptionsWithValue().contains(name) && i + 1 < arguments.size()) {
      if (name == QLatin1String("platform")) request.platform = arguments[i + 1];
      ++i;
      continue;
    }
    ours << arguments[i];
  }

  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("ミルカダービー: 競走馬を育てて走らせるゲーム "
                     "(Milka Derby, a horse-racing career game)"));
  // Our own rather than Qt's, which need an application object and speak only English.
  const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                QStringLiteral("この使い方を表示 (show this help)"));
  const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")},
                                   QStringLiteral("版を表示 (show the version)"));
  parser.addOption(help);
  parser.addOption(version);
  for (const OptionRow& row : optionTable()) parser.addOption(row.option);

  const QString program = QStringLiteral("milka-derby");
  if (!parser.parse(ours))
    return stop(2, QStringLiteral("%1: %2\n%3")
                       .arg(program, parser.errorText(),
                            QStringLiteral("--help で使い方 (usage: --help)")));
  if (!parser.positionalArguments().isEmpty())
    return stop(2, QStringLiteral("%1: 余計な引数 %2 (unexpected argument)")
                       .arg(program, parser.positionalArguments().first()));
  if (parser.isSet(help)) {
    // Qt names the program after the file it was started from, or not at all before the
    // application object exists; the help names it as the player installs it.
    const QString text = parser.helpText();
    return stop(0,
                QStringLiteral("Usage: %1 [options]").arg(program) + text.mid(text.indexOf('\n')));
  }
  if (parser.isSet(version))
    return stop(
        0, QStringLiteral("ミルカダービー (Milka Derby) %1\n").arg(QLatin1String(MILKA_VERSION)));

  for (const OptionRow& row : optionTable()) {
    if (!parser.isSet(row.option)) continue;
    const QString refused = row.store(parser.value(row.option), request.options);
    if (!refused.isEmpty()) return stop(2, QStringLiteral("%1: %2").arg(program, refused));
  }
  request.play = true;
  return request;
}

}  // namespace milka::platform
