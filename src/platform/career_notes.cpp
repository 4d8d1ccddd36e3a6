#include "platform/career_notes.h"

namespace milka::platform {

QString pauseText() {
  return QStringLiteral("一時停止中\nF5 キーで続けます");
}

QString continuedText(const GameState& s) {
  return QStringLiteral(
             "前回の続きです（%1歳 %2月）。止まったところで一時停止しています。\n"
             "F5 キーで続けます。\n"
             "新しい馬を始めるときは Ctrl+N（前回の記録は消えずに残ります）。")
      .arg(s.horseAge)
      .arg(s.month);
}

QString damagedTailText(const QString& keptAs) {
  return QStringLiteral("\n記録の終わりが壊れていたため、壊れる前のところから続けます。"
                        "元の記録は「%1」として残してあります。")
      .arg(keptAs);
}

QString replayDamagedEndText() {
  return QStringLiteral("リプレイはここまでです（この先は記録が壊れていて読めません）");
}

QString unreadableText(const journal::Reading& r) {
  using S = journal::Reading::Status;
  switch (r.status) {
    case S::Empty: return QStringLiteral("記録の中身が空です");
    case S::NotAJournal: return QStringLiteral("ミルカダービーの記録ではありません");
    case S::NewerFormat:
      return QStringLiteral("新しい版のゲームの記録です（記録形式 %1、このゲームは %2 まで）")
          .arg(r.header.format)
          .arg(journal::kFormatVersion);
    case S::OtherRules:
      return QStringLiteral("ルールの版 %1 の記録です（このゲームのルールは版 %2）")
          .arg(r.header.rules)
          .arg(journal::kRulesVersion);
    case S::Whole:
    case S::TornTail:
    case S::Damaged: break;
  }
  return QStringLiteral("記録が壊れていて読めません");
}

QString setAsideText(const journal::Reading& r, const QString& keptAs) {
  return QStringLiteral("前回の記録は続けられませんでした（%1）。\n"
                        "消さずに「%2」として残し、新しい馬で始めます。")
      .arg(unreadableText(r), keptAs);
}

QString notKeptText() {
  return QStringLiteral("ディスクに書き込めなくなったため、この経歴はここから先は記録されません。"
                        "ゲームはこのまま続けられます。");
}

QString unseededEntryText() {
  return QStringLiteral("サイトにつながらない間に始まった馬なので、殿堂には未検証として載ります。");
}

QString refusedEntryText(const QString& reason) {
  if (reason.isEmpty())
    return QStringLiteral("サイトが記録を受け付けなかったため、殿堂には未検証として載ります。");
  return QStringLiteral("サイトが記録を受け付けませんでした（%1）。殿堂には未検証として載ります。")
      .arg(reason);
}

QString notSentEntryText() {
  return QStringLiteral("記録をサイトへ送れなかったため、殿堂には未検証として載ります。");
}

QString checkedEntryText() {
  return QStringLiteral("成績はサイトで照合されました。");
}

QString newHorseText() {
  return QStringLiteral("新しい馬を始めます。前回の記録は消えずに残っています。");
}

QString watchingText() {
  return QStringLiteral("このレースをもう一度見ています（F4 で結果に戻ります）");
}

QString notWatchableText() {
  return QStringLiteral("もう一度見られるのは、レースの結果が出たあとです（F3）");
}

QString replayTitle() {
  return QStringLiteral("【リプレイ】");
}

QString watchingTitle() {
  return QStringLiteral("【もう一度】");
}

QString replayHelpText() {
  return QStringLiteral(
      "リプレイです。F2 で速さ（1×・2×・4×・16×）、F4 で次のレースへ、F5 で一時停止");
}

QString replaySpeedText(int speed) {
  return QStringLiteral("リプレイの速さ %1×").arg(speed);
}

QString replayEndText() {
  return QStringLiteral("リプレイはここまでです");
}

}  // namespace milka::platform
