// @brief The status messages a submission sends: start line, counts, skips and fatal errors.
#include "progress.h"

#include <gtest/gtest.h>

#include "store.h"
#include "toolkit_fixture.h"

namespace dizode {
namespace {

using testing::TempDir;
using testing::Toolkit;
using testing::WritePage;

struct Received {
  std::vector<std::string> texts;
  std::vector<uint32_t> kinds;
  std::vector<uint32_t> sequences;
};

void Record(void* context, const TkStatusMessage* message) {
  auto* received = static_cast<Received*>(context);
  received->texts.emplace_back(message->text);
  received->kinds.push_back(message->kind);
  received->sequences.push_back(message->sequence);
}

TEST(ProgressTest, SubmissionFollowsTheMessageProtocol) {
  TempDir dir;
  Received received;
  Toolkit toolkit(dir / "coll", TK_COLLECTION_CREATE, Record, &received);
  std::string a = WritePage(dir, "a.htm", "A", "x");
  std::string b = WritePage(dir, "b.htm", "B", "y");
  ASSERT_TK_OK(toolkit.Submit(TK_SUBMIT_ADD, {b, dir / "gone.htm", a}));
  ASSERT_GE(received.texts.size(), 5u);
  EXPECT_EQ(received.texts[0], "Starting indexing of 3 documents");
  EXPECT_EQ(received.texts[1], "Document 1 (a.htm)");
  EXPECT_EQ(received.texts[2], "Document 2 (b.htm)");
  EXPECT_EQ(received.texts[3], "Document 3 (gone.htm)");
  EXPECT_EQ(received.texts[4].rfind("Skipped gone.htm: cannot be read", 0), 0u)
      << received.texts[4];
  for (size_t i = 0; i < received.texts.size(); ++i) {
    const std::string& text = received.texts[i];
    EXPECT_EQ(received.sequences[i], i + 1);
    EXPECT_NE(text[0], 'E') << "no fatal message in a good submission: " << text;
    if (text[0] == 'D') {
      EXPECT_NE(text.find(" ("), std::string::npos) << text;
    } else if (i > 0 && text[0] != 'I' && text[0] != 'U') {
      EXPECT_EQ(received.kinds[i], static_cast<uint32_t>(TK_MSG_WARNING)) << text;
    }
  }
}

TEST(ProgressTest, StartLineIsNeverMistakenForAnotherKind) {
  for (size_t count : {0u, 1u, 250u}) {
    Received received;
    Progress progress({Record, &received, TK_MSG_ALL});
    progress.Start(count);
    progress.StartRemoval(count);
    ASSERT_EQ(received.texts.size(), 2u);
    for (const std::string& text : received.texts)
      EXPECT_EQ(std::string("DEIU").find(text[0]), std::string::npos) << text;
  }
}

TEST(ProgressTest, MaskSelectsKinds) {
  Received received;
  Progress progress({Record, &received, TK_MSG_DOCUMENT | TK_MSG_ERROR});
  progress.Start(2);
  progress.Document(1, "a.htm");
  progress.Skipped("a.htm", "cannot be read");
  progress.Update("index");
  progress.Error("disk full");
  EXPECT_EQ(received.texts, (std::vector<std::string>{"Document 1 (a.htm)", "Error: disk full"}));
  EXPECT_EQ(received.sequences, (std::vector<uint32_t>{1, 2}));
}

TEST(ProgressTest, WriteFailureSendsErrorFailsAndRollsBack) {
  TempDir dir;
  Received received;
  Toolkit toolkit(dir / "coll", TK_COLLECTION_CREATE, Record, &received);
  std::string kept = WritePage(dir, "kept.htm", "Kept", "x");
  ASSERT_TK_OK(toolkit.Submit(TK_SUBMIT_ADD, {kept}));
  {
    // Another writer's rule makes the database refuse the second page's row.
    auto other = Store::Open(dir / "coll");
    other->db().Exec(
        "CREATE TRIGGER refuse BEFORE INSERT ON pages WHEN NEW.key LIKE '%/b.htm' "
        "BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END",
        "trigger");
  }
  received = {};
  std::string a = WritePage(dir, "a.htm", "A", "x");
  std::string b = WritePage(dir, "b.htm", "B", "y");
  EXPECT_NE(toolkit.Submit(TK_SUBMIT_ADD, {a, b}), TK_OK);
  ASSERT_FALSE(received.texts.empty());
  EXPECT_EQ(received.texts.back()[0], 'E') << received.texts.back();
  EXPECT_NE(received.texts.back(), "Error");
  EXPECT_EQ(received.kinds.back(), static_cast<uint32_t>(TK_MSG_ERROR));
  EXPECT_EQ(toolkit.Keys(), std::vector<std::string>{kept}) << "a.htm was rolled back";
}

}  // namespace
}  // namespace dizode
