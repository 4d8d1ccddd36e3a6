// A window that draws elsewhere gets the whole form first, then only what changed.
#include "play/form_changes.h"

#include <gtest/gtest.h>

#include "play_fakes.h"

namespace milka::play {
namespace {

using testing::count;

TEST(FormChanges, TheWholeFormFirstThenOnlyWhatChangedAndEverythingAgainAfterForgetting) {
  Form form = designForm();
  FormChanges changes;
  const std::string first = changes.since(form);
  // The window's own caption, every label's and every button's.
  EXPECT_EQ(count(first, "{\"caption\":"), 1 + kLabelCount + kCommandCount);
  EXPECT_EQ(count(first, "\"kind\":"), kImageCount);
  EXPECT_EQ(count(first, "\"text\":"), 2u);
  EXPECT_EQ(changes.since(form), "{}") << "nothing changed, nothing said";

  form.label(27).caption = "名前は\"ミルカ\"\n";
  form.image(21).left = 1234.5f;
  const std::string next = changes.since(form);
  EXPECT_EQ(next.rfind("{\"labels\":{\"27\":{\"caption\":\"名前は\\\"ミルカ\\\"\\u000a\",", 0), 0u)
      << next;
  EXPECT_NE(next.find(",\"images\":{\"21\":{\"x\":1234.5,"), std::string::npos) << next;
  EXPECT_EQ(count(next, "{\"caption\":") + count(next, "\"kind\":"), 2u) << "only those two";

  changes.forget();
  EXPECT_EQ(count(changes.since(form), "{\"caption\":"), 1 + kLabelCount + kCommandCount);
}

}  // namespace
}  // namespace milka::play
