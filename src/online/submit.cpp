// The closing A of a career. The messages show at once; the send itself runs in the
// background: a network that hangs must never hold the window, and nothing that comes back is
// reported to the player.
#include "online/submit.h"

#include <utility>

#include "online/sent_months.h"
#include "shell/game.h"
#include "shell/text.h"

namespace milka {
namespace online {

namespace {

bool unreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~';
}

std::string joined(const std::string& base, const char* page) {
  std::string out = base;
  while (!out.empty() && out.back() == '/') out.pop_back();
  return out + "/" + page;
}

}  // namespace

std::string percentEncode(std::string_view piece) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(piece.size());
  for (char ch : piece) {
    const auto c = static_cast<unsigned char>(ch);
    if (unreserved(c)) {
      out += ch;
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0x0F];
    }
  }
  return out;
}

std::string fetchUrl(const std::string& base) {
  return joined(base, "pdf.php");
}

std::string queryUrl(const std::string& base, std::string_view fetched, std::string_view name,
                     const Family<int32_t, 12>& bigRaceTime) {
  if (fetched.size() > kFetchedTextLimit) fetched = {};
  std::string url = joined(base, "vbvb55.php") + "?" + percentEncode(fetched) + percentEncode(name);
  for (int month : kSentMonths) {
    // Piece by piece, as `">" + num(...)` trips GCC 12's -Wrestrict at -O3.
    url += '>';
    url += num(bigRaceTime[static_cast<size_t>(month)]);
  }
  return url;
}

void submitRecord(Game& g) {
  GameState& s = g.state;
  Form& f = g.form;
  if (s.buttonTicks < 3) {
    s.buttonTicks = 0;
    return;
  }

  f.label(37).foreColour = 0xFF00FF;
  f.label(37).caption = "ネットに繋がる環境なら送信しました";
  f.label(26).foreColour = 0x0000FF;
  f.label(26).caption = "自信がある成績なら作者サイトへＧｏ！";
  f.label(28).caption = "右上の×ボタンを押して終了下さい。お疲れ様でした。";
  s.screenState = screen::kFinished;

  if (s.sendEnabled == 1 && g.online != nullptr) {
    // The record is final by now; take it as it stands at the press.
    const std::string base = g.online->siteBase;
    std::string name = s.horseName;
    const Family<int32_t, 12> times = s.bigRaceTime;
    g.online->fetch(fetchUrl(base), [&g, base, name = std::move(name), times](std::string text) {
      g.form.text2.text = queryUrl(base, text, name, times);
      if (g.online == nullptr) return;
      g.online->navigate(g.form.text2.text,
                         [&g](const std::string& where) { g.WebBrowser1_Notify(where); });
    });
  }

  s.buttonTicks = 0;
}

}  // namespace online
}  // namespace milka
