#include "play/text_breaks.h"

#include <algorithm>
#include <iterator>

namespace milka::play {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

static_assert(std::size(kPairBreaks) == static_cast<size_t>(BreakClass::kMark));

template <size_t N>
const BreakClassRange* findIn(const BreakClassRange (&table)[N], char32_t c) {
  const BreakClassRange* after =
      std::upper_bound(std::begin(table), std::end(table), c,
                       [](char32_t v, const BreakClassRange& r) { return v < r.first; });
  if (after == std::begin(table)) return nullptr;
  const BreakClassRange* at = std::prev(after);
  return c <= at->last ? at : nullptr;
}

bool isCharacterMark(char32_t c) {
  return findIn(kCharacterMarks, c) != nullptr;
}

// Invisible controls stand alone: a mark after one has nothing to go with.
bool isControl(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0xAD || c == 0x200B || c == 0x200E ||
         c == 0x200F || (c >= 0x2028 && c <= 0x202E) || (c >= 0x2060 && c <= 0x206F) || c == 0xFEFF;
}

// Whether a line may break between the two classes, with or without spaces between them.
bool mayBreak(BreakClass before, BreakClass after, bool spaced) {
  const char rule = kPairBreaks[static_cast<size_t>(before)][4 * static_cast<size_t>(after)];
  return rule == '_' || (rule == '%' && spaced);
}

// A number is not broken: its sign, opening bracket or hyphen, digits, separators and closing
// bracket stay together once its first digit has come, spaces between them included.
enum class NumberRole { kOther, kSign, kOpening, kDigit, kSeparator, kClosing };

NumberRole numberRoleOf(BreakClass c) {
  switch (c) {
    case BreakClass::kPrefix:
    case BreakClass::kPostfix: return NumberRole::kSign;
    case BreakClass::kOpen:
    case BreakClass::kWideOpen:
    case BreakClass::kHyphen: return NumberRole::kOpening;
    case BreakClass::kNumber: return NumberRole::kDigit;
    case BreakClass::kSlash:
    case BreakClass::kInfix:
    case BreakClass::kMathSymbol: return NumberRole::kSeparator;
    case BreakClass::kClose:
    case BreakClass::kCloseParen: return NumberRole::kClosing;
    default: return NumberRole::kOther;
  }
}

// What a character does to the number being read, after the one before it: 's' starts one,
// 'c' carries it on, '-' ends it.
// clang-format off
constexpr const char* kNumberSteps[] = {
//                     other sign opening digit separator closing
    /* other     */ "-     s    s       s     -         -",
    /* sign      */ "-     s    c       c     -         -",
    /* opening   */ "-     s    s       c     -         -",
    /* digit     */ "-     -    -       c     c         c",
    /* separator */ "-     -    -       c     c         c",
    /* closing   */ "-     c    -       -     -         -",
};
// clang-format on

char numberStep(NumberRole before, NumberRole now) {
  constexpr size_t kColumn[] = {0, 6, 11, 19, 25, 35};
  return kNumberSteps[static_cast<size_t>(before)][kColumn[static_cast<size_t>(now)]];
}

}  // namespace

CodePoint codePointAt(std::string_view text, size_t at) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) return {lead, at + 1};
  size_t length = 0;
  char32_t value = 0, least = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, value = lead & 0x1Fu, least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, value = lead & 0x0Fu, least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, value = lead & 0x07u, least = 0x10000;
  } else {
    return {kReplacement, at + 1};
  }
  if (at + length > text.size()) return {kReplacement, at + 1};
  for (size_t i = 1; i < length; ++i) {
    const unsigned char next = byte(at + i);
    if ((next & 0xC0u) != 0x80u) return {kReplacement, at + 1};
    value = (value << 6) | (next & 0x3Fu);
  }
  if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
    return {kReplacement, at + 1};
  return {value, at + length};
}

BreakClass breakClassOf(char32_t c) {
  const BreakClassRange* r = findIn(kBreakClasses, c);
  return r ? r->cls : BreakClass::kLetter;
}

std::vector<size_t> characterBreaks(std::string_view text) {
  std::vector<size_t> at;
  if (text.empty()) return at;
  CodePoint before = codePointAt(text, 0);
  for (size_t i = before.next; i < text.size(); i = before.next) {
    const CodePoint c = codePointAt(text, i);
    if (!isCharacterMark(c.value) || isControl(before.value)) at.push_back(i);
    before = c;
  }
  return at;
}

std::vector<size_t> lineBreaks(std::string_view text) {
  std::vector<size_t> at;
  if (text.empty()) return at;
  const CodePoint first = codePointAt(text, 0);
  BreakClass before = breakClassOf(first.value);
  // Spaces at the start hold on to nothing before them; a mark there has nothing to go with.
  bool spaced = before == BreakClass::kSpace;
  if (spaced) before = BreakClass::kJoiner;
  if (before == BreakClass::kMark || before == BreakClass::kMathSymbol)
    before = BreakClass::kLetter;
  // Read as the Qt window's text engine always read them, so a caption breaks where it always
  // did: the first character starts no number, and "1.5" may break before its 5.
  NumberRole number = NumberRole::kOther;
  size_t numberStart = 0;
  for (size_t i = first.next; i < text.size();) {
    const CodePoint c = codePointAt(text, i);
    BreakClass now = breakClassOf(c.value);
    if (now == BreakClass::kSpace) {
      spaced = true;
    } else if (now == BreakClass::kMark && !spaced && before != BreakClass::kZeroWidthSpace) {
      // Goes with its character, and breaks as that one does.
    } else {
      if (now == BreakClass::kMark) now = BreakClass::kLetter;
      const NumberRole role = numberRoleOf(now);
      const char step = numberStep(number, role);
      // A math symbol is a letter, but inside a number it holds on to what comes before it.
      const bool joins = now == BreakClass::kMathSymbol && step == 'c';
      if (now == BreakClass::kMathSymbol) now = BreakClass::kLetter;
      if (!joins && mayBreak(before, now, spaced)) at.push_back(i);
      switch (step) {
        case 's':
          numberStart = i;
          number = role;
          break;
        case 'c':
          // Its digits make it a number: nothing since it started breaks.
          if (role == NumberRole::kDigit)
            while (!at.empty() && at.back() > numberStart) at.pop_back();
          number = role;
          break;
        default: number = NumberRole::kOther;
      }
      before = now;
      spaced = false;
    }
    i = c.next;
  }
  return at;
}

}  // namespace milka::play
