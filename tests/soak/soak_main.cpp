// soak: plays careers through the game's handlers with random events and checks the rules'
// invariants after every one.
//
//   soak [--events N] [--seed S] [--seeds K] [--careers C] [--frozen-every N]
//        [--trace-out FILE] [--shrink]
//   soak --replay FILE
//
// A broken invariant prints the seed, the invariant and the last events, writes the career's
// journal to FILE (soak-failure.mdj unless given) and exits with 1; --replay plays a journal
// again with every invariant checked.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "soak/soak.h"

namespace {

using namespace milka::soak;

int usage() {
  std::cerr << "usage: soak [--events N] [--seed S] [--seeds K] [--careers C] [--frozen-every N]\n"
               "            [--trace-out FILE] [--shrink]\n"
               "       soak --replay FILE\n";
  return 2;
}

bool integer(const char* text, int64_t& out) {
  char* end = nullptr;
  const long long v = std::strtoll(text, &end, 10);
  if (end == text || *end != '\0' || v < 0) return false;
  out = v;
  return true;
}

int replayFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::cerr << "soak: cannot read " << path << "\n";
    return 2;
  }
  std::stringstream bytes;
  bytes << in.rdbuf();
  const milka::journal::Reading r = milka::journal::read(bytes.str());
  if (!r.usable()) {
    std::cerr << "soak: " << path << " is not a journal this game can play\n";
    return 2;
  }
  if (r.status != milka::journal::Reading::Status::Whole)
    std::cerr << "soak: " << path << " reads only to byte " << r.soundBytes << "\n";
  const auto failure = replay(r.header, r.events);
  if (!failure) {
    std::cout << "soak: " << r.events.size() << " events replayed, every invariant held\n";
    return 0;
  }
  std::cout << "soak: broken after event #" << failure->eventIndex << ": " << failure->what << "\n";
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  std::string traceOut = "soak-failure.mdj";
  bool shrinkIt = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    int64_t v = 0;
    if (arg == "--replay" && hasValue) return replayFile(argv[++i]);
    if (arg == "--trace-out" && hasValue) {
      traceOut = argv[++i];
    } else if (arg == "--shrink") {
      shrinkIt = true;
    } else if (hasValue && integer(argv[i + 1], v)) {
      ++i;
      if (arg == "--events")
        o.events = v;
      else if (arg == "--seed")
        o.seed = static_cast<uint64_t>(v);
      else if (arg == "--seeds")
        o.seeds = v;
      else if (arg == "--frozen-every")
        o.frozenClockEvery = static_cast<int>(v);
      else if (arg == "--careers")
        o.careers = v;
      else
        return usage();
    } else {
      return usage();
    }
  }

  const Report r = run(o);
  std::printf(
      "soak: %lld events in %.2f s (%.0f events/s), seeds %llu..%llu: %lld careers played to the "
      "end (%lld on a frozen clock), %lld races (%lld won, %lld of them top races), %lld records "
      "sent; longest race %d ticks, longest career %lld events; journals of %.1f bytes an event, "
      "%lld cut and continued\n",
      static_cast<long long>(r.events), r.seconds,
      r.seconds > 0 ? static_cast<double>(r.events) / r.seconds : 0.0,
      static_cast<unsigned long long>(o.seed),
      static_cast<unsigned long long>(o.seed + static_cast<uint64_t>(o.seeds) - 1),
      static_cast<long long>(r.careers), static_cast<long long>(r.frozenClockCareers),
      static_cast<long long>(r.races), static_cast<long long>(r.wins),
      static_cast<long long>(r.topRacesWon), static_cast<long long>(r.sends), r.longestRace,
      static_cast<long long>(r.longestCareer),
      r.events > 0 ? static_cast<double>(r.journalBytes) / static_cast<double>(r.events) : 0.0,
      static_cast<long long>(r.cutsContinued));
  if (!r.failure) return 0;

  const milka::journal::Reading failed = milka::journal::read(r.failedJournal);
  std::vector<Event> events = failed.events;
  Failure failure = *r.failure;
  if (shrinkIt) {
    events = shrink(failed.header, events, failure);
    failure = replay(failed.header, events).value_or(failure);
  }
  const bool frozen = failed.header.clock == ClockKind::Frozen;
  std::printf("soak: INVARIANT BROKEN after event #%zu of career seed %llu (%s): %s\n",
              failure.eventIndex, static_cast<unsigned long long>(failed.header.seed),
              frozen ? "frozen clock" : "seeded", failure.what.c_str());
  std::printf("last events:\n%s", tail(events, 30).c_str());
  std::ofstream out(traceOut, std::ios::binary);
  out << milka::journal::encode(failed.header, events);
  std::printf("journal (%zu events) written to %s; replay it with soak --replay %s\n",
              events.size(), traceOut.c_str(), traceOut.c_str());
  return 1;
}
