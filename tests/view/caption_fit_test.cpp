// Fitting a caption to its label, and table rows in columns, in the fonts the game draws with.
#include "platform/draw/caption_fit.h"

#include <gtest/gtest.h>

#include "platform/draw/fonts.h"
#include "platform/draw/glyph_cache.h"
#include "platform/draw/screen_layout.h"

namespace milka::platform {
namespace {

const QFont kBanner = gameFont(FontFace::Mincho, 12);
// Label39, the commentary banner: 7935 × 495 twips.
const QRectF kBannerBox(192, 376, 529, 33);

QString repeated(const QString& piece, int times) {
  QString out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

QString drawnText(const CaptionFit& c) {
  QString out;
  for (const TextRun& run : c.runs) out += run.text;
  return out;
}

TEST(CaptionFit, ACaptionThatFitsIsDrawnAsItAlwaysWas) {
  for (Align align : {Align::Left, Align::Centre}) {
    const QString caption = QStringLiteral("あとは ワタアメ");
    const CaptionFit c = fitCaption(caption, kBanner, kBannerBox, align);
    ASSERT_EQ(c.runs.size(), 1u);
    EXPECT_FALSE(c.shrunk || c.twoLines || c.clipped);
    EXPECT_EQ(c.font, kBanner);
    EXPECT_EQ(c.runs[0].text, caption);
    // Where the window has always put it: the top edge, centred by the line's own width.
    const double x =
        align == Align::Centre
            ? kBannerBox.left() + (kBannerBox.width() - CaptionLayout(caption, kBanner).width()) / 2
            : kBannerBox.left();
    EXPECT_EQ(c.runs[0].origin.x(), x);
    EXPECT_EQ(c.runs[0].origin.y(), kBannerBox.top());
  }
}

struct FitCase {
  const char* what;
  int repeats;       // of a ten-character phrase
  double boxHeight;  // the banner's own, or taller
  bool shrunk, twoLines, clipped;
};

TEST(CaptionFit, TooLongShrinksThenBreaksThenIsCutBetweenCharacters) {
  const QString phrase = QStringLiteral("先頭はまだまだ10番");
  const FitCase cases[] = {
      {"a little too long: smaller", 4, 33, true, false, false},
      {"far too long for one line, in a box with room for two", 8, 33, false, true, false},
      {"far too long, in a box of one line: cut", 8, 20, true, false, true},
      {"too long even for two lines: the second is cut", 14, 33, true, true, true},
  };
  for (const FitCase& f : cases) {
    SCOPED_TRACE(f.what);
    const QString caption = repeated(phrase, f.repeats);
    QRectF box = kBannerBox;
    box.setHeight(f.boxHeight);
    const CaptionFit c = fitCaption(caption, kBanner, box, Align::Left);
    EXPECT_EQ(c.twoLines, f.twoLines);
    EXPECT_EQ(c.clipped, f.clipped);
    if (f.shrunk) {
      EXPECT_LT(c.font.pointSizeF(), kBanner.pointSizeF());
    }
    EXPECT_GE(c.font.pointSizeF(), kBanner.pointSizeF() * kSmallestShare - 1e-9);
    EXPECT_GE(kSmallestShare, 0.7);
    for (const TextRun& run : c.runs) EXPECT_LE(run.origin.x() + run.width, box.right() + 1e-6);
    EXPECT_LE(c.textRect().bottom(), c.twoLines ? box.bottom() + 1e-6 : box.bottom() + 100);
    if (f.clipped) {
      EXPECT_TRUE(c.atFloor);
      EXPECT_TRUE(caption.startsWith(drawnText(c).left(drawnText(c).size() - 4)));
    } else {
      EXPECT_EQ(drawnText(c), caption);
    }
  }
}

TEST(CaptionFit, TwoLinesBreakNearTheMiddle) {
  const QString caption = repeated(QStringLiteral("先頭はまだまだ10番"), 8);
  const CaptionFit c = fitCaption(caption, kBanner, kBannerBox, Align::Centre);
  ASSERT_EQ(c.runs.size(), 2u);
  EXPECT_NEAR(c.runs[0].width, c.runs[1].width, 2 * kBanner.pointSizeF());
  EXPECT_GT(c.runs[1].origin.y(), c.runs[0].origin.y());
}

TEST(CaptionFit, CutsNeverSplitACharacterFromItsMark) {
  // か followed by the combining voiced mark: one character on screen.
  const QString ga = QStringLiteral("\u304B\u3099");
  const QString caption = repeated(ga, 80);
  const CaptionFit c = fitCaption(caption, kBanner, QRectF(0, 0, 100, 16), Align::Left);
  ASSERT_TRUE(c.clipped);
  EXPECT_EQ(drawnText(c).size() % 2, 0) << "a mark left without its character";
  EXPECT_FALSE(drawnText(c).isEmpty());
}

TEST(CaptionFit, EmptyCaptionDrawsNothing) {
  EXPECT_TRUE(fitCaption(QString(), kBanner, kBannerBox, Align::Left).runs.empty());
}

struct CellCase {
  const char* caption;
  QStringList cells;
};

TEST(TableCells, RowsSplitAtRunsOfTwoOrMoreSpaces) {
  const CellCase cases[] = {
      {"  ハヤテオー   59   36", {"", "ハヤテオー", "59", "36"}},
      {"騎手花房             パカラン    1番               ", {"騎手花房", "パカラン", "1番"}},
      {"             あなたmilka    10番               ", {"", "あなたmilka", "10番"}},
      {"　　名前　　　　　　スピード", {"", "名前", "スピード"}},
      {"1着        5番   ミルカ", {"1着", "5番", "ミルカ"}},
      {"生涯成績 4 戦 4 勝", {"生涯成績 4 戦 4 勝"}},
      {"", {}},
  };
  for (const CellCase& c : cases)
    EXPECT_EQ(splitCells(QString::fromUtf8(c.caption)), c.cells) << c.caption;
}

TEST(TableCells, EveryColumnStartsWhereTheWidestCellBeforeItEnds) {
  const QFont row = gameFont(FontFace::Mincho, 12);
  const QFont header = gameFont(FontFace::Mincho, 11.25);
  const QRectF box(61, 64, 658, 20);
  std::vector<TableRow> rows = {
      {splitCells(QStringLiteral("　　名前　　　　スピード　　タイプ")), header, box},
      {splitCells(QStringLiteral("  イナズマ   70   短距離")), row, box.translated(0, 24)},
      {splitCells(QStringLiteral("  ライデンボス   65   中距離")), row, box.translated(0, 48)},
  };
  const std::vector<CaptionFit> laid = layoutTable(rows);
  ASSERT_EQ(laid.size(), 3u);
  for (size_t k = 0; k < 4; ++k) {
    const double x = laid[0].runs[k].origin.x();
    double widest = 0;
    for (const CaptionFit& r : laid) {
      EXPECT_DOUBLE_EQ(r.runs[k].origin.x(), x) << "column " << k;
      widest = std::max(widest, r.runs[k].width);
    }
    if (k + 1 < 4) {
      EXPECT_GE(laid[0].runs[k + 1].origin.x(), x + widest);
    }
  }
  EXPECT_EQ(laid[1].runs[1].text, QStringLiteral("イナズマ"));
}

TEST(TableCells, ATableTooWideForItsBoxClosesUpThenShrinks) {
  const QFont row = gameFont(FontFace::Mincho, 12);
  std::vector<TableRow> rows = {
      {splitCells(QStringLiteral("ミルカリアダービー  ミルカリアダービー  ミルカリアダービー")),
       row, QRectF(0, 0, 300, 20)},
  };
  const CaptionFit laid = layoutTable(rows)[0];
  EXPECT_LT(laid.font.pointSizeF(), 12);
  EXPECT_LE(laid.textRect().right(), 300 + 1e-6);
}

// The whip count meets "タイム⇒" once it has three digits; it keeps to the room left of them.
TEST(ScreenLayout, TheWhipCountStaysClearOfTheTime) {
  Form form = designForm();
  Label& time = form.label(6);
  time.caption = "タイム⇒";
  Label& whips = form.label(36);
  whips.caption = "ムチ数⇒ 102";
  whips.top = time.top;
  whips.fontSize = time.fontSize;
  ScreenLayouter layouter;
  const ScreenLayout laid = layouter.layout(form, false);
  EXPECT_FALSE(wordsCollide(form, laid, 36, 6));
  EXPECT_EQ(drawnText(laid.labels[36]), QStringLiteral("ムチ数⇒ 102"));
  EXPECT_LE(laid.labels[36].textRect().right() + kWordGap, laid.labels[6].textRect().left());
  // Left alone, the two run together.
  EXPECT_TRUE(laid.labels[36].shrunk);
}

// A table row keeps its columns; the caption in its way gives up the side that meets it.
TEST(ScreenLayout, ATableRowKeepsItsColumnsAndTheOtherCaptionMakesRoom) {
  Form form = designForm();
  Label& row = form.label(17);
  row.caption = "1着        ミルカ";
  row.left = 915;
  Label& note = form.label(40);
  note.caption = "ABCDEFGHIJKLMNOP";
  note.left = 915 + 40 * 15;
  note.top = row.top;
  note.width = 4000;
  ScreenLayouter layouter;
  const ScreenLayout laid = layouter.layout(form, true);
  ASSERT_EQ(laid.labels[17].runs.size(), 2u);
  EXPECT_EQ(laid.labels[17].runs[1].text, QStringLiteral("ミルカ"));
  EXPECT_FALSE(wordsCollide(form, laid, 17, 40));
  EXPECT_GE(laid.labels[40].textRect().left(), laid.labels[17].textRect().right() + kWordGap);
}

TEST(ScreenLayout, WordsUnderAnOpaqueLabelAreHiddenNotInTheWay) {
  Form form = designForm();
  form.label(7).caption = "┳┳┳┳┳┳┳┳┳┳┳┳┳┳┳┳┳┳┳┳┳┳┳┳┳┳┳┳┳┳";
  form.label(7).left = 0;
  form.label(17).caption = "1着        5番";
  form.label(17).left = 0;
  form.label(17).top = form.label(7).top;
  ScreenLayouter layouter;
  const ScreenLayout laid = layouter.layout(form, false);
  EXPECT_FALSE(wordsCollide(form, laid, 7, 17));
  form.label(17).transparent = true;
  EXPECT_TRUE(wordsCollide(form, layouter.layout(form, false), 7, 17));
}

}  // namespace
}  // namespace milka::platform
