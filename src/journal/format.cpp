#include "journal/format.h"

#include <algorithm>
#include <array>

#ifndef MILKA_VERSION
#define MILKA_VERSION "0"
#endif

namespace milka::journal {

namespace {

constexpr std::string_view kMagic = "milka-journal ";
constexpr size_t kHeaderLimit = 4096;

enum Tag : uint8_t {
  // Never 0: a run of zeros (the unwritten end of a file) must never read as records.
  kLoad = 0x0F,
  kTimer = 0x00,  // + 1..5
  kClick = 0x10,  // + 1..5
  kKeyWide = 0x20,
  kKeyPlain = 0x21,
  kKeyShifted = 0x22,
  kText1 = 0x30,
  kFetch = 0x31,
  kNav = 0x32,
  kNotify = 0x33,
  kSiteBase = 0x34,
  kSeed = 0x35,
  kAppend = 0x36,     // Text1: the text put after all it holds
  kAppendOne = 0x37,  // the same, one byte (a symbol typed)
  kKeyLetter = 0x40,  // + 0..25, the letters' codes 65..90 without Shift; + 26..29 the arrows
  kKeyLetterShifted = 0x61,  // the same with Shift
  kClickWide = 0x1F,         // a button the window does not have
  kTimerWide = 0x60,         // a timer the window does not have
  kPeriod = 0x80,            // + the order of the five timers, 0..119
};

// CRC-16/CCITT: every error of one or two bits in a record is caught. By table, a byte at a
// time: a browser's notice can run to many kilobytes and every one is checked as it is written.
constexpr std::array<uint16_t, 256> kCrc16Table = [] {
  std::array<uint16_t, 256> t{};
  for (uint32_t b = 0; b < 256; ++b) {
    auto crc = static_cast<uint16_t>(b << 8);
    for (int i = 0; i < 8; ++i)
      crc = static_cast<uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
    t[b] = crc;
  }
  return t;
}();

uint16_t crc16(uint16_t crc, std::string_view bytes) {
  for (char ch : bytes)
    crc = static_cast<uint16_t>(crc << 8) ^
          kCrc16Table[static_cast<uint8_t>((crc >> 8) ^ static_cast<unsigned char>(ch))];
  return crc;
}

uint32_t crc32(std::string_view bytes) {
  uint32_t crc = 0xFFFFFFFFu;
  for (char ch : bytes) {
    crc ^= static_cast<unsigned char>(ch);
    for (int i = 0; i < 8; ++i) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void putVarint(std::string& out, uint32_t v) {
  while (v >= 0x80) {
    out += static_cast<char>((v & 0x7F) | 0x80);
    v >>= 7;
  }
  out += static_cast<char>(v);
}

void putText(std::string& out, std::string_view text) {
  putVarint(out, static_cast<uint32_t>(text.size()));
  out += text;
}

void putInt16(std::string& out, int32_t v) {
  const auto u = static_cast<uint16_t>(static_cast<int16_t>(v));
  out += static_cast<char>(u & 0xFF);
  out += static_cast<char>(u >> 8);
}

// The five timers' order as one number, 0..119 (its rank among all orders).
int orderIndex(const std::vector<int32_t>& order) {
  int index = 0;
  for (size_t i = 0; i < 5; ++i) {
    int smaller = 0;
    for (size_t j = i + 1; j < 5; ++j) smaller += order[j] < order[i];
    static constexpr std::array<int, 5> kWeights = {24, 6, 2, 1, 0};
    index += smaller * kWeights[i];
  }
  return index;
}

std::array<int32_t, 5> orderOf(int index) {
  std::vector<int32_t> left = {1, 2, 3, 4, 5};
  std::array<int32_t, 5> out{};
  static constexpr std::array<int, 5> kWeights = {24, 6, 2, 1, 1};
  for (size_t i = 0; i < 5; ++i) {
    const auto at = static_cast<size_t>(index / kWeights[i]);
    index %= kWeights[i];
    out[i] = left[at];
    left.erase(left.begin() + static_cast<std::ptrdiff_t>(at));
  }
  return out;
}

bool isTimer(const Event& e) {
  return e.kind == Event::Kind::Timer && e.code >= 1 && e.code <= 5;
}

// Reads one record's body from `in`, advancing it; nullopt when the bytes run out first.
class Cursor {
 public:
  explicit Cursor(std::string_view in) : in_(in) {}
  bool byte(uint8_t& v) {
    if (at_ >= in_.size()) return false;
    v = static_cast<uint8_t>(in_[at_++]);
    return true;
  }
  bool varint(uint32_t& v) {
    v = 0;
    for (int shift = 0; shift <= 28; shift += 7) {
      uint8_t b = 0;
      if (!byte(b)) return false;
      v |= static_cast<uint32_t>(b & 0x7F) << shift;
      if (!(b & 0x80)) return true;
    }
    bad_ = true;  // longer than any number we write
    return false;
  }
  bool int16(int32_t& v) {
    uint8_t lo = 0, hi = 0;
    if (!byte(lo) || !byte(hi)) return false;
    v = static_cast<int16_t>(static_cast<uint16_t>(lo | (hi << 8)));
    return true;
  }
  bool text(std::string& out) {
    uint32_t n = 0;
    if (!varint(n)) return false;
    if (n > kTextLimit) {
      bad_ = true;
      return false;
    }
    if (in_.size() - at_ < n) return false;
    out.assign(in_.substr(at_, n));
    at_ += n;
    return true;
  }
  size_t at() const { return at_; }
  bool bad() const { return bad_; }

 private:
  std::string_view in_;
  size_t at_ = 0;
  bool bad_ = false;
};

std::string_view clockName(ClockKind k) {
  switch (k) {
    case ClockKind::Events: return "events";
    case ClockKind::Stepping: return "stepping";
    case ClockKind::Frozen: return "frozen";
  }
  return "events";
}

bool parseUnsigned(std::string_view w, uint64_t& v) {
  if (w.empty() || w.size() > 20) return false;
  v = 0;
  for (char c : w) {
    if (c < '0' || c > '9') return false;
    const uint64_t next = v * 10 + static_cast<uint64_t>(c - '0');
    if (next / 10 != v) return false;
    v = next;
  }
  return true;
}

}  // namespace

std::string Header::value(std::string_view key) const {
  for (const auto& [k, v] : extra)
    if (k == key) return v;
  return {};
}

const char* gameVersion() {
  return MILKA_VERSION;
}

namespace {

// The keys the window sends, in one byte with their tag: 0..25 the letters, 26..29 the arrows.
int compactKey(int32_t code) {
  if (code >= 65 && code <= 90) return code - 65;
  if (code >= 37 && code <= 40) return 26 + code - 37;
  return -1;
}

int32_t keyOfCompact(int n) {
  return n < 26 ? 65 + n : 37 + n - 26;
}

}  // namespace

std::string encodeHeader(const Header& h) {
  std::string out = std::string(kMagic) + std::to_string(h.format) + "\n";
  out += "rules " + std::to_string(h.rules) + "\n";
  out += "game " + h.game + "\n";
  out += "seed " + std::to_string(h.seed) + "\n";
  out += "clock " + std::string(clockName(h.clock)) + "\n";
  for (const auto& [k, v] : h.extra) out += k + " " + v + "\n";
  out += "check " + std::to_string(crc32(out)) + "\n\n";
  return out;
}

uint16_t chainAfterHeader(std::string_view headerBytes) {
  return crc16(0xFFFF, headerBytes);
}

void Encoder::record(std::string_view bytes) {
  chain_ = crc16(chain_, bytes);
  out_ += bytes;
  out_ += static_cast<char>(chain_ & 0xFF);
  out_ += static_cast<char>(chain_ >> 8);
}

void Encoder::flushHeld() {
  for (int32_t n : held_) record(std::string(1, static_cast<char>(kTimer + n)));
  held_.clear();
}

void Encoder::add(const Event& e) {
  periodEnded_ = false;
  if (isTimer(e)) {
    if (std::find(held_.begin(), held_.end(), e.code) != held_.end()) flushHeld();
    held_.push_back(e.code);
    if (held_.size() == 5) {
      record(std::string(1, static_cast<char>(kPeriod + orderIndex(held_))));
      held_.clear();
      periodEnded_ = true;
    }
    return;
  }
  flushHeld();
  std::string r;
  using K = Event::Kind;
  switch (e.kind) {
    case K::Load: r += static_cast<char>(kLoad); break;
    case K::Timer:  // a timer the window does not have: kept as it came
      r += static_cast<char>(kTimerWide);
      putInt16(r, e.code);
      break;
    case K::Click:
      if (e.code >= 1 && e.code <= 5) {
        r += static_cast<char>(kClick + e.code);
      } else {
        r += static_cast<char>(kClickWide);
        putInt16(r, e.code);
      }
      break;
    case K::Key:
      if (compactKey(e.code) >= 0 && (e.shift == 0 || e.shift == 1)) {
        r +=
            static_cast<char>((e.shift == 0 ? kKeyLetter : kKeyLetterShifted) + compactKey(e.code));
      } else if (e.code >= 0 && e.code <= 255 && (e.shift == 0 || e.shift == 1)) {
        r += static_cast<char>(e.shift == 0 ? kKeyPlain : kKeyShifted);
        r += static_cast<char>(e.code);
      } else {
        r += static_cast<char>(kKeyWide);
        putInt16(r, e.code);
        putInt16(r, e.shift);
      }
      break;
    case K::Text1:
      if (e.code == Event::kKeepAll && e.text.size() == 1) {
        r += static_cast<char>(kAppendOne);
        r += e.text;
      } else if (e.code == Event::kKeepAll) {
        r += static_cast<char>(kAppend);
        putText(r, e.text);
      } else {
        r += static_cast<char>(kText1);
        putVarint(r, static_cast<uint32_t>(std::max(e.code, 0)));
        putText(r, e.text);
      }
      break;
    case K::Fetch:
    case K::Nav:
      r += static_cast<char>(e.kind == K::Fetch ? kFetch : kNav);
      putVarint(r, static_cast<uint32_t>(std::max(e.code, 0)));
      putText(r, e.text);
      break;
    case K::Notify:
      r += static_cast<char>(kNotify);
      putText(r, e.text);
      break;
    case K::SiteBase:
    case K::Seed:
      r += static_cast<char>(e.kind == K::Seed ? kSeed : kSiteBase);
      putText(r, e.text);
      break;
  }
  record(r);
}

void Encoder::finish() {
  flushHeld();
}

namespace {

// The header, or the status that says why there is none.
Reading::Status readHeader(std::string_view bytes, Reading& r) {
  if (bytes.empty()) return Reading::Status::Empty;
  // A header cut short is ours, damaged; anything else is not ours at all.
  if (!bytes.starts_with(kMagic))
    return kMagic.starts_with(bytes) ? Reading::Status::Damaged : Reading::Status::NotAJournal;
  const size_t end = bytes.substr(0, kHeaderLimit).find("\n\n");
  if (end == std::string_view::npos) return Reading::Status::Damaged;
  const std::string_view text = bytes.substr(0, end + 1);
  r.headerBytes = end + 2;

  std::vector<std::string_view> lines;
  for (size_t at = 0; at < text.size();) {
    const size_t nl = text.find('\n', at);
    lines.push_back(text.substr(at, nl - at));
    at = nl + 1;
  }
  uint64_t format = 0;
  if (!parseUnsigned(lines[0].substr(kMagic.size()), format)) return Reading::Status::Damaged;
  if (format > static_cast<uint64_t>(kFormatVersion)) {
    r.header.format = static_cast<int>(std::min<uint64_t>(format, 1'000'000));
    return Reading::Status::NewerFormat;
  }
  if (format < 1) return Reading::Status::Damaged;

  // The check covers every line above it.
  const std::string_view last = lines.back();
  uint64_t check = 0;
  if (!last.starts_with("check ") || !parseUnsigned(last.substr(6), check) ||
      check != crc32(text.substr(0, text.size() - last.size() - 1)))
    return Reading::Status::Damaged;

  Header h;
  bool seen[4] = {};
  for (size_t i = 1; i + 1 < lines.size(); ++i) {
    const std::string_view line = lines[i];
    const size_t space = line.find(' ');
    if (space == std::string_view::npos || space == 0) return Reading::Status::Damaged;
    const std::string_view key = line.substr(0, space), value = line.substr(space + 1);
    uint64_t n = 0;
    if (key == "rules") {
      if (!parseUnsigned(value, n)) return Reading::Status::Damaged;
      h.rules = static_cast<int>(std::min<uint64_t>(n, 1'000'000));
      seen[0] = true;
    } else if (key == "game") {
      h.game = value;
      seen[1] = true;
    } else if (key == "seed") {
      if (!parseUnsigned(value, h.seed)) return Reading::Status::Damaged;
      seen[2] = true;
    } else if (key == "clock") {
      if (value == "events")
        h.clock = ClockKind::Events;
      else if (value == "stepping")
        h.clock = ClockKind::Stepping;
      else if (value == "frozen")
        h.clock = ClockKind::Frozen;
      else
        return Reading::Status::Damaged;
      seen[3] = true;
    } else {
      h.extra.emplace_back(key, value);
    }
  }
  if (!(seen[0] && seen[1] && seen[2] && seen[3])) return Reading::Status::Damaged;
  r.header = std::move(h);
  if (r.header.rules != kRulesVersion) return Reading::Status::OtherRules;
  return Reading::Status::Whole;
}

// One record's events; false when it is cut short (torn) or makes no sense (bad).
bool readRecord(Cursor& c, std::vector<Event>& out, bool& bad) {
  uint8_t tag = 0;
  if (!c.byte(tag)) return false;
  using K = Event::Kind;
  auto badRecord = [&] {
    bad = true;
    return false;
  };
  if (tag >= kPeriod) {
    if (tag - kPeriod >= 120) return badRecord();
    for (int32_t n : orderOf(tag - kPeriod)) out.push_back(Event::timer(n));
    return true;
  }
  if (tag == kLoad) {
    out.push_back(Event::load());
    return true;
  }
  if (tag >= kTimer + 1 && tag <= kTimer + 5) {
    out.push_back(Event::timer(tag - kTimer));
    return true;
  }
  if (tag >= kClick + 1 && tag <= kClick + 5) {
    out.push_back(Event::click(tag - kClick));
    return true;
  }
  if (tag >= kKeyLetter && tag < kKeyLetter + 30) {
    out.push_back(Event::key(keyOfCompact(tag - kKeyLetter), 0));
    return true;
  }
  if (tag >= kKeyLetterShifted && tag < kKeyLetterShifted + 30) {
    out.push_back(Event::key(keyOfCompact(tag - kKeyLetterShifted), 1));
    return true;
  }
  Event e;
  uint32_t n = 0;
  bool ok = false;
  switch (tag) {
    case kClickWide:
      e.kind = K::Click;
      ok = c.int16(e.code);
      break;
    case kTimerWide:
      e.kind = K::Timer;
      ok = c.int16(e.code);
      break;
    case kKeyWide:
      e.kind = K::Key;
      ok = c.int16(e.code) && c.int16(e.shift);
      break;
    case kKeyPlain:
    case kKeyShifted: {
      uint8_t code = 0;
      e.kind = K::Key;
      e.shift = tag == kKeyShifted ? 1 : 0;
      ok = c.byte(code);
      e.code = code;
      break;
    }
    case kText1:
    case kFetch:
    case kNav:
      e.kind = tag == kText1 ? K::Text1 : tag == kFetch ? K::Fetch : K::Nav;
      ok = c.varint(n) && n <= 0x7FFFFFFF && c.text(e.text);
      e.code = static_cast<int32_t>(n);
      break;
    case kAppend:
      e.kind = K::Text1;
      e.code = Event::kKeepAll;
      ok = c.text(e.text);
      break;
    case kAppendOne: {
      uint8_t b = 0;
      e.kind = K::Text1;
      e.code = Event::kKeepAll;
      ok = c.byte(b);
      e.text.assign(1, static_cast<char>(b));
      break;
    }
    case kNotify:
    case kSiteBase:
    case kSeed:
      e.kind = tag == kNotify ? K::Notify : tag == kSeed ? K::Seed : K::SiteBase;
      ok = c.text(e.text);
      break;
    default: return badRecord();
  }
  if (!ok) {
    if (c.bad()) bad = true;
    return false;
  }
  out.push_back(std::move(e));
  return true;
}

}  // namespace

Reading readOn(std::string_view rest, uint16_t chain, size_t eventLimit) {
  Reading r;
  r.chain = chain;
  std::vector<Event> events;
  while (!rest.empty()) {
    Cursor c(rest);
    bool bad = false;
    events.clear();
    if (!readRecord(c, events, bad) || c.at() + 2 > rest.size()) {
      // Cut short by the end of the bytes: a write interrupted. Anything that cannot be a record
      // at all is damage. A tail of zeros is what a machine losing power leaves.
      const bool zeros = std::all_of(rest.begin(), rest.end(), [](char ch) { return ch == 0; });
      r.status = bad && !zeros ? Reading::Status::Damaged : Reading::Status::TornTail;
      return r;
    }
    const uint16_t next = crc16(r.chain, rest.substr(0, c.at()));
    const auto stored = static_cast<uint16_t>(static_cast<unsigned char>(rest[c.at()]) |
                                              static_cast<unsigned char>(rest[c.at() + 1]) << 8);
    if (next != stored) {
      const bool zeros = std::all_of(rest.begin(), rest.end(), [](char ch) { return ch == 0; });
      r.status = zeros ? Reading::Status::TornTail : Reading::Status::Damaged;
      return r;
    }
    if (r.events.size() + events.size() > eventLimit) {
      r.status = Reading::Status::Damaged;
      return r;
    }
    for (Event& e : events) r.events.push_back(std::move(e));
    r.chain = next;
    r.soundBytes += c.at() + 2;
    rest.remove_prefix(c.at() + 2);
  }
  r.status = Reading::Status::Whole;
  return r;
}

Reading read(std::string_view bytes, size_t eventLimit) {
  Reading r;
  r.status = readHeader(bytes, r);
  if (r.status != Reading::Status::Whole) {
    r.headerBytes = r.soundBytes = 0;
    return r;
  }
  Reading on = readOn(bytes.substr(r.headerBytes), chainAfterHeader(bytes.substr(0, r.headerBytes)),
                      eventLimit);
  r.status = on.status;
  r.events = std::move(on.events);
  r.soundBytes = r.headerBytes + on.soundBytes;
  r.chain = on.chain;
  return r;
}

bool holdsCareer(const Reading& r) {
  if (!r.usable()) return false;
  size_t first = 0;
  while (first < r.events.size() && r.events[first].kind == Event::Kind::SiteBase) ++first;
  return first < r.events.size() && r.events[first].kind == Event::Kind::Load;
}

std::string encode(const Header& h, const std::vector<Event>& events) {
  const std::string head = encodeHeader(h);
  Encoder enc(chainAfterHeader(head));
  for (const Event& e : events) enc.add(e);
  enc.finish();
  return head + enc.take();
}

}  // namespace milka::journal
