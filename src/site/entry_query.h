// Reading the score query the game sends to vbvb55.php: the token from pdf.php and the horse's
// name run together, then ">" and the nine top-race times. The game percent-encodes every
// piece, so the whole query is decoded first and then read strictly: anything the game could
// never have built is refused with the reason, in Japanese.
#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace milka::site {

// pdf.php's tokens: this many characters from kTokenAlphabet. Upper case and digits only, so
// the token can never be mistaken for the first letters of a name, which are lower case or
// arrows.
inline constexpr int kTokenLength = 10;
inline constexpr char kTokenAlphabet[] = "ABCDEFGHJKLMNPQRSTUVWXYZ23456789";
// Far more than the game ever sends (a token, twelve arrows percent-encoded, nine times).
inline constexpr qsizetype kQueryLimit = 1024;
inline constexpr int kTimeLimit = 9999;

struct Entry {
  QByteArray token;
  QString name;                    // 2..12 key symbols
  std::array<int32_t, 9> times{};  // in the order of online::kSentMonths; 0 = not won
};

enum class QueryFault {
  None,
  TooLong,
  NotText,
  NoToken,
  BadName,
  WrongCount,
  BadTime,
  // Found only against the database.
  UnknownToken,
  UsedToken,
  ExpiredToken,
  // The entry says other than the journal uploaded with its token proved.
  Disagrees,
  // The database could not take the entry (locked too long, disk full): the site's fault.
  Unavailable,
};

struct ReadQuery {
  std::optional<Entry> entry;
  QueryFault fault = QueryFault::None;
};

// rawQuery is the query as it came in the request line (still percent-encoded).
ReadQuery readEntryQuery(const QByteArray& rawQuery);

// How many key symbols name is made of, or -1 if it holds anything else.
int keySymbolCount(const QString& name);

// The message a player reads on the 400 page for a fault.
QString faultMessage(QueryFault fault);

}  // namespace milka::site
