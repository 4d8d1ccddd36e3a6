// Fitting a caption to its label, and table rows in columns, in type whose widths are known.
#include "play/caption_fit.h"

#include <gtest/gtest.h>

#include "play/screen_layout.h"
#include "play_fakes.h"

namespace milka::play {
namespace {

using testing::FixedMeasure;

const Font kBanner{FontFace::Mincho, 12};
// Label39, the commentary banner: 7935 × 495 twips.
const Rect kBannerBox{192, 376, 529, 33};

std::string repeated(const std::string& piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

std::string drawnText(const CaptionFit& c) {
  std::string out;
  for (const TextRun& run : c.runs) out += run.text;
  return out;
}

TEST(CaptionFit, ACaptionThatFitsIsDrawnAsItAlwaysWas) {
  FixedMeasure measure;
  for (Align align : {Align::Left, Align::Centre}) {
    const std::string caption = "あとは ワタアメ";
    const CaptionFit c = fitCaption(caption, kBanner, kBannerBox, align, measure);
    ASSERT_EQ(c.runs.size(), 1u);
    EXPECT_FALSE(c.shrunk || c.twoLines || c.clipped);
    EXPECT_EQ(c.font, kBanner);
    EXPECT_EQ(c.runs[0].text, caption);
    // Where the window has always put it: the top edge, centred by the line's own width.
    const double x =
        align == Align::Centre
            ? kBannerBox.left() + (kBannerBox.width - measure.advance(caption, kBanner)) / 2
            : kBannerBox.left();
    EXPECT_EQ(c.runs[0].origin.x, x);
    EXPECT_EQ(c.runs[0].origin.y, kBannerBox.top());
    EXPECT_EQ(c.lineHeight, FixedMeasure::em(kBanner));
  }
}

struct FitCase {
  const char* what;
  int repeats;       // of a ten-character phrase
  double boxHeight;  // the banner's own, or taller
  bool shrunk, twoLines, clipped;
};

TEST(CaptionFit, TooLongShrinksThenBreaksThenIsCutBetweenCharacters) {
  FixedMeasure measure;
  const std::string phrase = "先頭はまだまだ10番";
  const FitCase cases[] = {
      {"a little too long: smaller", 4, 33, true, false, false},
      {"far too long for one line, in a box with room for two", 8, 33, false, true, false},
      {"far too long, in a box of one line: cut", 8, 20, true, false, true},
      {"too long even for two lines: the second is cut", 14, 33, true, true, true},
  };
  for (const FitCase& f : cases) {
    SCOPED_TRACE(f.what);
    const std::string caption = repeated(phrase, f.repeats);
    Rect box = kBannerBox;
    box.height = f.boxHeight;
    const CaptionFit c = fitCaption(caption, kBanner, box, Align::Left, measure);
    EXPECT_EQ(c.twoLines, f.twoLines);
    EXPECT_EQ(c.clipped, f.clipped);
    if (f.shrunk) {
      EXPECT_LT(c.font.points, kBanner.points);
    }
    EXPECT_GE(c.font.points, kBanner.points * kSmallestShare - 1e-9);
    EXPECT_GE(kSmallestShare, 0.7);
    for (const TextRun& run : c.runs) EXPECT_LE(run.origin.x + run.width, box.right() + 1e-6);
    EXPECT_LE(c.textRect().bottom(), c.twoLines ? box.bottom() + 1e-6 : box.bottom() + 100);
    if (f.clipped) {
      EXPECT_TRUE(c.atFloor);
      const std::string drawn = drawnText(c);
      EXPECT_TRUE(caption.starts_with(drawn.substr(0, drawn.size() - 12)));
    } else {
      EXPECT_EQ(drawnText(c), caption);
    }
  }
}

TEST(CaptionFit, TwoLinesBreakNearTheMiddle) {
  FixedMeasure measure;
  const std::string caption = repeated("先頭はまだまだ10番", 8);
  const CaptionFit c = fitCaption(caption, kBanner, kBannerBox, Align::Centre, measure);
  ASSERT_EQ(c.runs.size(), 2u);
  EXPECT_NEAR(c.runs[0].width, c.runs[1].width, 2 * kBanner.points);
  // A line's spacing below the first: its height and the font's leading.
  EXPECT_EQ(c.runs[1].origin.y - c.runs[0].origin.y, FixedMeasure::em(c.font) * 9 / 8);
}

TEST(CaptionFit, CutsNeverSplitACharacterFromItsMark) {
  FixedMeasure measure;
  // か followed by the combining voiced mark: one character on screen.
  const std::string ga = "\u304B\u3099";
  const std::string caption = repeated(ga, 80);
  const CaptionFit c = fitCaption(caption, kBanner, Rect{0, 0, 100, 16}, Align::Left, measure);
  ASSERT_TRUE(c.clipped);
  EXPECT_FALSE(drawnText(c).empty());
  EXPECT_EQ(drawnText(c), repeated(ga, static_cast<int>(drawnText(c).size() / ga.size())))
      << "a mark left without its character";
}

TEST(CaptionFit, EmptyCaptionDrawsNothing) {
  FixedMeasure measure;
  EXPECT_TRUE(fitCaption("", kBanner, kBannerBox, Align::Left, measure).runs.empty());
}

struct CellCase {
  const char* caption;
  std::vector<std::string> cells;
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
  for (const CellCase& c : cases) EXPECT_EQ(splitCells(c.caption), c.cells) << c.caption;
}

TEST(TableCells, EveryColumnStartsWhereTheWidestCellBeforeItEnds) {
  FixedMeasure measure;
  const Font row{FontFace::Mincho, 12};
  const Font header{FontFace::Mincho, 11.25};
  const Rect box{61, 64, 658, 20};
  std::vector<TableRow> rows = {
      {splitCells("　　名前　　　　スピード　　タイプ"), header, box},
      {splitCells("  イナズマ   70   短距離"), row, box.translated(0, 24)},
      {splitCells("  ライデンボス   65   中距離"), row, box.translated(0, 48)},
  };
  const std::vector<CaptionFit> laid = layoutTable(rows, measure);
  ASSERT_EQ(laid.size(), 3u);
  for (size_t k = 0; k < 4; ++k) {
    const double x = laid[0].runs[k].origin.x;
    double widest = 0;
    for (const CaptionFit& r : laid) {
      EXPECT_DOUBLE_EQ(r.runs[k].origin.x, x) << "column " << k;
      widest = std::max(widest, r.runs[k].width);
    }
    if (k + 1 < 4) {
      EXPECT_GE(laid[0].runs[k + 1].origin.x, x + widest);
    }
  }
  EXPECT_EQ(laid[1].runs[1].text, "イナズマ");
}

TEST(TableCells, ATableTooWideForItsBoxClosesUpThenShrinks) {
  FixedMeasure measure;
  const Font row{FontFace::Mincho, 12};
  std::vector<TableRow> rows = {
      {splitCells("ミルカリアダービー  ミルカリアダービー  ミルカリアダービー"), row,
       Rect{0, 0, 300, 20}},
  };
  const CaptionFit laid = layoutTable(rows, measure)[0];
  EXPECT_LT(laid.font.points, 12);
  EXPECT_LE(laid.textRect().right(), 300 + 1e-6);
}

// The whip count meets "タイム⇒" once it has three digits; it keeps to the room left of them.
TEST(ScreenLayout, TheWhipCountStaysClearOfTheTime) {
  FixedMeasure measure;
  Form form = designForm();
  Label& time = form.label(6);
  time.caption = "タイム⇒";
  Label& whips = form.label(36);
  whips.caption = "ムチ数⇒ 102";
  whips.top = time.top;
  whips.fontSize = time.fontSize;
  ScreenLayouter layouter(measure);
  const ScreenLayout laid = layouter.layout(form, false);
  EXPECT_FALSE(wordsCollide(form, laid, 36, 6));
  EXPECT_EQ(drawnText(laid.labels[36]), "ムチ数⇒ 102");
  EXPECT_LE(laid.labels[36].textRect().right() + kWordGap, laid.labels[6].textRect().left());
  // Left alone, the two run together.
  EXPECT_TRUE(laid.labels[36].shrunk);
}

// A table row keeps its columns; the caption in its way gives up the side that meets it.
TEST(ScreenLayout, ATableRowKeepsItsColumnsAndTheOtherCaptionMakesRoom) {
  FixedMeasure measure;
  Form form = designForm();
  Label& row = form.label(17);
  row.caption = "1着        ミルカ";
  row.left = 915;
  Label& note = form.label(40);
  note.caption = "ABCDEFGHIJKLMNOP";
  note.left = 915 + 40 * 15;
  note.top = row.top;
  note.width = 4000;
  ScreenLayouter layouter(measure);
  const ScreenLayout laid = layouter.layout(form, true);
  ASSERT_EQ(laid.labels[17].runs.size(), 2u);
  EXPECT_EQ(laid.labels[17].runs[1].text, "ミルカ");
  EXPECT_FALSE(wordsCollide(form, laid, 17, 40));
  EXPECT_GE(laid.labels[40].textRect().left(), laid.labels[17].textRect().right() + kWordGap);
}

TEST(ScreenLayout, WordsUnderAnOpaqueLabelAreHiddenNotInTheWay) {
  FixedMeasure measure;
  Form form = designForm();
  form.label(7).caption = "┳┳┳┳┳┳┳┳┳┳┳┳┳┳┳┳┳┳┳┳┳┳┳┳┳┳┳┳┳┳";
  form.label(7).left = 0;
  form.label(17).caption = "1着        5番";
  form.label(17).left = 0;
  form.label(17).top = form.label(7).top;
  ScreenLayouter layouter(measure);
  const ScreenLayout laid = layouter.layout(form, false);
  EXPECT_FALSE(wordsCollide(form, laid, 7, 17));
  form.label(17).transparent = true;
  EXPECT_TRUE(wordsCollide(form, layouter.layout(form, false), 7, 17));
}

}  // namespace
}  // namespace milka::play
