#include "play/words.h"

namespace milka::play {

namespace {

std::string number(int64_t n) {
  return std::to_string(n);
}

}  // namespace

std::string pauseText() {
  return "一時停止中\nF5 キーで続けます";
}

std::string continuedText(const GameState& s) {
  return "前回の続きです（" + number(s.horseAge) + "歳 " + number(s.month) +
         "月）。止まったところで一時停止しています。\n"
         "F5 キーで続けます。\n"
         "新しい馬を始めるときは Ctrl+N（前回の記録は消えずに残ります）。";
}

std::string damagedTailText(const std::string& keptAs) {
  return "\n記録の終わりが壊れていたため、壊れる前のところから続けます。"
         "元の記録は「" +
         keptAs + "」として残してあります。";
}

std::string replayDamagedEndText() {
  return "リプレイはここまでです（この先は記録が壊れていて読めません）";
}

std::string unreadableText(const journal::Reading& r) {
  using S = journal::Reading::Status;
  switch (r.status) {
    case S::Empty: return "記録の中身が空です";
    case S::NotAJournal: return "ミルカダービーの記録ではありません";
    case S::NewerFormat:
      return "新しい版のゲームの記録です（記録形式 " + number(r.header.format) + "、このゲームは " +
             number(journal::kFormatVersion) + " まで）";
    case S::OtherRules:
      return "ルールの版 " + number(r.header.rules) + " の記録です（このゲームのルールは版 " +
             number(journal::kRulesVersion) + "）";
    case S::Whole:
    case S::TornTail:
    case S::Damaged: break;
  }
  return "記録が壊れていて読めません";
}

std::string setAsideText(const journal::Reading& r, const std::string& keptAs) {
  return "前回の記録は続けられませんでした（" + unreadableText(r) +
         "）。\n"
         "消さずに「" +
         keptAs + "」として残し、新しい馬で始めます。";
}

std::string notKeptText(KeptIn where) {
  std::string text = where == KeptIn::browser ? "ブラウザに記録を保存できなくなったため"
                                              : "ディスクに書き込めなくなったため";
  text += "、この経歴はここから先は記録されません。ゲームはこのまま続けられます。";
  return text;
}

std::string newHorseText() {
  return "新しい馬を始めます。前回の記録は消えずに残っています。";
}

std::string watchingText() {
  return "このレースをもう一度見ています（F4 で結果に戻ります）";
}

std::string notWatchableText() {
  return "もう一度見られるのは、レースの結果が出たあとです（F3）";
}

std::string replayTitle() {
  return "【リプレイ】";
}

std::string watchingTitle() {
  return "【もう一度】";
}

std::string replayHelpText() {
  return "リプレイです。F2 で速さ（1×・2×・4×・16×）、F4 で次のレースへ、F5 で一時停止";
}

std::string replaySpeedText(int speed) {
  return "リプレイの速さ " + number(speed) + "×";
}

std::string replayEndText() {
  return "リプレイはここまでです";
}

std::string noBrowserText(const std::string& url) {
  return "ブラウザを開けませんでした。\n作者サイトはこちらです：" + url;
}

std::string unseededEntryText() {
  return "サイトにつながらない間に始まった馬なので、殿堂には未検証として載ります。";
}

std::string refusedEntryText(const std::string& reason) {
  if (reason.empty()) return "サイトが記録を受け付けなかったため、殿堂には未検証として載ります。";
  return "サイトが記録を受け付けませんでした（" + reason + "）。殿堂には未検証として載ります。";
}

std::string notSentEntryText() {
  return "記録をサイトへ送れなかったため、殿堂には未検証として載ります。";
}

std::string checkedEntryText() {
  return "成績はサイトで照合されました。";
}

std::string offlineSeedText() {
  return "サイトにつながらないため、この馬は殿堂には未検証として載ります。\n"
         "ゲームはこのまま遊べます。";
}

std::string unreachableEntryText() {
  return "サイトにつながらず、殿堂に登録できませんでした。\n"
         "この馬の記録はこのブラウザに残っています。";
}

std::string entryOutcomeText(const EntryOutcome& outcome) {
  if (!outcome.seeded) return unseededEntryText();
  switch (outcome.kind) {
    case EntryOutcome::Checked: return checkedEntryText();
    case EntryOutcome::Refused: return refusedEntryText(outcome.reason);
    case EntryOutcome::NotSent: break;
  }
  return notSentEntryText();
}

std::string pauseCaption() {
  return "F5 一時停止";
}

std::string goOnCaption() {
  return "F5 続ける";
}

std::string newHorseCaption() {
  return "Ctrl+N 新しい馬";
}

std::string symbolKeyName(int keyCode) {
  switch (keyCode) {
    case 37: return "左矢印";
    case 38: return "上矢印";
    case 39: return "右矢印";
    case 40: return "下矢印";
    default: break;
  }
  if (keyCode >= 65 && keyCode <= 90) return std::string(1, static_cast<char>(keyCode));
  return {};
}

}  // namespace milka::play
