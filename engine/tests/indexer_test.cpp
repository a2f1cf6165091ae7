// @brief Submissions through the operations: add, replace, delete, skipped pages, listing.
#include "indexer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "page_file.h"
#include "progress.h"

#include "store.h"
#include "toolkit_fixture.h"

namespace dizode {
namespace {

using testing::Row;
using testing::ShiftMtime;
using testing::TempDir;
using testing::Toolkit;
using testing::WriteFile;
using testing::WritePage;

class SubmitTest : public ::testing::Test {
 protected:
  TempDir m_dir;
  Toolkit m_toolkit{m_dir / "coll"};
};

TEST_F(SubmitTest, AddListsEveryPageInKeyOrderWithTitles) {
  std::string b = WritePage(m_dir, "b.htm", "Bravo page", "second");
  std::string a = WritePage(m_dir, "a.htm", "Alpha page", "first");
  ASSERT_TK_OK(m_toolkit.Submit(TK_SUBMIT_ADD, {b, a}));
  EXPECT_EQ(m_toolkit.List(), (std::vector<Row>{{"0", a, "Alpha page"}, {"0", b, "Bravo page"}}));
}

TEST_F(SubmitTest, KeysComeBackByteForByte) {
  std::string odd = WritePage(m_dir, "Mixed Case \xC3\xA9t\xC3\xA9 #1.HTM", "T", "x");
  std::string latin = WritePage(m_dir, "caf\xE9.htm", "T", "x");  // not valid UTF-8
  ASSERT_TK_OK(m_toolkit.Submit(TK_SUBMIT_ADD, {odd, latin}));
  std::vector<std::string> keys = m_toolkit.Keys();
  std::sort(keys.begin(), keys.end());
  std::vector<std::string> expected{odd, latin};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(keys, expected);
}

TEST_F(SubmitTest, AddingAgainReplacesTheRow) {
  std::string page = WritePage(m_dir, "a.htm", "Old title", "oldword");
  ASSERT_TK_OK(m_toolkit.Submit(TK_SUBMIT_ADD, {page}));
  WritePage(m_dir, "a.htm", "New title", "newword");
  ASSERT_TK_OK(m_toolkit.Submit(TK_SUBMIT_ADD, {page, page}));
  EXPECT_EQ(m_toolkit.List(), (std::vector<Row>{{"0", page, "New title"}}));
  EXPECT_TRUE(m_toolkit.FindKeys("oldword").empty());
  EXPECT_EQ(m_toolkit.FindKeys("newword"), std::vector<std::string>{page});
}

TEST_F(SubmitTest, DeleteRemovesRowsAndIgnoresUnknownKeys) {
  std::string a = WritePage(m_dir, "a.htm", "A", "shared alpha");
  std::string b = WritePage(m_dir, "b.htm", "B", "shared bravo");
  ASSERT_TK_OK(m_toolkit.Submit(TK_SUBMIT_ADD, {a, b}));
  ASSERT_TK_OK(m_toolkit.Submit(TK_SUBMIT_DELETE, {a, m_dir / "never-added.htm"}));
  EXPECT_EQ(m_toolkit.Keys(), std::vector<std::string>{b});
  EXPECT_EQ(m_toolkit.FindKeys("shared"), std::vector<std::string>{b});
  EXPECT_TRUE(m_toolkit.FindKeys("alpha").empty());
}

TEST_F(SubmitTest, LargeDeletionLeavesAConsistentIndex) {
  std::vector<std::string> pages;
  pages.reserve(300);
  for (int i = 0; i < 300; ++i)
    pages.push_back(WritePage(m_dir, "p" + std::to_string(i) + ".htm", "P", "common text"));
  ASSERT_TK_OK(m_toolkit.Submit(TK_SUBMIT_ADD, pages));
  std::vector<std::string> gone(pages.begin(), pages.begin() + 250);
  ASSERT_TK_OK(m_toolkit.Submit(TK_SUBMIT_DELETE, gone));
  EXPECT_EQ(m_toolkit.FindKeys("common").size(), 50u);
  auto store = Store::Open(m_dir / "coll");
  store->db().Exec("INSERT INTO fts(fts) VALUES('integrity-check')", "integrity");
}

// Page ids are reused once the highest one is deleted: a full-text row a deletion left behind
// would make the next addition collide or inherit the dead page's words.
TEST_F(SubmitTest, FullTextRowsFollowThePagesThroughDeletesChangesAndAdds) {
  auto page = [&](const char* name, const char* word) {
    return WritePage(m_dir, name, name, std::string(word) + " common");
  };
  std::string a = page("a.htm", "alphaword"), b = page("b.htm", "bravoword");
  std::string c = page("c.htm", "charlieword");
  ASSERT_TK_OK(m_toolkit.Submit(TK_SUBMIT_ADD, {a, b, c}));
  ASSERT_TK_OK(m_toolkit.Submit(TK_SUBMIT_DELETE, {c}));
  std::string d = page("d.htm", "deltaword");
  ASSERT_TK_OK(m_toolkit.Submit(TK_SUBMIT_ADD, {d}));  // takes the deleted page's id
  page("b.htm", "changedword");
  ShiftMtime(b, 5);
  ASSERT_TK_OK(m_toolkit.Submit(TK_SUBMIT_ADD, {b}));
  ASSERT_TK_OK(m_toolkit.Submit(TK_SUBMIT_DELETE, {a}));
  std::string e = page("e.htm", "echoword");
  ASSERT_TK_OK(m_toolkit.Submit(TK_SUBMIT_ADD, {e}));

  for (const char* gone : {"alphaword", "bravoword", "charlieword"})
    EXPECT_TRUE(m_toolkit.FindKeys(gone).empty()) << gone;
  EXPECT_EQ(m_toolkit.FindKeys("deltaword"), std::vector<std::string>{d});
  EXPECT_EQ(m_toolkit.FindKeys("changedword"), std::vector<std::string>{b});
  EXPECT_EQ(m_toolkit.FindKeys("common").size(), 3u);

  auto store = Store::Open(m_dir / "coll");
  store->db().Exec("INSERT INTO fts(fts) VALUES('integrity-check')", "integrity");
  Stmt counts(store->db().get(),
              "SELECT (SELECT count(*) FROM pages), (SELECT count(*) FROM fts),"
              " (SELECT count(*) FROM pages WHERE id NOT IN (SELECT rowid FROM fts)),"
              " (SELECT count(*) FROM fts WHERE rowid NOT IN (SELECT id FROM pages))");
  ASSERT_TRUE(counts.Step());
  EXPECT_EQ(counts.Int(0), 3);
  EXPECT_EQ(counts.Int(1), 3);
  EXPECT_EQ(counts.Int(2), 0) << "pages without a full-text row";
  EXPECT_EQ(counts.Int(3), 0) << "full-text rows without a page";
}

TEST_F(SubmitTest, UnreadablePageIsKeptWithoutTextUnderItsFileName) {
  std::string good = WritePage(m_dir, "good.htm", "Good", "findme");
  std::string missing = m_dir / "missing.htm";
  std::string folder = m_dir / "folder.htm";
  ASSERT_TRUE(std::filesystem::create_directory(folder));
  ASSERT_TK_OK(m_toolkit.Submit(TK_SUBMIT_ADD, {good, missing, folder}));
  EXPECT_EQ(m_toolkit.List(),
            (std::vector<Row>{
                {"0", folder, "folder.htm"}, {"0", good, "Good"}, {"0", missing, "missing.htm"}}));
  // Once the page appears, the next listing indexes it.
  WritePage(m_dir, "missing.htm", "Found later", "latecomer");
  EXPECT_EQ(m_toolkit.List()[2], (Row{"0", missing, "Found later"}));
  EXPECT_EQ(m_toolkit.FindKeys("latecomer"), std::vector<std::string>{missing});
}

TEST_F(SubmitTest, BinaryPageIsSkipped) {
  std::string blob = m_dir / "blob.htm";
  WriteFile(blob, std::string("\x7F"
                              "ELF\0\0\0\0binary",
                              14));
  ASSERT_TK_OK(m_toolkit.Submit(TK_SUBMIT_ADD, {blob}));
  EXPECT_EQ(m_toolkit.List(), (std::vector<Row>{{"0", blob, "blob.htm"}}));
  EXPECT_TRUE(m_toolkit.FindKeys("binary").empty());
}

TEST_F(SubmitTest, PagesWithAStrayNulOrInUtf16WithoutAMarkAreRead) {
  std::string stray = m_dir / "stray.htm";
  WriteFile(stray, std::string("<title>Stray</title><p>before\0after</p>", 39));
  std::string wide = m_dir / "wide.htm";
  std::string utf16;
  for (char c : std::string("<title>Wide</title><p>sixteen bits</p>")) utf16 += {c, '\0'};
  WriteFile(wide, utf16);
  ASSERT_TK_OK(m_toolkit.Submit(TK_SUBMIT_ADD, {stray, wide}));
  EXPECT_EQ(m_toolkit.FindKeys("after"), std::vector<std::string>{stray});
  EXPECT_EQ(m_toolkit.FindKeys("sixteen"), std::vector<std::string>{wide});
}

TEST(IndexerTextTest, TitleKeyIsTheTitlesSearchWords) {
  EXPECT_EQ(TitleKey("  Print SETUP \t"), "print setup");
  EXPECT_EQ(TitleKey("\xC3\x89t\xC3\xA9 -- Overview!"), "ete overview");
  EXPECT_EQ(TitleKey("sqlite3_prepare_v2()"), "sqlite3 prepare v2");
}

TEST(IndexerTextTest, IndexedTextAndStoredTitleArePlainText) {
  TempDir dir;
  std::string page = WritePage(dir, "a.htm", "A &lt;b&gt; &amp; c", "x &lt; y");
  {
    Toolkit toolkit(dir / "coll");
    ASSERT_TK_OK(toolkit.Submit(TK_SUBMIT_ADD, {page}));
  }
  auto store = Store::Open(dir / "coll");
  Stmt row(store->db().get(),
           "SELECT p.title, p.titlekey, f.title, f.body FROM pages p JOIN fts f ON f.rowid = p.id");
  ASSERT_TRUE(row.Step());
  EXPECT_EQ(row.Text(0), "A <b> & c");
  EXPECT_EQ(row.Text(1), "a b c");
  EXPECT_EQ(row.Text(2), "A <b> & c");
  EXPECT_EQ(row.Text(3), "x < y");
}

}  // namespace
}  // namespace dizode

namespace dizode {
namespace {

// The text of the links to each page, as the evidence table holds it: page file name → text.
std::map<std::string, std::string> LinkTexts(const Store& store) {
  std::map<std::string, std::string> texts;
  Stmt rows(store.db().get(),
            "SELECT p.key, e.c0 FROM evidence_content e JOIN pages p ON p.id = e.id");
  while (rows.Step()) texts[std::string(FileNameOf(rows.Text(0)))] = rows.Text(1);
  return texts;
}

TEST(LinkEvidenceTest, FollowsThePagesThatLinkAsTheyChangeAndGo) {
  TempDir dir;
  const std::string a = WritePage(dir, "a.htm", "A",
                                  "<a href='b.htm'>Printer setup</a> <a href='./c.htm#x'>setup</a>"
                                  " <a href='missing.htm'>gone</a> <a href='a.htm'>myself</a>");
  const std::string b = WritePage(dir, "b.htm", "B", "<a href='c.htm'>colour</a>");
  const std::string c = WritePage(dir, "c.htm", "C", "no links");
  auto store = Store::Create(dir / "coll", "");
  Progress progress{ProgressSink{}};
  AddPages(*store, {a, b, c}, progress);
  using Texts = std::map<std::string, std::string>;
  EXPECT_EQ(LinkTexts(*store), (Texts{{"b.htm", "Printer setup"}, {"c.htm", "setup colour"}}));

  WritePage(dir, "a.htm", "A", "no more links");
  AddPages(*store, {a}, progress);
  EXPECT_EQ(LinkTexts(*store), (Texts{{"c.htm", "colour"}}));

  DeletePages(*store, {b}, progress);
  EXPECT_EQ(LinkTexts(*store), Texts{});
}

}  // namespace
}  // namespace dizode
