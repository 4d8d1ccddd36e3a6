// The soak's career under libFuzzer: the input spells the events, so the fuzzer can steer into
// corners a random player rarely finds. Input: eight bytes of seed, one byte for the source,
// then events, each an opcode byte and what it needs. A broken invariant prints the trace and
// aborts, which libFuzzer keeps as a crash.
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>

#include "soak/soak.h"

namespace {

using namespace milka::soak;

constexpr int64_t kEventsPerInput = 400000;

struct Reader {
  const uint8_t* data;
  size_t size;
  size_t at = 0;
  bool empty() const { return at >= size; }
  uint8_t byte() { return at < size ? data[at++] : 0; }
  uint16_t u16() {
    const uint8_t low = byte();
    return static_cast<uint16_t>(low | byte() << 8);
  }
  // A length byte and that many bytes; 255 stands for a text past the fetched-text cap.
  std::string text() {
    const uint8_t n = byte();
    if (n == 255) return std::string(64 * 1024 + byte(), static_cast<char>(byte()));
    std::string t;
    for (uint8_t i = 0; i < n && !empty(); ++i) t += static_cast<char>(byte());
    return t;
  }
};

void apply(Career& c, const Event& e) {
  c.apply(e);
  if (!c.failure()) return;
  std::fprintf(stderr, "soak_fuzz: broken after event #%zu: %s\n%s", c.failure()->eventIndex,
               c.failure()->what.c_str(),
               tail(milka::journal::read(c.journal()).events, 40).c_str());
  std::abort();
}

// The request started `at`-th among those waiting, by its index since the career began.
int32_t waitingAt(const std::vector<milka::journal::JournalPort::Pending>& waiting, uint8_t at) {
  return waiting.empty() ? at : waiting[at % waiting.size()].index;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Reader r{data, size};
  uint64_t seed = 0;
  for (int i = 0; i < 8; ++i) seed = seed << 8 | r.byte();
  Career c(seed, (r.byte() & 1) ? ClockKind::Frozen : ClockKind::Stepping);

  while (!r.empty() && c.events() < kEventsPerInput) {
    const uint8_t op = r.byte();
    switch (op % 14) {
      case 0: apply(c, Event::click(1)); break;
      case 1: apply(c, Event::click(4)); break;
      case 2: apply(c, Event::click(2)); break;
      case 3: apply(c, Event::click(3)); break;
      case 4: apply(c, Event::click(5)); break;
      case 5: {
        const auto code = static_cast<int16_t>(r.u16());
        apply(c, Event::key(code, r.byte()));
        break;
      }
      case 6: {  // the symbol on screen, else one of the table's
        int code = keyCodeOf(c.game().form.label(12).caption);
        const int pick = r.byte() % 30 + 1;
        if (code == 0 || (op & 0x80)) code = pick <= 4 ? 36 + pick : 64 + (pick - 4);
        apply(c, Event::key(code, r.byte() & 7));
        break;
      }
      case 7: apply(c, Event::timer(r.byte() % 5 + 1)); break;
      case 8: {  // whole periods, all five timers in one of their 120 orders
        const int periods = r.byte() + 1;
        std::array<int, 5> order = {1, 2, 3, 4, 5};
        for (int n = r.byte() % 120; n > 0; --n) std::next_permutation(order.begin(), order.end());
        for (int p = 0; p < periods; ++p)
          for (int t : order) apply(c, Event::timer(t));
        break;
      }
      case 9: {  // a waiting request, or with the top bit any index at all
        const uint8_t at = r.byte();
        std::string text = r.text();
        const int32_t index = (op & 0x80) ? at : waitingAt(c.port().pendingFetches(), at);
        apply(c, Event::fetch(index, std::move(text)));
        break;
      }
      case 10: {
        const uint8_t at = r.byte();
        std::string text = r.text();
        const int32_t index = (op & 0x80) ? at : waitingAt(c.port().pendingNavigations(), at);
        apply(c, Event::nav(index, std::move(text)));
        break;
      }
      case 11: apply(c, Event::notify(r.text())); break;
      case 12: {  // Text1 as a text box edits it
        const std::string& before = c.game().form.text1.text;
        std::string after = before.substr(0, std::min<size_t>(before.size(), r.byte()));
        after += r.text().substr(0, 256);
        if (after.size() > kCaptionBound / 2) after.clear();
        apply(c, Event::text1(before, after));
        break;
      }
      default:
        apply(c, (op & 0x80) ? Event::click(static_cast<int16_t>(r.u16()))
                             : Event::timer(static_cast<int16_t>(r.u16())));
        break;
    }
  }
  return 0;
}
