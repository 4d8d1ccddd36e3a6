// The journal's reader under libFuzzer: whatever bytes a file holds, reading them and replaying
// what reads back must end, without a crash or a sanitizer's complaint. A journal is the one file
// the game reads, and a player may hand it anything.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "journal/format.h"
#include "journal/session.h"

namespace {

// Enough for a few races, and few enough that every input is over in milliseconds.
constexpr size_t kEventsReplayed = 4000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const milka::journal::Reading r = milka::journal::read(bytes);
  if (r.soundBytes > size || (!r.usable() && !r.events.empty())) __builtin_trap();
  // A reading stands on its own: what it read reads again the same, as whole.
  if (r.usable()) {
    const milka::journal::Reading again = milka::journal::read(bytes.substr(0, r.soundBytes));
    if (again.status != milka::journal::Reading::Status::Whole || again.events != r.events)
      __builtin_trap();
  }
  milka::journal::replay(r, kEventsReplayed);
  return 0;
}
