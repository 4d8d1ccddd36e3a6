#include "site/entry_query.h"

#include <QList>

#include "shell/game.h"

namespace milka::site {

namespace {

// The symbols a name is typed with, as the game itself lists them.
const QList<QString>& keySymbols() {
  static const QList<QString> symbols = [] {
    QList<QString> out;
    for (int i = 1; i <= 30; ++i) out.append(QString::fromStdString(milka::keySymbol(i)));
    return out;
  }();
  return symbols;
}

bool isTokenChar(char c) {
  for (const char* a = kTokenAlphabet; *a != '\0'; ++a)
    if (*a == c) return true;
  return false;
}

// 1 to 4 ASCII digits; leading zeros are allowed (they change nothing), signs and spaces not.
std::optional<int32_t> readTime(const QByteArray& digits) {
  if (digits.isEmpty() || digits.size() > 4) return std::nullopt;
  int32_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value > kTimeLimit) return std::nullopt;
  return value;
}

}  // namespace

int keySymbolCount(const QString& name) {
  int count = 0;
  qsizetype at = 0;
  while (at < name.size()) {
    bool matched = false;
    for (const QString& symbol : keySymbols()) {
      if (QStringView(name).mid(at).startsWith(symbol)) {
        at += symbol.size();
        matched = true;
        break;
      }
    }
    if (!matched) return -1;
    ++count;
  }
  return count;
}

ReadQuery readEntryQuery(const QByteArray& rawQuery) {
  if (rawQuery.size() > kQueryLimit) return {std::nullopt, QueryFault::TooLong};
  const QByteArray query = QByteArray::fromPercentEncoding(rawQuery);
  // The game sends UTF-8; bytes that are not (or a stray NUL) did not come from it.
  const QString text = QString::fromUtf8(query);
  if (text.toUtf8() != query || query.contains('\0')) return {std::nullopt, QueryFault::NotText};

  const QList<QByteArray> parts = query.split('>');
  const QByteArray& head = parts.front();
  qsizetype tokenEnd = 0;
  while (tokenEnd < head.size() && isTokenChar(head[tokenEnd])) ++tokenEnd;
  if (tokenEnd != kTokenLength) return {std::nullopt, QueryFault::NoToken};

  Entry entry;
  entry.token = head.left(kTokenLength);
  entry.name = QString::fromUtf8(head.mid(kTokenLength));
  const int symbols = keySymbolCount(entry.name);
  if (symbols < 2 || symbols > 12) return {std::nullopt, QueryFault::BadName};

  if (parts.size() != 1 + static_cast<qsizetype>(entry.times.size()))
    return {std::nullopt, QueryFault::WrongCount};
  for (size_t i = 0; i < entry.times.size(); ++i) {
    const std::optional<int32_t> time = readTime(parts[static_cast<qsizetype>(i) + 1]);
    if (!time) return {std::nullopt, QueryFault::BadTime};
    entry.times[i] = *time;
  }
  return {std::move(entry), QueryFault::None};
}

QString faultMessage(QueryFault fault) {
  switch (fault) {
    case QueryFault::None: return {};
    case QueryFault::TooLong: return QStringLiteral("送られてきた成績が長すぎます。");
    case QueryFault::NotText: return QStringLiteral("送られてきた成績が読めませんでした。");
    case QueryFault::NoToken:
      return QStringLiteral("受付番号がありません。ゲームのＡボタンから送信して下さい。");
    case QueryFault::BadName:
      return QStringLiteral("馬名は2〜12文字のキー記号（a〜z と矢印）で送って下さい。");
    case QueryFault::WrongCount:
      return QStringLiteral("タイムは９レース分、「>」で区切って送って下さい。");
    case QueryFault::BadTime: return QStringLiteral("タイムは0〜9999の整数で送って下さい。");
    case QueryFault::UnknownToken: return QStringLiteral("この受付番号は発行されていません。");
    case QueryFault::UsedToken:
      return QStringLiteral("この受付番号はもう使われています。成績は一度だけ登録されます。");
    case QueryFault::ExpiredToken:
      return QStringLiteral("受付番号の有効期限が切れました。もう一度送信して下さい。");
    case QueryFault::Disagrees:
      return QStringLiteral(
          "送られてきた馬名かタイムが、この受付番号で届いた記録の内容と合いません。");
    case QueryFault::Unavailable:
      return QStringLiteral("ただいま登録できません。しばらくしてからもう一度送信して下さい。");
  }
  return {};
}

}  // namespace milka::site
