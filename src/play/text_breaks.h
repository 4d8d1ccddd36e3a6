// Where a caption may be cut or broken, as byte offsets into its UTF-8: never inside a
// character's bytes, nor between a character and the marks that go with it (か and its voiced
// mark are one が on screen), and a line only where a reader of Japanese expects one to end.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "play/line_break_tables.h"

namespace milka::play {

struct CodePoint {
  char32_t value;
  size_t next;  // where the following one starts
};

// The code point whose bytes start at `at`. A byte that starts no well-formed sequence stands
// alone as U+FFFD, so a walk through any bytes always moves on.
CodePoint codePointAt(std::string_view text, size_t at);

BreakClass breakClassOf(char32_t c);

// Between two characters: every place strictly inside text where a cut leaves whole ones.
std::vector<size_t> characterBreaks(std::string_view text);

// Every place strictly inside text where a line may end, as Unicode's line-breaking rules put
// them: between kana and kanji; not before 、。」 ー or a small kana, nor after 「; not inside a
// word or a number of Latin letters and digits; after a run of spaces rather than before it.
std::vector<size_t> lineBreaks(std::string_view text);

}  // namespace milka::play
