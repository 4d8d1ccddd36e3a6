#include "site/pages.h"

#include <QDateTime>
#include <algorithm>

#include "career/programme_tables.h"
#include "online/sent_months.h"

namespace milka::site {

namespace {

using career::kAgeTwoRaces;
using career::kClassRaceLaps;
using career::kClassRaceNames;
using career::kGradedRaces;
using career::kOpenRaceName;
using career::kTopRaces;
using career::kVenueNames;
using career::kVenueOfMonth;
using online::kSentMonths;

const char kStyle[] = R"css(
:root { --turf: #1d4d2f; --turf-light: #e4eee3; --cream: #f8f5ec; --ink: #222; --muted: #6b6b6b;
        --gold: #b8860b; --line: #d8d2c0; --chain: #8a2b2b; }
* { box-sizing: border-box; }
body { margin: 0; background: var(--cream); color: var(--ink); line-height: 1.6;
       font-family: "IPAPGothic", "IPAexGothic", "Noto Sans CJK JP", "Hiragino Kaku Gothic ProN",
                    "Meiryo", sans-serif; }
header { background: var(--turf); color: #fff; padding: 20px 32px 16px;
         border-bottom: 4px solid var(--gold); }
header h1 { margin: 0; font-size: 26px; letter-spacing: 0.08em; }
header h1 a { color: inherit; text-decoration: none; }
header p { margin: 2px 0 0; font-size: 13px; opacity: 0.85; }
nav { margin-top: 10px; font-size: 14px; }
nav a { color: #fff; margin-right: 18px; }
main { max-width: 1180px; margin: 0 auto; padding: 8px 24px 40px; }
h2 { border-left: 6px solid var(--turf); padding-left: 10px; margin: 32px 0 12px; font-size: 21px; }
h3 { margin: 0 0 6px; font-size: 16px; }
.calendar-block { margin-bottom: 22px; }
p.lead { margin: 4px 0 14px; }
.note { color: var(--muted); font-size: 13px; }
table { border-collapse: collapse; background: #fff; font-size: 14px; }
th, td { border: 1px solid var(--line); padding: 4px 8px; }
th { background: var(--turf-light); font-weight: bold; white-space: nowrap; }
tbody tr:nth-child(even) td { background: #fbfaf6; }
td.num { text-align: right; font-variant-numeric: tabular-nums; white-space: nowrap; }
td.centre, th.centre { text-align: center; }
td.graded { background: #fff8e6 !important; }
td.top { background: #fdecec !important; font-weight: bold; }
td.chain { color: var(--chain); }
td.off { color: var(--muted); text-align: center; }
.wide { overflow-x: auto; }
.calendar td { white-space: nowrap; }
.hall { display: grid; grid-template-columns: repeat(auto-fill, minmax(340px, 1fr)); gap: 14px;
        align-items: start; }
.card { background: #fff; border: 1px solid var(--line); border-radius: 6px; padding: 12px 14px; }
.card table { width: 100%; font-size: 13px; }
.card .empty { color: var(--muted); font-size: 13px; margin: 4px 0; }
tr.first td { font-weight: bold; }
tr.first td.rank { color: var(--gold); }
.entry { background: #fff; border: 1px solid var(--line); border-radius: 6px; padding: 18px 22px;
         margin-top: 20px; }
.entry .name { font-size: 30px; font-weight: bold; letter-spacing: 0.05em; }
.banner { background: var(--turf); color: #fff; display: inline-block; padding: 4px 14px;
          border-radius: 4px; font-weight: bold; margin-top: 20px; }
.refusal { background: #fff; border: 1px solid var(--line); border-left: 6px solid var(--chain);
           padding: 16px 22px; margin-top: 28px; }
.refusal h2 { border: none; padding: 0; margin: 0 0 8px; color: var(--chain); }
.pages { margin-top: 10px; font-size: 14px; }
.pages a, .pages span { margin-right: 14px; }
a { color: #1a5a9a; }
.unverified { display: inline-block; margin-left: 6px; padding: 0 5px; border: 1px solid var(--muted);
              border-radius: 3px; color: var(--muted); font-size: 11px; font-weight: normal;
              vertical-align: middle; }
.verified { color: var(--turf); font-weight: bold; }
.charts { display: flex; flex-wrap: wrap; gap: 14px; margin: 10px 0; }
.charts figure { margin: 0; background: #fff; border: 1px solid var(--line); border-radius: 6px;
                 padding: 8px 10px; }
.charts figcaption { font-size: 13px; font-weight: bold; }
tr.won td { font-weight: bold; }
footer { text-align: center; color: var(--muted); font-size: 12px; padding: 16px; }
)css";

QString laps(int32_t n) {
  return QString::number(n) + QStringLiteral("周");
}

QString month(int m) {
  return QString::number(m) + QStringLiteral("月");
}

QString seconds(int32_t t) {
  return QString::number(t) + QStringLiteral("秒");
}

QString date(qint64 secs) {
  return QDateTime::fromSecsSinceEpoch(secs).toLocalTime().toString(QStringLiteral("yyyy/MM/dd"));
}

QString u8(const char* text) {
  return QString::fromUtf8(text);
}

QString unverifiedMark(bool verified) {
  return verified ? QString()
                  : QStringLiteral(
                        "<span class=\"unverified\" title=\"記録による照合のない成績です\">"
                        "未検証</span>");
}

QString entryLink(const Career& c) {
  return QStringLiteral("<a href=\"/karuden/uma?n=%1\">%2</a>%3")
      .arg(c.id)
      .arg(escaped(c.name), unverifiedMark(c.verified));
}

QByteArray page(const QString& title, const QString& body) {
  QString html;
  html.reserve(body.size() + 4096);
  html += QStringLiteral(
      "<!DOCTYPE html>\n<html lang=\"ja\"><head><meta charset=\"utf-8\">"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
      "<title>");
  html += escaped(title);
  html += QStringLiteral(" | ミルカリアプログラム</title><style>");
  html += QString::fromUtf8(kStyle);
  html += QStringLiteral(
      "</style></head><body><header><h1><a href=\"/karuden/\">ミルカリアプログラム</a></h1>"
      "<p>ミルカダービー 作者サイト ― レースカレンダーと殿堂</p><nav>"
      "<a href=\"/karuden/#calendar\">レースカレンダー</a><a href=\"/karuden/#hall\">殿堂</a>"
      "<a href=\"/karuden/#careers\">全成績</a></nav></header><main>");
  html += body;
  html += QStringLiteral("</main><footer>ミルカダービー</footer></body></html>\n");
  return html.toUtf8();
}

QString ageTwoCalendar() {
  QString out = QStringLiteral(
      "<div class=\"calendar-block\"><h3>2歳（7月〜12月）</h3><p "
      "class=\"note\">2歳のうちはクラスに関係なく、月ごとのレースを走ります。</p>"
      "<div class=\"wide\"><table class=\"calendar\"><thead><tr><th>月</th><th>競馬場</th>"
      "<th>レース</th><th>周回</th></tr></thead><tbody>");
  for (int m = 7; m <= 12; ++m) {
    out += QStringLiteral(
               "<tr><td class=\"centre\">%1</td><td class=\"centre\">%2</td><td>%3</td>"
               "<td class=\"num\">%4</td></tr>")
               .arg(month(m), u8(kVenueNames[kVenueOfMonth[m]]), escaped(u8(kAgeTwoRaces[m].name)),
                    laps(kAgeTwoRaces[m].laps));
  }
  return out + QStringLiteral("</tbody></table></div></div>");
}

QString olderCalendar() {
  QString out = QStringLiteral(
      "<h3>3歳・4歳（1月〜12月、両年とも同じ番組）</h3>"
      "<p class=\"note\">クラスは勝利数で決まります。0勝は「");
  out += escaped(u8(kOpenRaceName));
  out += QStringLiteral(
      "」、1〜9勝はクラス戦、10〜13勝は重賞、14勝以上は最高峰レースに出走します。"
      "表の数字は周回数です。</p><div class=\"wide\"><table class=\"calendar\"><thead><tr>"
      "<th>月</th><th>競馬場</th>");
  out += QStringLiteral("<th class=\"centre\">%1<br><span class=\"note\">0勝</span></th>")
             .arg(escaped(u8(kOpenRaceName)));
  for (int step = 1; step <= 9; ++step)
    out += QStringLiteral("<th class=\"centre\">%1<br><span class=\"note\">%2勝</span></th>")
               .arg(escaped(u8(kClassRaceNames[step])))
               .arg(step);
  out += QStringLiteral(
      "<th>重賞（S3・S2）<br><span class=\"note\">10〜13勝</span></th>"
      "<th>最高峰（S1）<br><span class=\"note\">14勝以上</span></th>"
      "</tr></thead><tbody>");
  for (int m = 1; m <= 12; ++m) {
    out += QStringLiteral("<tr><td class=\"centre\">%1</td><td class=\"centre\">%2</td>")
               .arg(month(m), u8(kVenueNames[kVenueOfMonth[m]]));
    for (int step = 0; step <= 9; ++step) {
      const int32_t n = kClassRaceLaps[m][step];
      if (n == 0)
        out += QStringLiteral("<td class=\"off\">引退</td>");
      else
        out += QStringLiteral("<td class=\"num\">%1</td>").arg(laps(n));
    }
    out += QStringLiteral("<td class=\"graded\">%1　%2</td>")
               .arg(escaped(u8(kGradedRaces[m].name)), laps(kGradedRaces[m].laps));
    out += QStringLiteral("<td class=\"top%1\">%2　%3%4</td>")
               .arg(kTopRaces[m].needsLastMonthsWin ? QStringLiteral(" chain") : QString(),
                    escaped(u8(kTopRaces[m].name)), laps(kTopRaces[m].laps),
                    kTopRaces[m].needsLastMonthsWin ? QStringLiteral(" ※") : QString());
  }
  out += QStringLiteral("</tbody></table></div>");

  // The chain as the tables have it: each race that needs the month before's win, after the
  // first that does not.
  QString chain;
  for (int m = 1; m <= 12; ++m) {
    if (!kTopRaces[m].needsLastMonthsWin) continue;
    if (chain.isEmpty())
      chain = month(m - 1) + QStringLiteral("「") + escaped(u8(kTopRaces[m - 1].name)) +
              QStringLiteral("」");
    chain += QStringLiteral(" → ") + month(m) + QStringLiteral("「") +
             escaped(u8(kTopRaces[m].name)) + QStringLiteral("」");
  }
  out += QStringLiteral(
             "<p class=\"note\">※ 10月〜12月の最高峰レースは連鎖しています：%1。"
             "前の月の最高峰レースを勝った馬だけが出走でき、勝てなかった馬はその月の重賞を走ります"
             "。</p>")
             .arg(chain);
  out += QStringLiteral(
      "<p class=\"note\">引退：3歳・4歳の7月以降、一度も勝っていない馬は引退します。"
      "5歳になるとどの馬も引退です。</p>");
  return out;
}

QString sentRacesNote() {
  QString list;
  for (int m : kSentMonths) {
    if (!list.isEmpty()) list += QStringLiteral("、");
    list += month(m) + QStringLiteral("「") + escaped(u8(kTopRaces[m].name)) + QStringLiteral("」");
  }
  return QStringLiteral(
             "<p "
             "class=\"note\">殿堂に残るのは、引退の後のＡボタンで送られる最高峰レースの勝ちタイム"
             "（%1）です。1月・2月・4月の最高峰レースは送られません。</p>")
      .arg(list);
}

QString hallOfFame(const Store& store) {
  QString out = QStringLiteral(
      "<h2 id=\"hall\">殿堂</h2><p class=\"lead\">最高峰レースごとの最速の勝ちタイム。"
      "同タイムは先に登録された馬が上です。殿堂に載るのは、サイトが記録を再生して"
      "確かめた成績だけです。</p>");
  out += sentRacesNote();
  out += QStringLiteral("<div class=\"hall\">");
  for (size_t i = 0; i < kSentMonths.size(); ++i) {
    const int m = kSentMonths[i];
    out +=
        QStringLiteral("<section class=\"card\"><h3>%1　%2 <span class=\"note\">%3・%4</span></h3>")
            .arg(month(m), escaped(u8(kTopRaces[m].name)), u8(kVenueNames[kVenueOfMonth[m]]),
                 laps(kTopRaces[m].laps));
    const QList<Career> best = store.fastest(static_cast<int>(i), kHallPlaces);
    if (best.isEmpty()) {
      out += QStringLiteral("<p class=\"empty\">まだ記録がありません。</p></section>");
      continue;
    }
    out += QStringLiteral(
        "<table><thead><tr><th>順位</th><th>馬名</th><th>タイム</th><th>登録日</th>"
        "</tr></thead><tbody>");
    qint64 shownPlace = 0;
    int32_t lastTime = -1;
    for (qsizetype k = 0; k < best.size(); ++k) {
      const Career& c = best[k];
      const int32_t t = c.times[i];
      if (t != lastTime) shownPlace = k + 1;
      lastTime = t;
      out += QStringLiteral(
                 "<tr%1><td class=\"num rank\">%2</td><td>%3</td><td class=\"num\">%4</td>"
                 "<td class=\"num\">%5</td></tr>")
                 .arg(shownPlace == 1 ? QStringLiteral(" class=\"first\"") : QString())
                 .arg(shownPlace)
                 .arg(entryLink(c), seconds(t), date(c.enteredAt));
    }
    out += QStringLiteral("</tbody></table></section>");
  }
  return out + QStringLiteral("</div>");
}

QString careerList(const Store& store, qint64 pageNo) {
  const qint64 total = store.careerCount();
  const qint64 pages = std::max<qint64>(1, (total + kCareersPerPage - 1) / kCareersPerPage);
  pageNo = std::clamp<qint64>(pageNo, 1, pages);
  QString out =
      QStringLiteral(
          "<h2 id=\"careers\">全成績</h2><p class=\"lead\">登録された全%1頭、新しい順。</p>")
          .arg(total);
  if (total == 0)
    return out + QStringLiteral(
                     "<p "
                     "class=\"note\">"
                     "まだ登録がありません。最高峰レースを勝って、引退の後にＡボタンを押して下さい"
                     "。</p>");
  out += QStringLiteral("<div class=\"wide\"><table><thead><tr><th>登録日</th><th>馬名</th>");
  for (int m : kSentMonths)
    out += QStringLiteral("<th class=\"centre\" title=\"%2\">%1</th>")
               .arg(month(m), escaped(u8(kTopRaces[m].name)));
  out += QStringLiteral("</tr></thead><tbody>");
  for (const Career& c : store.newest((pageNo - 1) * kCareersPerPage, kCareersPerPage)) {
    out += QStringLiteral("<tr><td class=\"num\">%1</td><td>%2</td>")
               .arg(date(c.enteredAt), entryLink(c));
    for (int32_t t : c.times)
      out += t > 0 ? QStringLiteral("<td class=\"num\">%1</td>").arg(seconds(t))
                   : QStringLiteral("<td class=\"off\">―</td>");
    out += QStringLiteral("</tr>");
  }
  out += QStringLiteral("</tbody></table></div>");
  if (pages > 1) {
    out += QStringLiteral("<p class=\"pages\">");
    if (pageNo > 1)
      out += QStringLiteral("<a href=\"/karuden/?page=%1#careers\">← 新しい%2頭</a>")
                 .arg(pageNo - 1)
                 .arg(kCareersPerPage);
    out += QStringLiteral("<span>%1 / %2ページ</span>").arg(pageNo).arg(pages);
    if (pageNo < pages)
      out += QStringLiteral("<a href=\"/karuden/?page=%1#careers\">古い%2頭 →</a>")
                 .arg(pageNo + 1)
                 .arg(kCareersPerPage);
    out += QStringLiteral("</p>");
  }
  return out;
}

}  // namespace

QString escaped(const QString& text) {
  QString out = text.toHtmlEscaped();
  out.replace(QLatin1Char('\''), QStringLiteral("&#39;"));
  return out;
}

QByteArray topPage(const Store& store, qint64 pageNo, bool studBook, bool playable) {
  QString body;
  if (playable)
    body += QStringLiteral(
        "<p class=\"lead\"><a href=\"/play/\">ブラウザで遊ぶ</a>：インストールなしで、この"
        "ブラウザでミルカダービーを遊べます。育てた馬はゲームと同じく殿堂に登録できます。</p>");
  if (studBook)
    body += QStringLiteral(
        "<p class=\"lead\"><a href=\"/karuden/mine\">わたしの馬</a>：このコンピュータで育てた"
        "全ての馬の成績（育成中の馬も）。</p>");
  body += QStringLiteral(
      "<h2 id=\"calendar\">レースカレンダー</h2><p "
      "class=\"lead\">馬は毎月1回、その月のレースに出走します"
      "（放牧に出した月は休み）。レースは年齢・月・クラスで決まり、競馬場は月で決まります。</p>");
  body += ageTwoCalendar();
  body += olderCalendar();
  body += hallOfFame(store);
  body += careerList(store, pageNo);
  return page(QStringLiteral("レースカレンダーと殿堂"), body);
}

QByteArray entryPage(const Store& store, const Career& c, bool justEntered, const Story* story,
                     bool playable) {
  QString body;
  if (justEntered) body += QStringLiteral("<div class=\"banner\">成績を登録しました</div>");
  body += QStringLiteral(
              "<section class=\"entry\"><div class=\"name\">%1%4</div>"
              "<p class=\"note\">登録日 %2・登録番号 %3</p>")
              .arg(escaped(c.name), date(c.enteredAt), QString::number(c.id),
                   unverifiedMark(c.verified));
  body += c.verified
              ? QStringLiteral(
                    "<p class=\"verified\">この成績は、サイトが記録を再生して確かめました。</p>")
              : QStringLiteral(
                    "<p class=\"note\">この成績は記録による照合がないため、殿堂の順位には"
                    "入りません。</p>");
  body += QStringLiteral(
      "<table><thead><tr><th>月</th><th>最高峰レース</th><th>勝ちタイム</th>"
      "<th>殿堂での順位</th></tr></thead><tbody>");
  int won = 0;
  for (size_t i = 0; i < kSentMonths.size(); ++i) {
    const int m = kSentMonths[i];
    const int32_t t = c.times[i];
    body += QStringLiteral("<tr><td class=\"centre\">%1</td><td>%2</td>")
                .arg(month(m), escaped(u8(kTopRaces[m].name)));
    if (t > 0 && c.verified) {
      ++won;
      body += QStringLiteral(
                  "<td class=\"num\">%1</td><td class=\"num\">%2位 <span class=\"note\">"
                  "（%3頭中）</span></td></tr>")
                  .arg(seconds(t))
                  .arg(store.place(static_cast<int>(i), t))
                  .arg(store.winners(static_cast<int>(i)));
    } else if (t > 0) {
      ++won;
      body +=
          QStringLiteral("<td class=\"num\">%1</td><td class=\"off\">―</td></tr>").arg(seconds(t));
    } else {
      body += QStringLiteral("<td class=\"off\">―</td><td class=\"off\">―</td></tr>");
    }
  }
  body += QStringLiteral("</tbody></table>");
  if (won == 0)
    body += QStringLiteral(
        "<p class=\"note\">送られる最高峰レース（3月・5月〜12月）の勝ちはありません。"
        "1月・2月・4月の勝ちは殿堂に残りません。</p>");
  if (story)
    body += storySection(*story, QStringLiteral("/karuden/uma.mdj?n=%1").arg(c.id),
                         playable ? QStringLiteral("/play/?n=%1").arg(c.id) : QString());
  body += QStringLiteral(
      "<p><a href=\"/karuden/#hall\">殿堂を見る</a>　<a href=\"/karuden/\">"
      "レースカレンダーへ</a></p></section>");
  return page(c.name + QStringLiteral("の成績"), body);
}

namespace {

const char* const kSurfaceNames[4] = {"", "ダート", "ドロ", "芝"};

QString venueName(int32_t v) {
  return v >= 1 && v <= 4 ? u8(kVenueNames[v]) : QStringLiteral("―");
}

QString surfaceName(int32_t v) {
  return v >= 1 && v <= 3 ? u8(kSurfaceNames[v]) : QStringLiteral("―");
}

// A line over points, drawn by the server: a value axis with its ticks, one mark a point, and
// a label under every few. invert puts the smallest value at the top (places).
QString lineChart(const QString& title, const QStringList& labels, const QList<int32_t>& values,
                  bool invert, const QString& colour) {
  constexpr int kW = 520, kH = 200, kLeft = 44, kRight = 26, kTop = 12, kBottom = 34;
  QString svg = QStringLiteral(
                    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%2\" "
                    "viewBox=\"0 0 %1 %2\" role=\"img\" aria-label=\"%3\"><title>%3</title>"
                    "<rect x=\"0\" y=\"0\" width=\"%1\" height=\"%2\" fill=\"#fff\"/>")
                    .arg(kW)
                    .arg(kH)
                    .arg(escaped(title));
  if (values.isEmpty())
    return svg + QStringLiteral(
                     "<text x=\"%1\" y=\"%2\" font-size=\"13\" fill=\"#6b6b6b\" "
                     "text-anchor=\"middle\">まだありません</text></svg>")
                     .arg(kW / 2)
                     .arg(kH / 2);
  int32_t lo = *std::min_element(values.begin(), values.end());
  int32_t hi = *std::max_element(values.begin(), values.end());
  if (invert) {
    lo = 1;
    hi = 10;
  } else if (hi == lo) {
    lo -= 1;
    hi += 1;
  }
  const double plotW = kW - kLeft - kRight, plotH = kH - kTop - kBottom;
  const auto x = [&](qsizetype i) {
    return kLeft + (values.size() == 1
                        ? plotW / 2
                        : plotW * static_cast<double>(i) / static_cast<double>(values.size() - 1));
  };
  const auto y = [&](int32_t v) {
    const double t = static_cast<double>(v - lo) / static_cast<double>(hi - lo);
    return kTop + plotH * (invert ? t : 1.0 - t);
  };
  const auto n = [](double d) { return QString::number(d, 'f', 1); };
  for (int k = 0; k <= 4; ++k) {
    const int32_t v = invert ? 1 + (9 * k + 2) / 4 : lo + (hi - lo) * k / 4;
    svg += QStringLiteral(
               "<line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%2\" stroke=\"#e6e1d3\"/>"
               "<text x=\"%4\" y=\"%5\" font-size=\"11\" fill=\"#6b6b6b\" "
               "text-anchor=\"end\">%6</text>")
               .arg(kLeft)
               .arg(n(y(v)))
               .arg(kW - kRight)
               .arg(kLeft - 6)
               .arg(n(y(v) + 4))
               .arg(v);
  }
  QString points;
  for (qsizetype i = 0; i < values.size(); ++i)
    points += n(x(i)) + QLatin1Char(',') + n(y(values[i])) + QLatin1Char(' ');
  svg += QStringLiteral("<polyline fill=\"none\" stroke=\"%1\" stroke-width=\"2\" points=\"%2\"/>")
             .arg(colour, points.trimmed());
  const qsizetype every = std::max<qsizetype>(1, (values.size() + 11) / 12);
  for (qsizetype i = 0; i < values.size(); ++i) {
    svg += QStringLiteral(
               "<circle cx=\"%1\" cy=\"%2\" r=\"3\" fill=\"%3\"><title>%4: %5</title>"
               "</circle>")
               .arg(n(x(i)), n(y(values[i])), colour, escaped(labels.value(i)))
               .arg(values[i]);
    if (i % every == 0)
      svg += QStringLiteral(
                 "<text x=\"%1\" y=\"%2\" font-size=\"10\" fill=\"#6b6b6b\" "
                 "text-anchor=\"middle\">%3</text>")
                 .arg(n(x(i)))
                 .arg(kH - kBottom + 16)
                 .arg(escaped(labels.value(i)));
  }
  return svg + QStringLiteral("</svg>");
}

QString figure(const QString& caption, const QString& svg) {
  return QStringLiteral("<figure>%1<figcaption>%2</figcaption></figure>").arg(svg, caption);
}

QString ageMonth(int32_t age, int32_t m) {
  return QStringLiteral("%1歳%2月").arg(age).arg(m);
}

}  // namespace

QString storySection(const Story& story, const QString& journalHref, const QString& watchHref) {
  QString out = QStringLiteral("<h2>全レース</h2>");
  if (story.races.empty()) {
    out += QStringLiteral("<p class=\"note\">まだレースに出ていません。</p>");
  } else {
    out += QStringLiteral(
        "<div class=\"wide\"><table class=\"races\"><thead><tr><th>年齢・月</th><th>競馬場</th>"
        "<th>馬場</th><th>レース</th><th>周回</th><th>着順</th><th>タイム</th><th>ムチ</th>");
    if (!watchHref.isEmpty()) out += QStringLiteral("<th>リプレイ</th>");
    out += QStringLiteral("</tr></thead><tbody>");
    // The browser game finds the K-th race by counting the races of the journal as this table
    // lists them: the first race is 1.
    int k = 0;
    for (const RaceLine& r : story.races) {
      ++k;
      const QString name = escaped(QString::fromStdString(r.raceName));
      out += QStringLiteral(
                 "<tr%1><td class=\"num\">%2</td><td>%3</td><td>%4</td><td%5>%6</td>"
                 "<td class=\"num\">%7</td><td class=\"num\">%8着</td><td class=\"num\">%9</td>")
                 .arg(r.place == 1 ? QStringLiteral(" class=\"won\"") : QString(),
                      ageMonth(r.age, r.month), venueName(r.venue), surfaceName(r.surface),
                      r.top ? QStringLiteral(" class=\"top\"") : QString(), name, laps(r.laps))
                 .arg(r.place)
                 .arg(seconds(r.time));
      out += QStringLiteral("<td class=\"num\">%1</td>").arg(r.whips);
      if (!watchHref.isEmpty())
        out += QStringLiteral("<td><a href=\"%1\">このレースを見る</a></td>")
                   .arg(escaped(watchHref + QStringLiteral("&race=") + QString::number(k)));
      out += QStringLiteral("</tr>");
    }
    out += QStringLiteral("</tbody></table></div>");
  }
  QString tops;
  for (const RaceLine& r : story.races)
    if (r.top && r.place == 1)
      tops += QStringLiteral("<li>%1　%2（%3）</li>")
                  .arg(ageMonth(r.age, r.month), escaped(QString::fromStdString(r.raceName)),
                       seconds(r.time));
  out += QStringLiteral("<h2>勝った最高峰レース</h2>");
  out += tops.isEmpty() ? QStringLiteral("<p class=\"note\">ありません。</p>")
                        : QStringLiteral("<ul>%1</ul>").arg(tops);

  QStringList monthLabels, raceLabels;
  QList<int32_t> speeds, weights, places;
  for (const MonthLine& m : story.months) {
    monthLabels << ageMonth(m.age, m.month);
    speeds << m.speed;
    weights << m.weight;
  }
  for (const RaceLine& r : story.races) {
    raceLabels << ageMonth(r.age, r.month);
    places << r.place;
  }
  out += QStringLiteral("<h2>グラフ</h2><div class=\"charts\">");
  out += figure(
      QStringLiteral("スピード（月ごと）"),
      lineChart(QStringLiteral("スピード"), monthLabels, speeds, false, QStringLiteral("#1d4d2f")));
  out += figure(
      QStringLiteral("馬体重（月ごと）"),
      lineChart(QStringLiteral("馬体重"), monthLabels, weights, false, QStringLiteral("#b8860b")));
  out += figure(
      QStringLiteral("着順（レースごと）"),
      lineChart(QStringLiteral("着順"), raceLabels, places, true, QStringLiteral("#8a2b2b")));
  out += QStringLiteral("</div>");
  out += QStringLiteral(
             "<p><a href=\"%1\" download>この馬の記録（ジャーナル）をダウンロード</a> "
             "<span class=\"note\">milka-derby --replay ファイル名 で、このキャリアを"
             "もう一度見られます。</span></p>")
             .arg(escaped(journalHref));
  return out;
}

QByteArray studBookPage(const QList<StudBookLine>& lines) {
  QString body = QStringLiteral(
                     "<h2>わたしの馬</h2><p class=\"lead\">このコンピュータで育てた全%1頭。"
                     "引退した馬も、育成中の馬も。</p>")
                     .arg(lines.size());
  if (lines.isEmpty())
    return page(QStringLiteral("わたしの馬"),
                body + QStringLiteral("<p class=\"note\">まだ記録がありません。</p>"));
  body += QStringLiteral(
      "<div class=\"wide\"><table><thead><tr><th>最後に遊んだ日</th><th>馬名</th><th>出走</th>"
      "<th>勝ち</th><th>最高峰</th><th>状態</th></tr></thead><tbody>");
  for (const StudBookLine& l : lines) {
    int wins = 0, tops = 0;
    for (const RaceLine& r : l.story.races) {
      wins += r.place == 1;
      tops += r.place == 1 && r.top;
    }
    const QString name = l.story.name.empty() ? QStringLiteral("（名前の前）")
                                              : escaped(QString::fromStdString(l.story.name));
    body += QStringLiteral(
                "<tr><td class=\"num\">%1</td><td><a href=\"/karuden/mine/uma?f=%2\">%3</a></td>"
                "<td class=\"num\">%4</td><td class=\"num\">%5</td><td class=\"num\">%6</td>"
                "<td>%7</td></tr>")
                .arg(date(l.modifiedAt), escaped(l.file), name)
                .arg(l.story.races.size())
                .arg(wins)
                .arg(tops)
                .arg(l.story.over ? QStringLiteral("引退") : QStringLiteral("育成中"));
  }
  body += QStringLiteral("</tbody></table></div>");
  return page(QStringLiteral("わたしの馬"), body);
}

QByteArray studCareerPage(const StudBookLine& l) {
  const QString name = l.story.name.empty() ? QStringLiteral("（名前の前）")
                                            : escaped(QString::fromStdString(l.story.name));
  QString body = QStringLiteral(
                     "<section class=\"entry\"><div class=\"name\">%1</div>"
                     "<p class=\"note\">%2・最後に遊んだ日 %3</p>")
                     .arg(name, l.story.over ? QStringLiteral("引退") : QStringLiteral("育成中"),
                          date(l.modifiedAt));
  body += storySection(l.story, QStringLiteral("/karuden/mine/uma.mdj?f=") + l.file);
  body += QStringLiteral("<p><a href=\"/karuden/mine\">わたしの馬へ</a></p></section>");
  return page((l.story.name.empty() ? QStringLiteral("名前の前の馬")
                                    : QString::fromStdString(l.story.name)) +
                  QStringLiteral("の成績"),
              body);
}

QByteArray messagePage(const QString& heading, const QString& message) {
  return page(heading,
              QStringLiteral("<section class=\"refusal\"><h2>%1</h2><p>%2</p>"
                             "<p><a href=\"/karuden/\">レースカレンダーと殿堂へ</a></p></section>")
                  .arg(escaped(heading), escaped(message)));
}

}  // namespace milka::site
