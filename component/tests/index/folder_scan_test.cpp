// Tests of the help folder scan on real folders.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "component/index/folder_scan.h"
#include "component/index/submit_args.h"
#include "component/tests/support/temp_folder.h"
#include "component/toolkit/toolkit_error.h"

namespace {

std::vector<std::string> Keys(const DocumentSet& set) { return {set.begin(), set.end()}; }

TEST(FolderScanTest, TakesHtmAndHtmlPagesInAnyCaseOnly) {
  TempFolder temp;
  for (const char* name : {"Index.HTM", "a.Html", "b.htm", "c.shtml", "d.htm~", "e.htmls", "f.txt",
                           "g.", "HTML", "htm", ".htm", "x.y.htm"}) {
    temp.Write(std::string("Help/") + name);
  }
  const std::string root = temp.Path().string() + "/Help";
  DocumentSet docs;
  ScanHelpFolder(root, docs, true);
  EXPECT_EQ(Keys(docs), (std::vector<std::string>{
                            root + "/.htm", root + "/HTML", root + "/Index.HTM", root + "/a.Html",
                            root + "/b.htm", root + "/htm", root + "/x.y.htm"}));
}

TEST(FolderScanTest, ScansEverySubfolderAndNeverTakesAFolderAsAPage) {
  TempFolder temp;
  temp.Write("Help/top.htm");
  temp.Write("Help/x.htm/inner.htm");
  temp.Write("Help/tags/deep/page.html");
  std::filesystem::create_directories(temp.Path() / "Help/empty");
  const std::string root = temp.Path().string() + "/Help";
  DocumentSet docs;
  ScanHelpFolder(root, docs, true);
  EXPECT_EQ(Keys(docs), (std::vector<std::string>{root + "/tags/deep/page.html", root + "/top.htm",
                                                  root + "/x.htm/inner.htm"}));
}

TEST(FolderScanTest, WithoutSubfoldersTakesTheTopFolderOnly) {
  TempFolder temp;
  temp.Write("Help/top.htm");
  temp.Write("Help/sub/below.htm");
  const std::string root = temp.Path().string() + "/Help";
  DocumentSet docs;
  ScanHelpFolder(root, docs, false);
  EXPECT_EQ(Keys(docs), (std::vector<std::string>{root + "/top.htm"}));
}

TEST(FolderScanTest, KeepsTheFolderTextAsGivenAndAddsToTheSet) {
  TempFolder temp;
  temp.Write("Help/a.htm");
  const std::string root = temp.Path().string() + "/Help/";  // trailing separator kept
  DocumentSet docs = {"earlier", root + "/a.htm"};
  ScanHelpFolder(root, docs, true);
  EXPECT_EQ(Keys(docs), (std::vector<std::string>{root + "/a.htm", "earlier"}));
}

TEST(FolderScanTest, MissingFolderRaisesTheSystemTextAndRestoresTheCurrentDirectory) {
  TempFolder temp;
  temp.Write("Help/a.htm");
  const auto before = std::filesystem::current_path();
  DocumentSet docs;
  try {
    ScanHelpFolder(temp.Path().string() + "/Missing", docs, true);
    FAIL() << "no error raised";
  } catch (const ToolkitError& error) {
    // The system's own text, unchanged: not found, as a file or as a path.
    EXPECT_TRUE(error.Message() == SystemErrorText(ERROR_FILE_NOT_FOUND) ||
                error.Message() == SystemErrorText(ERROR_PATH_NOT_FOUND))
        << error.Message();
  }
  EXPECT_TRUE(docs.empty());
  EXPECT_EQ(std::filesystem::current_path(), before);
}

TEST(FolderScanTest, RestoresTheCurrentDirectoryAfterASuccessfulScan) {
  TempFolder temp;
  temp.Write("Help/sub/a.htm");
  const auto before = std::filesystem::current_path();
  DocumentSet docs;
  ScanHelpFolder(temp.Path().string() + "/Help", docs, true);
  EXPECT_EQ(docs.size(), 1u);
  EXPECT_EQ(std::filesystem::current_path(), before);
}

TEST(LowerCaseCopyTest, LowersAsciiLettersOnlyInPlace) {
  std::string text = "HtM\xC3\x89Z-9";
  EXPECT_EQ(LowerCaseCopy(text), "htm\xC3\x89z-9");
  EXPECT_EQ(text, "htm\xC3\x89z-9");
}

TEST(SubmitArgsTest, BuildsOneBufferPerKeyInSetOrder) {
  const DocumentSet docs = {"/h/b.htm", "/h/a.htm", "/h/c.htm"};
  SubmitRecord record;
  ASSERT_TRUE(record.Fill(3, docs));
  const TkSubmitArgs& args = record.Args();
  EXPECT_EQ(args.size, sizeof(TkSubmitArgs));
  EXPECT_EQ(args.version, 576);
  EXPECT_EQ(args.operation, 3u);
  EXPECT_EQ(args.count, 3);
  EXPECT_EQ(args.param16, 10u);
  ASSERT_NE(args.keys, nullptr);
  EXPECT_STREQ(args.keys[0], "/h/a.htm");
  EXPECT_STREQ(args.keys[1], "/h/b.htm");
  EXPECT_STREQ(args.keys[2], "/h/c.htm");
  EXPECT_NE(args.keys[0], args.keys[1]);
  record.Clear();
  EXPECT_EQ(record.Args().keys, nullptr);
  record.Clear();  // a second free finds nothing to free
}

TEST(SubmitArgsTest, AnEmptySetGivesCountZero) {
  SubmitRecord record;
  record.Fill(2, {});
  EXPECT_EQ(record.Args().count, 0);
  EXPECT_EQ(record.Args().operation, 2u);
}

TEST(SubmitArgsTest, AFillReplacesTheKeysOfAnEarlierOneAndAnEmptyKeyArrayIsNotNull) {
  SubmitRecord record;
  record.Fill(2, {"/h/a.htm", "/h/b.htm"});
  record.Fill(3, {"/h/c.htm"});
  EXPECT_EQ(record.Args().operation, 3u);
  ASSERT_EQ(record.Args().count, 1);
  EXPECT_STREQ(record.Args().keys[0], "/h/c.htm");
  record.Fill(2, {});
  EXPECT_EQ(record.Args().count, 0);
  EXPECT_NE(record.Args().keys, nullptr);
}

}  // namespace
