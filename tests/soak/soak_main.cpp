// soak: plays careers through the game's handlers with random events and checks the rules'
// invariants after every one.
//
//   soak [--events N] [--seed S] [--seeds K] [--careers C] [--frozen-every N]
//        [--trace-out FILE] [--shrink]
//   soak --replay FILE
//
// A broken invariant prints the seed, the invariant and the last events, writes the career's
// whole trace to FILE (soak-failure.trace unless given) and exits with 1.
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
  std::stringstream text;
  text << in.rdbuf();
  const auto trace = parseTrace(text.str());
  if (!trace) {
    std::cerr << "soak: " << path << " is not a soak trace\n";
    return 2;
  }
  const auto failure = replay(*trace);
  if (!failure) {
    std::cout << "soak: " << trace->events.size() << " events replayed, every invariant held\n";
    return 0;
  }
  std::cout << "soak: broken after event #" << failure->eventIndex << ": " << failure->what << "\n";
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  std::string traceOut = "soak-failure.trace";
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
      "sent; longest race %d ticks, longest career %lld events\n",
      static_cast<long long>(r.events), r.seconds,
      r.seconds > 0 ? static_cast<double>(r.events) / r.seconds : 0.0,
      static_cast<unsigned long long>(o.seed),
      static_cast<unsigned long long>(o.seed + static_cast<uint64_t>(o.seeds) - 1),
      static_cast<long long>(r.careers), static_cast<long long>(r.frozenClockCareers),
      static_cast<long long>(r.races), static_cast<long long>(r.wins),
      static_cast<long long>(r.topRacesWon), static_cast<long long>(r.sends), r.longestRace,
      static_cast<long long>(r.longestCareer));
  if (!r.failure) return 0;

  Trace trace = r.failedTrace;
  Failure failure = *r.failure;
  if (shrinkIt) {
    trace = shrink(trace, failure);
    failure = replay(trace).value_or(failure);
  }
  std::printf("soak: INVARIANT BROKEN after event #%zu of career seed %llu (%s): %s\n",
              failure.eventIndex, static_cast<unsigned long long>(trace.seed),
              trace.source == Source::Seeded ? "seeded" : "frozen clock", failure.what.c_str());
  std::printf("last events:\n%s", traceTail(trace, 30).c_str());
  std::ofstream out(traceOut, std::ios::binary);
  out << formatTrace(trace);
  std::printf("trace (%zu events) written to %s; replay it with soak --replay %s\n",
              trace.events.size(), traceOut.c_str(), traceOut.c_str());
  return 1;
}
