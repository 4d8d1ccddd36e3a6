// Prints each journal's trace (journal::traceOf), one line a file, for holding a build against
// another: the browser's module prints the same lines for the same journals. With --play SEED
// FILE it first writes FILE: a whole career played carefully under SEED. With --closing BASE
// SITESEED FILE it writes FILE: a careful career on the site at BASE (under SITESEED, none when
// "-") that wins a top race to send, up to its career-over screen, its closing A not yet pressed.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "journal/careful_player.h"
#include "journal/fingerprint.h"

int main(int argc, char** argv) {
  int first = 1;
  if (argc >= 4 && std::string(argv[1]) == "--play") {
    milka::journal::Session session(
        milka::journal::Session::newHeader(std::strtoull(argv[2], nullptr, 10)));
    const std::string head = session.startNewJournal();
    milka::testing::playCareer(session);
    session.encoder()->finish();
    std::ofstream(argv[3], std::ios::binary) << head << session.encoder()->take();
    first = 3;
  }
  if (argc == 5 && std::string(argv[1]) == "--closing") {
    const std::string siteSeed = argv[3] == std::string("-") ? std::string() : argv[3];
    for (uint64_t attempt = 1; attempt <= 200; ++attempt) {
      const milka::testing::Played p = milka::testing::play(argv[2], siteSeed, attempt);
      if (!p.ranked) continue;
      milka::journal::Session session(p.header);
      const std::string head = session.startNewJournal();
      for (const milka::journal::Event& e : p.events) {
        if (session.game().state.screenState == milka::screen::kCareerOver) break;
        session.feed(e);
      }
      session.encoder()->finish();
      std::ofstream(argv[4], std::ios::binary) << head << session.encoder()->take();
      return 0;
    }
    std::fprintf(stderr, "no careful career sent a time\n");
    return 1;
  }
  for (int i = first; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::printf("%s\n", milka::journal::traceOf(milka::journal::read(bytes)).c_str());
  }
  return 0;
}
