// The entry's journal, as every window sends it: tied to the token pdf.php answered, sent only
// once that answer is in the journal, and the entry's navigation going on whatever the site says.
#include "play/entry_upload.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace milka::play {
namespace {

// The outside world, answered by the test when it likes.
class HeldPort final : public OnlinePort {
 public:
  void fetch(const std::string& url, std::function<void(std::string)> done) override {
    fetches.push_back({url, std::move(done)});
  }
  void navigate(const std::string& url, std::function<void(std::string)>) override {
    navigations.push_back(url);
  }
  void openUrl(const std::string&) override {}
  struct Fetch {
    std::string url;
    std::function<void(std::string)> done;
  };
  std::vector<Fetch> fetches;
  std::vector<std::string> navigations;
};

// Packs by marking the bytes, and holds every post for the test to answer.
class HeldLink final : public UploadLink {
 public:
  void post(const std::string& url, std::string body, Posted done) override {
    posts.push_back({url, std::move(body), std::move(done)});
  }
  void compress(std::string bytes, std::function<void(std::string)> done) override {
    done(packs ? "packed:" + bytes : std::string());
  }
  struct Post {
    std::string url, body;
    Posted done;
  };
  std::vector<Post> posts;
  bool packs = true;
};

constexpr const char* kBase = "http://127.0.0.1:8080";
const std::string kEntry = std::string(kBase) + "/vbvb55.php?t0kmilk%3E0";

// The game's closing A: the token is fetched, and in its answer the entry is asked for.
struct Closing {
  HeldPort port;
  HeldLink link;
  EntryUpload upload{port, link};
  std::string journal = "the career";
  bool seeded = true;
  std::vector<EntryOutcome> outcomes;

  Closing() {
    upload.setJournal([this] { return EntryUpload::Journal{journal, seeded}; });
    upload.setUploaded([this](const EntryOutcome& o) { outcomes.push_back(o); });
  }
  void pressA(const std::string& token) {
    upload.fetch(std::string(kBase) + "/pdf.php", [this](const std::string& text) {
      upload.navigate(kEntry, nullptr);
      // As the session does: the answer's record lands after its handler has run.
      journal += "+" + text;
    });
    port.fetches.back().done(token);
  }
};

TEST(EntryUpload, WhateverBecomesOfTheJournalTheEntryGoesOnAndTheOutcomeSaysWhy) {
  struct Case {
    const char* what;
    std::string token;
    bool seeded, packs;
    size_t journalSize;
    bool posted;
    int status;
    const char* answer;
    bool fromServer;
    EntryOutcome::Kind kind;
    const char* reason;
  } cases[] = {
      {"checked", "t0k", true, true, 0, true, 200, "記録を確かめました。", true,
       EntryOutcome::Checked, ""},
      {"refused", "t0k", true, true, 0, true, 400, "名前が違います", true, EntryOutcome::Refused,
       "名前が違います"},
      {"refused, no reason", "t0k", true, true, 0, true, 400, "", true, EntryOutcome::Refused, ""},
      {"busy", "t0k", true, true, 0, true, 503, "混雑中", true, EntryOutcome::NotSent, ""},
      {"no answer in time", "t0k", true, true, 0, true, 0, "", false, EntryOutcome::NotSent, ""},
      {"a 200 not of the server", "t0k", true, true, 0, true, 200, "", false, EntryOutcome::NotSent,
       ""},
      {"unseeded", "t0k", false, true, 0, true, 400, "種がありません", true, EntryOutcome::Refused,
       "種がありません"},
      {"no token", "", true, true, 0, false, 0, "", false, EntryOutcome::NotSent, ""},
      {"too big", "t0k", true, true, EntryUpload::kBodyLimit, false, 0, "", false,
       EntryOutcome::NotSent, ""},
      {"not packed", "t0k", true, false, 0, false, 0, "", false, EntryOutcome::NotSent, ""},
  };
  for (const Case& c : cases) {
    Closing g;
    g.seeded = c.seeded;
    g.link.packs = c.packs;
    g.journal.resize(std::max(g.journal.size(), c.journalSize), 'j');
    const std::string before = g.journal;
    g.pressA(c.token);
    ASSERT_EQ(g.link.posts.size(), c.posted ? 1u : 0u) << c.what;
    if (c.posted) {
      EXPECT_EQ(g.link.posts[0].url, std::string(kBase) + "/journal.php?" + c.token) << c.what;
      EXPECT_EQ(g.link.posts[0].body, "packed:" + before + "+" + c.token)
          << c.what << ": the journal holds the token's answer";
      EXPECT_TRUE(g.port.navigations.empty()) << c.what << ": the entry waits for the site";
      EXPECT_EQ(g.upload.pending(), 1) << c.what;
      g.link.posts[0].done(c.status, c.answer, c.fromServer);
    }
    ASSERT_EQ(g.outcomes.size(), 1u) << c.what;
    EXPECT_EQ(g.outcomes[0].kind, c.kind) << c.what;
    EXPECT_EQ(g.outcomes[0].reason, c.reason) << c.what;
    EXPECT_EQ(g.outcomes[0].seeded, c.seeded) << c.what;
    EXPECT_EQ(g.port.navigations, std::vector<std::string>{kEntry}) << c.what;
    EXPECT_EQ(g.upload.pending(), 0) << c.what;
  }
}

TEST(EntryUpload, EverythingButTheEntryPassesStraightThrough) {
  Closing g;
  g.upload.navigate(std::string(kBase) + "/karuden/", nullptr);
  std::string got;
  g.upload.fetch(std::string(kBase) + "/seed.php", [&](std::string text) { got = text; });
  g.port.fetches.back().done("abc");
  EXPECT_EQ(got, "abc");
  EXPECT_EQ(g.port.navigations, std::vector<std::string>{std::string(kBase) + "/karuden/"});
  EXPECT_TRUE(g.link.posts.empty());
  EXPECT_TRUE(g.outcomes.empty());
}

TEST(EntryUpload, AnAnswerAfterTheUploadIsGoneChangesNothing) {
  HeldPort port;
  HeldLink link;
  std::vector<EntryOutcome> outcomes;
  {
    EntryUpload upload(port, link);
    upload.setJournal([] { return EntryUpload::Journal{"j", true}; });
    upload.setUploaded([&](const EntryOutcome& o) { outcomes.push_back(o); });
    upload.fetch(std::string(kBase) + "/pdf.php",
                 [&](const std::string&) { upload.navigate(kEntry, nullptr); });
    port.fetches.back().done("t0k");
    ASSERT_EQ(link.posts.size(), 1u);
  }
  link.posts[0].done(200, "ok", true);
  EXPECT_TRUE(outcomes.empty());
  EXPECT_TRUE(port.navigations.empty());
}

TEST(EntryUpload, TheJournalGoesToTheEntrysOwnSiteTiedToTheTokenAsSent) {
  struct Case {
    const char* entry;
    const char* token;
    const char* journal;
  } cases[] = {
      {"http://127.0.0.1:8080/vbvb55.php?abc", "t0k", "http://127.0.0.1:8080/journal.php?t0k"},
      {"https://milka.example.org/game/vbvb55.php?x#top", "a&b=c d",
       "https://milka.example.org/game/journal.php?a%26b%3Dc%20d"},
      {"http://h/vbvb55.php", "トークン",
       "http://h/journal.php?%E3%83%88%E3%83%BC%E3%82%AF%E3%83%B3"},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(EntryUpload::isEntry(c.entry)) << c.entry;
    EXPECT_EQ(EntryUpload::journalUrl(c.entry, c.token), c.journal) << c.entry;
  }
  EXPECT_FALSE(EntryUpload::isEntry("http://h/karuden/?vbvb55.php"));
  EXPECT_FALSE(EntryUpload::isEntry("http://h/vbvb55.php.bak"));
}

TEST(EntryUpload, TheSitesReasonIsShownAsOneShortLineOfText) {
  const std::string longReason(300, 'x');
  struct Case {
    const char* what;
    std::string body;
    std::string shown;
  } cases[] = {
      {"plain", "名前が違います", "名前が違います"},
      {"control characters", "時刻が\x01\x1b[31m違います\r\n", "時刻が [31m違います"},
      {"spaces of every kind", "\t 記録が\u3000\u3000読めません \u00a0", "記録が 読めません"},
      {"format characters", "右\u202e左\u200bへ", "右 左 へ"},
      {"broken text", "壊\xff\xfeれた\xe3\x81", "壊 れた"},
      {"too long", longReason, std::string(119, 'x') + "…"},
      {"long, wide characters", std::string(100, 'y') + std::string(30, 'z') + "\U0001F40E",
       std::string(100, 'y') + std::string(19, 'z') + "…"},
  };
  for (const Case& c : cases) EXPECT_EQ(EntryUpload::reasonFrom(c.body), c.shown) << c.what;
}

}  // namespace
}  // namespace milka::play
