// The classes that decide where a line may break, by code point, as Unicode's line-breaking
// classes name them (LineBreak.txt), for the scripts the game writes in: Latin, the kana, the
// ideographs and the full-width forms. A code point listed nowhere is a letter (AL). Ambiguous
// symbols (AI: box drawing, ◀ ▶) are letters too, and so are math symbols (= ⇒ ×), which only
// inside a number behave otherwise; conditional Japanese starters (CJ: small kana, ー) are
// non-starters, and opening punctuation splits in two: a wide one may follow a letter or a digit
// with a break, a narrow one may not.
#pragma once

#include <cstdint>

namespace milka::play {

enum class BreakClass : uint8_t {
  kOpen,            // OP, narrow: ( [ {
  kWideOpen,        // OP, wide: 「 【 （
  kClose,           // CL: 、 。 」 ）
  kCloseParen,      // CP: ) ]
  kQuote,           // QU
  kGlue,            // GL: no-break spaces
  kNonStarter,      // NS and CJ: ・ ： 々 っ ャ ー
  kExclamation,     // EX: ! ? ！
  kSlash,           // SY: /
  kInfix,           // IS: , . : ;
  kPrefix,          // PR: $ + \ ￥
  kPostfix,         // PO: % ％
  kNumber,          // NU: 0 to 9
  kLetter,          // AL, AI and whatever is listed nowhere
  kIdeograph,       // ID: kana, kanji, full-width letters and digits
  kInseparable,     // IN: … ‥
  kHyphen,          // HY: -
  kAfter,           // BA: | and the ideographic space
  kBefore,          // BB
  kBoth,            // B2: —
  kZeroWidthSpace,  // ZW
  kJoiner,          // WJ
  kMark,            // CM and ZWJ: goes with the character before it
  kSpace,           // SP
  kMathSymbol,      // AL, but among a number's separators: = < > ⇒ ×
};

struct BreakClassRange {
  char32_t first, last;
  BreakClass cls;
};

// In order of code point, none overlapping.
// clang-format off
constexpr BreakClassRange kBreakClasses[] = {
    {0x0020, 0x0020, BreakClass::kSpace},
    {0x0021, 0x0021, BreakClass::kExclamation},
    {0x0022, 0x0022, BreakClass::kQuote},
    {0x0024, 0x0024, BreakClass::kPrefix},
    {0x0025, 0x0025, BreakClass::kPostfix},
    {0x0027, 0x0027, BreakClass::kQuote},
    {0x0028, 0x0028, BreakClass::kOpen},
    {0x0029, 0x0029, BreakClass::kCloseParen},
    {0x002B, 0x002B, BreakClass::kPrefix},
    {0x002C, 0x002C, BreakClass::kInfix},
    {0x002D, 0x002D, BreakClass::kHyphen},
    {0x002E, 0x002E, BreakClass::kInfix},
    {0x002F, 0x002F, BreakClass::kSlash},
    {0x0030, 0x0039, BreakClass::kNumber},
    {0x003A, 0x003B, BreakClass::kInfix},
    {0x003C, 0x003E, BreakClass::kMathSymbol},
    {0x003F, 0x003F, BreakClass::kExclamation},
    {0x005B, 0x005B, BreakClass::kOpen},
    {0x005C, 0x005C, BreakClass::kPrefix},
    {0x005D, 0x005D, BreakClass::kCloseParen},
    {0x007B, 0x007B, BreakClass::kOpen},
    {0x007C, 0x007C, BreakClass::kAfter},
    {0x007D, 0x007D, BreakClass::kClose},
    {0x007E, 0x007E, BreakClass::kMathSymbol},
    {0x00A0, 0x00A0, BreakClass::kGlue},
    {0x00A1, 0x00A1, BreakClass::kOpen},
    {0x00A2, 0x00A2, BreakClass::kPostfix},
    {0x00A3, 0x00A5, BreakClass::kPrefix},
    {0x00AB, 0x00AB, BreakClass::kQuote},
    {0x00AC, 0x00AC, BreakClass::kMathSymbol},
    {0x00AD, 0x00AD, BreakClass::kAfter},
    {0x00B0, 0x00B0, BreakClass::kPostfix},
    {0x00B1, 0x00B1, BreakClass::kPrefix},
    {0x00B4, 0x00B4, BreakClass::kBefore},
    {0x00BB, 0x00BB, BreakClass::kQuote},
    {0x00BF, 0x00BF, BreakClass::kOpen},
    {0x00D7, 0x00D7, BreakClass::kMathSymbol},
    {0x00F7, 0x00F7, BreakClass::kMathSymbol},
    {0x0300, 0x034E, BreakClass::kMark},
    {0x034F, 0x034F, BreakClass::kGlue},
    {0x0350, 0x035B, BreakClass::kMark},
    {0x035C, 0x0362, BreakClass::kGlue},
    {0x0363, 0x036F, BreakClass::kMark},
    {0x2000, 0x2006, BreakClass::kAfter},
    {0x2007, 0x2007, BreakClass::kGlue},
    {0x2008, 0x200A, BreakClass::kAfter},
    {0x200B, 0x200B, BreakClass::kZeroWidthSpace},
    {0x200C, 0x200F, BreakClass::kMark},
    {0x2010, 0x2010, BreakClass::kAfter},
    {0x2011, 0x2011, BreakClass::kGlue},
    {0x2012, 0x2013, BreakClass::kAfter},
    {0x2014, 0x2014, BreakClass::kBoth},
    {0x2018, 0x2019, BreakClass::kQuote},
    {0x201A, 0x201A, BreakClass::kOpen},
    {0x201B, 0x201D, BreakClass::kQuote},
    {0x201E, 0x201E, BreakClass::kOpen},
    {0x201F, 0x201F, BreakClass::kQuote},
    {0x2024, 0x2026, BreakClass::kInseparable},
    {0x2027, 0x2027, BreakClass::kAfter},
    {0x202A, 0x202E, BreakClass::kMark},
    {0x202F, 0x202F, BreakClass::kGlue},
    {0x2030, 0x2037, BreakClass::kPostfix},
    {0x2039, 0x203A, BreakClass::kQuote},
    {0x203C, 0x203D, BreakClass::kNonStarter},
    {0x2044, 0x2044, BreakClass::kInfix},
    {0x2045, 0x2045, BreakClass::kOpen},
    {0x2046, 0x2046, BreakClass::kClose},
    {0x2047, 0x2049, BreakClass::kNonStarter},
    {0x2052, 0x2052, BreakClass::kMathSymbol},
    {0x2056, 0x2056, BreakClass::kAfter},
    {0x2057, 0x2057, BreakClass::kPostfix},
    {0x2058, 0x205B, BreakClass::kAfter},
    {0x205D, 0x205F, BreakClass::kAfter},
    {0x2060, 0x2060, BreakClass::kJoiner},
    {0x2066, 0x206F, BreakClass::kMark},
    {0x2190, 0x2194, BreakClass::kMathSymbol},
    {0x219A, 0x219B, BreakClass::kMathSymbol},
    {0x21A0, 0x21A0, BreakClass::kMathSymbol},
    {0x21A3, 0x21A3, BreakClass::kMathSymbol},
    {0x21A6, 0x21A6, BreakClass::kMathSymbol},
    {0x21AE, 0x21AE, BreakClass::kMathSymbol},
    {0x21CE, 0x21CF, BreakClass::kMathSymbol},
    {0x21D2, 0x21D2, BreakClass::kMathSymbol},
    {0x21D4, 0x21D4, BreakClass::kMathSymbol},
    {0x21F4, 0x2211, BreakClass::kMathSymbol},
    {0x2212, 0x2213, BreakClass::kPrefix},
    {0x2214, 0x22EE, BreakClass::kMathSymbol},
    {0x22EF, 0x22EF, BreakClass::kInseparable},
    {0x22F0, 0x22FF, BreakClass::kMathSymbol},
    {0x25B7, 0x25B7, BreakClass::kMathSymbol},
    {0x25C1, 0x25C1, BreakClass::kMathSymbol},
    {0x25F8, 0x25FF, BreakClass::kMathSymbol},
    {0x3000, 0x3000, BreakClass::kAfter},
    {0x3001, 0x3002, BreakClass::kClose},
    {0x3003, 0x3004, BreakClass::kIdeograph},
    {0x3005, 0x3005, BreakClass::kNonStarter},
    {0x3006, 0x3007, BreakClass::kIdeograph},
    {0x3008, 0x3008, BreakClass::kWideOpen},
    {0x3009, 0x3009, BreakClass::kClose},
    {0x300A, 0x300A, BreakClass::kWideOpen},
    {0x300B, 0x300B, BreakClass::kClose},
    {0x300C, 0x300C, BreakClass::kWideOpen},
    {0x300D, 0x300D, BreakClass::kClose},
    {0x300E, 0x300E, BreakClass::kWideOpen},
    {0x300F, 0x300F, BreakClass::kClose},
    {0x3010, 0x3010, BreakClass::kWideOpen},
    {0x3011, 0x3011, BreakClass::kClose},
    {0x3012, 0x3013, BreakClass::kIdeograph},
    {0x3014, 0x3014, BreakClass::kWideOpen},
    {0x3015, 0x3015, BreakClass::kClose},
    {0x3016, 0x3016, BreakClass::kWideOpen},
    {0x3017, 0x3017, BreakClass::kClose},
    {0x3018, 0x3018, BreakClass::kWideOpen},
    {0x3019, 0x3019, BreakClass::kClose},
    {0x301A, 0x301A, BreakClass::kWideOpen},
    {0x301B, 0x301B, BreakClass::kClose},
    {0x301C, 0x301C, BreakClass::kNonStarter},
    {0x301D, 0x301D, BreakClass::kWideOpen},
    {0x301E, 0x301F, BreakClass::kClose},
    {0x3020, 0x3029, BreakClass::kIdeograph},
    {0x302A, 0x302F, BreakClass::kMark},
    {0x3030, 0x3034, BreakClass::kIdeograph},
    {0x3035, 0x3035, BreakClass::kMark},
    {0x3036, 0x303A, BreakClass::kIdeograph},
    {0x303B, 0x303C, BreakClass::kNonStarter},
    {0x303D, 0x303F, BreakClass::kIdeograph},
    {0x3041, 0x3041, BreakClass::kNonStarter},
    {0x3042, 0x3042, BreakClass::kIdeograph},
    {0x3043, 0x3043, BreakClass::kNonStarter},
    {0x3044, 0x3044, BreakClass::kIdeograph},
    {0x3045, 0x3045, BreakClass::kNonStarter},
    {0x3046, 0x3046, BreakClass::kIdeograph},
    {0x3047, 0x3047, BreakClass::kNonStarter},
    {0x3048, 0x3048, BreakClass::kIdeograph},
    {0x3049, 0x3049, BreakClass::kNonStarter},
    {0x304A, 0x3062, BreakClass::kIdeograph},
    {0x3063, 0x3063, BreakClass::kNonStarter},
    {0x3064, 0x3082, BreakClass::kIdeograph},
    {0x3083, 0x3083, BreakClass::kNonStarter},
    {0x3084, 0x3084, BreakClass::kIdeograph},
    {0x3085, 0x3085, BreakClass::kNonStarter},
    {0x3086, 0x3086, BreakClass::kIdeograph},
    {0x3087, 0x3087, BreakClass::kNonStarter},
    {0x3088, 0x308D, BreakClass::kIdeograph},
    {0x308E, 0x308E, BreakClass::kNonStarter},
    {0x308F, 0x3094, BreakClass::kIdeograph},
    {0x3095, 0x3096, BreakClass::kNonStarter},
    {0x3099, 0x309A, BreakClass::kMark},
    {0x309B, 0x309E, BreakClass::kNonStarter},
    {0x309F, 0x309F, BreakClass::kIdeograph},
    {0x30A0, 0x30A1, BreakClass::kNonStarter},
    {0x30A2, 0x30A2, BreakClass::kIdeograph},
    {0x30A3, 0x30A3, BreakClass::kNonStarter},
    {0x30A4, 0x30A4, BreakClass::kIdeograph},
    {0x30A5, 0x30A5, BreakClass::kNonStarter},
    {0x30A6, 0x30A6, BreakClass::kIdeograph},
    {0x30A7, 0x30A7, BreakClass::kNonStarter},
    {0x30A8, 0x30A8, BreakClass::kIdeograph},
    {0x30A9, 0x30A9, BreakClass::kNonStarter},
    {0x30AA, 0x30C2, BreakClass::kIdeograph},
    {0x30C3, 0x30C3, BreakClass::kNonStarter},
    {0x30C4, 0x30E2, BreakClass::kIdeograph},
    {0x30E3, 0x30E3, BreakClass::kNonStarter},
    {0x30E4, 0x30E4, BreakClass::kIdeograph},
    {0x30E5, 0x30E5, BreakClass::kNonStarter},
    {0x30E6, 0x30E6, BreakClass::kIdeograph},
    {0x30E7, 0x30E7, BreakClass::kNonStarter},
    {0x30E8, 0x30ED, BreakClass::kIdeograph},
    {0x30EE, 0x30EE, BreakClass::kNonStarter},
    {0x30EF, 0x30F4, BreakClass::kIdeograph},
    {0x30F5, 0x30F6, BreakClass::kNonStarter},
    {0x30F7, 0x30FA, BreakClass::kIdeograph},
    {0x30FB, 0x30FE, BreakClass::kNonStarter},
    {0x30FF, 0x30FF, BreakClass::kIdeograph},
    {0x3105, 0x312F, BreakClass::kIdeograph},
    {0x3131, 0x318E, BreakClass::kIdeograph},
    {0x3190, 0x31E3, BreakClass::kIdeograph},
    {0x31F0, 0x31FF, BreakClass::kNonStarter},
    {0x3200, 0x321E, BreakClass::kIdeograph},
    {0x3220, 0x3247, BreakClass::kIdeograph},
    {0x3250, 0x33FF, BreakClass::kIdeograph},
    {0x3400, 0x4DBF, BreakClass::kIdeograph},
    {0x4E00, 0x9FFF, BreakClass::kIdeograph},
    {0xF900, 0xFAFF, BreakClass::kIdeograph},
    {0xFE00, 0xFE0F, BreakClass::kMark},
    {0xFF01, 0xFF01, BreakClass::kExclamation},
    {0xFF02, 0xFF03, BreakClass::kIdeograph},
    {0xFF04, 0xFF04, BreakClass::kPrefix},
    {0xFF05, 0xFF05, BreakClass::kPostfix},
    {0xFF06, 0xFF07, BreakClass::kIdeograph},
    {0xFF08, 0xFF08, BreakClass::kWideOpen},
    {0xFF09, 0xFF09, BreakClass::kClose},
    {0xFF0A, 0xFF0B, BreakClass::kIdeograph},
    {0xFF0C, 0xFF0C, BreakClass::kClose},
    {0xFF0D, 0xFF0D, BreakClass::kIdeograph},
    {0xFF0E, 0xFF0E, BreakClass::kClose},
    {0xFF0F, 0xFF19, BreakClass::kIdeograph},
    {0xFF1A, 0xFF1B, BreakClass::kNonStarter},
    {0xFF1C, 0xFF1E, BreakClass::kIdeograph},
    {0xFF1F, 0xFF1F, BreakClass::kExclamation},
    {0xFF20, 0xFF3A, BreakClass::kIdeograph},
    {0xFF3B, 0xFF3B, BreakClass::kWideOpen},
    {0xFF3C, 0xFF3C, BreakClass::kIdeograph},
    {0xFF3D, 0xFF3D, BreakClass::kClose},
    {0xFF3E, 0xFF5A, BreakClass::kIdeograph},
    {0xFF5B, 0xFF5B, BreakClass::kWideOpen},
    {0xFF5C, 0xFF5C, BreakClass::kIdeograph},
    {0xFF5D, 0xFF5D, BreakClass::kClose},
    {0xFF5E, 0xFF5E, BreakClass::kIdeograph},
    {0xFF5F, 0xFF5F, BreakClass::kWideOpen},
    {0xFF60, 0xFF61, BreakClass::kClose},
    {0xFF62, 0xFF62, BreakClass::kWideOpen},
    {0xFF63, 0xFF64, BreakClass::kClose},
    {0xFF65, 0xFF65, BreakClass::kNonStarter},
    {0xFF66, 0xFF66, BreakClass::kIdeograph},
    {0xFF67, 0xFF70, BreakClass::kNonStarter},
    {0xFF71, 0xFF9D, BreakClass::kIdeograph},
    {0xFF9E, 0xFF9F, BreakClass::kNonStarter},
    {0xFFA0, 0xFFBE, BreakClass::kIdeograph},
    {0xFFC2, 0xFFC7, BreakClass::kIdeograph},
    {0xFFCA, 0xFFCF, BreakClass::kIdeograph},
    {0xFFD2, 0xFFD7, BreakClass::kIdeograph},
    {0xFFDA, 0xFFDC, BreakClass::kIdeograph},
    {0xFFE0, 0xFFE0, BreakClass::kPostfix},
    {0xFFE1, 0xFFE1, BreakClass::kPrefix},
    {0xFFE2, 0xFFE4, BreakClass::kIdeograph},
    {0xFFE5, 0xFFE6, BreakClass::kPrefix},
    {0xFFE9, 0xFFEC, BreakClass::kMathSymbol},
    {0x20000, 0x2FFFD, BreakClass::kIdeograph},
    {0x30000, 0x3FFFD, BreakClass::kIdeograph},
};
// clang-format on

// What goes with the character before it rather than standing as one of its own: combining
// marks (the voiced marks of kana among them, and the half-width ones), joiners and variation
// selectors.
// clang-format off
constexpr BreakClassRange kCharacterMarks[] = {
    {0x0300, 0x036F, BreakClass::kMark},
    {0x1AB0, 0x1AFF, BreakClass::kMark},
    {0x1DC0, 0x1DFF, BreakClass::kMark},
    {0x200C, 0x200D, BreakClass::kMark},
    {0x20D0, 0x20FF, BreakClass::kMark},
    {0x302A, 0x302F, BreakClass::kMark},
    {0x3099, 0x309A, BreakClass::kMark},
    {0xFE00, 0xFE0F, BreakClass::kMark},
    {0xFE20, 0xFE2F, BreakClass::kMark},
    {0xFF9E, 0xFF9F, BreakClass::kMark},
    {0xE0100, 0xE01EF, BreakClass::kMark},
};
// clang-format on

// Whether a line may break between a character of class `before` (row) and one of class `after`
// (column): '_' it may; '%' only with spaces between them; '^' not even then. Marks and spaces
// are not in it: a mark takes the class of the character it goes with, and spaces only ever
// allow a break after them.
// clang-format off
constexpr const char* kPairBreaks[] = {
//             OP  OPW CL  CP  QU  GL  NS  EX  SY  IS  PR  PO  NU  AL  ID  IN  HY  BA  BB  B2  ZW  WJ
    /* OP  */ "^   ^   ^   ^   ^   ^   ^   ^   ^   ^   ^   ^   ^   ^   ^   ^   ^   ^   ^   ^   ^   ^",
    /* OPW */ "^   ^   ^   ^   ^   ^   ^   ^   ^   ^   ^   ^   ^   ^   ^   ^   ^   ^   ^   ^   ^   ^",
    /* CL  */ "_   _   ^   ^   %   %   ^   ^   ^   ^   _   _   _   _   _   %   %   %   _   _   ^   ^",
    /* CP  */ "_   _   ^   ^   %   %   ^   ^   ^   ^   _   _   %   %   _   %   %   %   _   _   ^   ^",
    /* QU  */ "^   ^   ^   ^   %   %   %   ^   ^   ^   %   %   %   %   %   %   %   %   %   %   ^   ^",
    /* GL  */ "%   %   ^   ^   %   %   %   ^   ^   ^   %   %   %   %   %   %   %   %   %   %   ^   ^",
    /* NS  */ "_   _   ^   ^   %   %   %   ^   ^   ^   _   _   _   _   _   %   %   %   _   _   ^   ^",
    /* EX  */ "_   _   ^   ^   %   %   %   ^   ^   ^   _   _   _   _   _   %   %   %   _   _   ^   ^",
    /* SY  */ "_   _   ^   ^   %   %   %   ^   ^   ^   _   _   _   _   _   %   %   %   _   _   ^   ^",
    /* IS  */ "_   _   ^   ^   %   %   %   ^   ^   ^   _   _   _   %   _   %   %   %   _   _   ^   ^",
    /* PR  */ "_   _   ^   ^   %   %   %   ^   ^   ^   _   _   %   %   %   %   %   %   _   _   ^   ^",
    /* PO  */ "_   _   ^   ^   %   %   %   ^   ^   ^   _   _   %   %   _   %   %   %   _   _   ^   ^",
    /* NU  */ "%   _   ^   ^   %   %   %   ^   ^   ^   %   %   %   %   _   %   %   %   _   _   ^   ^",
    /* AL  */ "%   _   ^   ^   %   %   %   ^   ^   ^   %   %   %   %   _   %   %   %   _   _   ^   ^",
    /* ID  */ "_   _   ^   ^   %   %   %   ^   ^   ^   _   %   _   _   _   %   %   %   _   _   ^   ^",
    /* IN  */ "_   _   ^   ^   %   %   %   ^   ^   ^   _   _   _   _   _   %   %   %   _   _   ^   ^",
    /* HY  */ "_   _   ^   ^   %   _   %   ^   ^   ^   _   _   %   _   _   %   %   %   _   _   ^   ^",
    /* BA  */ "_   _   ^   ^   %   _   %   ^   ^   ^   _   _   _   _   _   %   %   %   _   _   ^   ^",
    /* BB  */ "%   %   ^   ^   %   %   %   ^   ^   ^   %   %   %   %   %   %   %   %   %   %   ^   ^",
    /* B2  */ "_   _   ^   ^   %   %   %   ^   ^   ^   _   _   _   _   _   %   %   %   _   ^   ^   ^",
    /* ZW  */ "_   _   _   _   _   _   _   _   _   _   _   _   _   _   _   _   _   _   _   _   ^   _",
    /* WJ  */ "%   %   ^   ^   %   %   %   ^   ^   ^   %   %   %   %   %   %   %   %   %   %   ^   ^",
};
// clang-format on

}  // namespace milka::play
