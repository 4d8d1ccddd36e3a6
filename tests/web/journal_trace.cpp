// Prints each journal's trace (journal::traceOf), one line a file, for holding a build against
// another: the browser's module prints the same lines for the same journals. With --play SEED
// FILE it first writes FILE: a whole career played carefully under SEED.
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
  for (int i = first; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::printf("%s\n", milka::journal::traceOf(milka::journal::read(bytes)).c_str());
  }
  return 0;
}
