// Careers for the site's tests of proof: a careful player's whole career under a seed the site
// issued, its journal as the game uploads it, and the entry its replay sends.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "journal/careful_player.h"
#include "journal/session.h"
#include "site/career_replay.h"
#include "site_harness.h"

namespace milka::site::testing {

using journal::Event;

using milka::testing::play;
using milka::testing::Played;

// About one careful career in seven wins a top race worth sending, and the site's seeds are
// its own, so a test looking for one tries until it comes: forty tries missed it once in a few
// hundred runs.
constexpr int kCareersToSend = 200;

// A career that sends a time the hall of fame ranks, under a fresh seed of the site's (or of
// seed's).
inline Played aSendingCareer(LocalSite& site, const std::function<std::string()>& seed = {}) {
  for (uint64_t attempt = 1; attempt <= kCareersToSend; ++attempt) {
    Played p =
        play(site.base(), seed ? seed() : site.path("/seed.php").body.toStdString(), attempt);
    if (p.ranked) return p;
  }
  ADD_FAILURE() << "no careful career of " << kCareersToSend << " sent a time to rank";
  return {};
}

inline QByteArray packed(const std::string& journal) {
  return qCompress(QByteArray::fromStdString(journal), 9);
}

inline Answer upload(LocalSite& site, const std::string& token, const QByteArray& body) {
  return site.send(QByteArray::fromStdString(site.base() + "/journal.php?" + token), body, true);
}

// The entry the replay of a journal sends, as the game would navigate to it.
inline std::string entryOf(const Played& p, const std::string& token, const std::string& base) {
  const Proof proof = proveCareer(p.journal(token), token);
  EXPECT_EQ(proof.fault, JournalFault::None);
  return base + "/vbvb55.php?" + proof.query;
}

}  // namespace milka::site::testing
