#include "play/entry_upload.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "online/submit.h"

namespace milka::play {

namespace {

constexpr std::string_view kEntryPage = "/vbvb55.php";
constexpr std::string_view kTokenPage = "/pdf.php";
// A reason shown on the closing screen stays short whatever the site sends, counted as a
// window's text counts (UTF-16 units).
constexpr size_t kReasonLength = 120;
constexpr char32_t kReplacement = 0xFFFD;

// The address up to its query or fragment.
std::string_view pathPart(std::string_view url) {
  const size_t authority = url.find("://");
  const size_t from = authority == std::string_view::npos ? 0 : authority + 3;
  const size_t cut = url.find_first_of("?#", from);
  return cut == std::string_view::npos ? url : url.substr(0, cut);
}

bool pathEndsWith(std::string_view url, std::string_view page) {
  return pathPart(url).ends_with(page);
}

// Every character of text, a broken sequence standing as the replacement character.
std::vector<char32_t> decoded(std::string_view text) {
  std::vector<char32_t> out;
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    size_t extra = 0;
    char32_t c = 0;
    char32_t least = 0;
    if (lead < 0x80) {
      c = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      extra = 1, c = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2, c = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      extra = 3, c = lead & 0x07, least = 0x10000;
    } else {
      out.push_back(kReplacement);
      ++i;
      continue;
    }
    size_t k = 1;
    for (; k <= extra && i + k < text.size(); ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) break;
      c = (c << 6) | (next & 0x3F);
    }
    if (k <= extra || c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
      out.push_back(kReplacement);
      i += k;
      continue;
    }
    out.push_back(c);
    i += extra + 1;
  }
  return out;
}

void append(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Control and format characters: what could move the cursor, recolour a terminal or reorder the
// line the note shows.
bool unshown(char32_t c) {
  if (c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == kReplacement) return true;
  static constexpr char32_t kFormat[][2] = {
      {0x00AD, 0x00AD},   {0x0600, 0x0605},   {0x061C, 0x061C},   {0x06DD, 0x06DD},
      {0x070F, 0x070F},   {0x0890, 0x0891},   {0x08E2, 0x08E2},   {0x180E, 0x180E},
      {0x200B, 0x200F},   {0x202A, 0x202E},   {0x2060, 0x2064},   {0x2066, 0x206F},
      {0xFEFF, 0xFEFF},   {0xFFF9, 0xFFFB},   {0x110BD, 0x110BD}, {0x110CD, 0x110CD},
      {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0001, 0xE0001},
      {0xE0020, 0xE007F}};
  for (const auto& [from, to] : kFormat)
    if (c >= from && c <= to) return true;
  return false;
}

bool space(char32_t c) {
  return c == 0x20 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 ||
         c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

}  // namespace

EntryUpload::EntryUpload(OnlinePort& inner, UploadLink& link) : inner_(inner), link_(link) {
  siteBase = inner.siteBase;
}

EntryUpload::~EntryUpload() {
  *alive_ = false;
}

bool EntryUpload::isEntry(const std::string& url) {
  return pathEndsWith(url, kEntryPage);
}

std::string EntryUpload::journalUrl(const std::string& entry, const std::string& token) {
  std::string_view path = pathPart(entry);
  if (path.ends_with(kEntryPage)) path.remove_suffix(kEntryPage.size());
  // Percent-encoded as the entry's query has it, so the token can never add a piece of its own.
  return std::string(path) + "/journal.php?" + online::percentEncode(token);
}

std::string EntryUpload::reasonFrom(std::string_view body) {
  std::vector<char32_t> kept;
  for (const char32_t c : decoded(body.substr(0, std::min(body.size(), kAnswerLimit)))) {
    const bool gap = unshown(c) || space(c);
    if (gap && (kept.empty() || kept.back() == U' ')) continue;
    kept.push_back(gap ? U' ' : c);
  }
  if (!kept.empty() && kept.back() == U' ') kept.pop_back();
  size_t units = 0;
  for (const char32_t c : kept) units += c >= 0x10000 ? 2 : 1;
  std::string out;
  if (units <= kReasonLength) {
    for (const char32_t c : kept) append(out, c);
    return out;
  }
  units = 0;
  for (const char32_t c : kept) {
    units += c >= 0x10000 ? 2 : 1;
    if (units > kReasonLength - 1) break;
    append(out, c);
  }
  return out + "…";
}

void EntryUpload::fetch(const std::string& url, std::function<void(std::string)> done) {
  if (!pathEndsWith(url, kTokenPage)) {
    inner_.fetch(url, std::move(done));
    return;
  }
  inner_.fetch(url, [this, alive = alive_, done = std::move(done)](std::string text) {
    if (!*alive) {
      done(std::move(text));
      return;
    }
    token_ = text;
    ++answering_;
    done(std::move(text));
    if (!*alive) return;
    --answering_;
    // The answer is in the journal now: the entries it asked for may go.
    if (answering_ == 0 && waiting_) {
      Waiting w = std::move(*waiting_);
      waiting_.reset();
      upload(std::move(w));
    }
  });
}

void EntryUpload::navigate(const std::string& url, std::function<void(std::string)> arrived) {
  if (!isEntry(url)) {
    inner_.navigate(url, std::move(arrived));
    return;
  }
  ++pending_;
  Waiting w{url, std::move(arrived)};
  if (answering_ > 0 && !waiting_) {
    waiting_ = std::make_unique<Waiting>(std::move(w));
    return;
  }
  upload(std::move(w));
}

void EntryUpload::openUrl(const std::string& url) {
  inner_.openUrl(url);
}

std::string EntryUpload::locationUrl() const {
  return inner_.locationUrl();
}

void EntryUpload::upload(Waiting w) {
  const Journal journal = journal_ ? journal_() : Journal{};
  Outcome outcome;
  outcome.seeded = journal.seeded;
  // A failed fetch leaves no token for the site to tie the journal to: the plain entry goes.
  if (token_.empty() || token_.size() > online::kFetchedTextLimit || journal.bytes.empty()) {
    finish(outcome, std::move(w));
    return;
  }
  const std::string where = journalUrl(w.entry, token_);
  // The waiting entry travels through the window's callbacks; shared, as they may be copied.
  auto held = std::make_shared<Waiting>(std::move(w));
  link_.compress(
      journal.bytes, [this, alive = alive_, where, outcome, held](std::string body) mutable {
        if (!*alive) return;
        if (body.empty() || body.size() > kBodyLimit) {
          finish(outcome, std::move(*held));
          return;
        }
        link_.post(
            where, std::move(body),
            [this, alive, outcome, held](int status, std::string answer, bool fromServer) mutable {
              if (!*alive) return;
              if (fromServer && status == 200) {
                outcome.kind = Outcome::Checked;
              } else if (fromServer && status == 400) {
                outcome.kind = Outcome::Refused;
                outcome.reason = reasonFrom(answer);
              }
              finish(outcome, std::move(*held));
            });
      });
}

void EntryUpload::finish(const Outcome& outcome, Waiting w) {
  --pending_;
  if (uploaded_) uploaded_(outcome);
  inner_.navigate(w.entry, std::move(w.arrived));
}

}  // namespace milka::play
