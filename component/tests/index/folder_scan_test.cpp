// Tests of the help folder scan on real folders.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "component/com/vivevi_vadiro.h"
#include "component/index/folder_listing.h"
#include "component/index/folder_scan.h"
#include "component/index/submit_args.h"
#include "component/tests/support/component_fixture.h"
#include "component/tests/support/listing_faults.h"
#include "component/tests/support/temp_folder.h"
#include "component/toolkit/toolkit_error.h"
#include "winport/owners.h"

namespace {

std::vector<std::string> Keys(const DocumentSet& set) { return {set.begin(), set.end()}; }

// Makes a folder the current directory for one scope.
class CurrentDirectory {
 public:
  explicit CurrentDirectory(const std::filesystem::path& folder)
      : m_previous(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~CurrentDirectory() { std::filesystem::current_path(m_previous); }

 private:
  std::filesystem::path m_previous;
};

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

TEST(FolderScanTest, AMissingHelpFolderOrAnEmptyPathRaises) {
  TempFolder temp;
  temp.Write("f.txt");
  DocumentSet docs;
  const std::string sNotFound = SystemErrorText(ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(ErrorOf([&] { ScanHelpFolder(temp.Path().string() + "/Missing", docs, true); }),
            sNotFound);
  EXPECT_EQ(ErrorOf([&] { ScanHelpFolder(temp.Path().string() + "/f.txt/Help", docs, true); }),
            sNotFound);
  EXPECT_TRUE(docs.empty());
  // Not the root of the file system.
  EXPECT_EQ(ErrorOf([&] { ScanHelpFolder("", docs, true); }), SystemErrorText(ERROR_INVALID_NAME));
}

// The process's current directory belongs to the host and to every other
// thread: the scan lists each folder by its full path and never moves it.
TEST(FolderScanTest, NeverChangesTheCurrentDirectoryAndScansARelativeFolder) {
  TempFolder temp;
  temp.Write("Help/top.htm");
  temp.Write("Help/sub/deep/a.htm");
  const auto before = std::filesystem::current_path();
  int nListings = 0;
  ListingFault previous = ReplaceListingFault([&](const std::string& sFolder, size_t nEntries) {
    nListings += nEntries == 0 ? 1 : 0;
    EXPECT_EQ(std::filesystem::current_path(), before) << sFolder;
    return ERROR_SUCCESS;
  });
  DocumentSet docs;
  ScanHelpFolder(temp.Path().string() + "/Help", docs, true);
  ReplaceListingFault(std::move(previous));
  EXPECT_EQ(nListings, 3);
  EXPECT_EQ(docs.size(), 2u);

  CurrentDirectory inTemp(temp.Path());
  DocumentSet relative;
  ScanHelpFolder("Help", relative, true);
  EXPECT_EQ(Keys(relative), (std::vector<std::string>{"Help/sub/deep/a.htm", "Help/top.htm"}));
  EXPECT_EQ(std::filesystem::current_path(), temp.Path());
}

TEST(FolderScanTest, TwoComponentsScanningOnTwoThreadsEachGetTheirOwnPages) {
  TempFolder temp;
  DocumentSet expected[2];
  for (int i = 0; i < 6; ++i) {
    const std::string sName = "sub" + std::to_string(i) + "/p" + std::to_string(i) + ".htm";
    temp.Write("A/Help/" + sName);
    temp.Write("B/Help/" + sName);
    expected[0].insert(temp.Path().string() + "/A/Help/" + sName);
    expected[1].insert(temp.Path().string() + "/B/Help/" + sName);
  }
  std::atomic<int> nWrong{0};
  auto scan = [&](int n) {
    winport::ComPtr<ViveviVadiro> component(new ViveviVadiro);
    const std::string sHelp = temp.Path().string() + (n == 0 ? "/A/Help" : "/B/Help");
    for (int round = 0; round < 150; ++round) {
      SubmitRecord record;
      if (!ErrorOf([&] { component->ScanIntoSubmitArgs(record, sHelp, true, 10); }).empty() ||
          component->Docs() != expected[n]) {
        ++nWrong;
      }
    }
  };
  std::thread a(scan, 0);
  std::thread b(scan, 1);
  a.join();
  b.join();
  EXPECT_EQ(nWrong.load(), 0);
}

// A folder that cannot be listed is not an empty folder: an update that took
// it for one would delete every page in it. Only a folder that vanished
// since its parent was listed holds nothing; a folder that can never be
// listed (a link loop, a path too long) is left out and reported.
TEST(FolderScanFailureTest, EachListingFailureOfASubfolderFailsTheScanOrLeavesTheFolderOut) {
  struct Case {
    DWORD dwError;
    bool bRaises;
    bool bReported;
  } cases[] = {
      {ERROR_ACCESS_DENIED, true, false},        {ERROR_TOO_MANY_OPEN_FILES, true, false},
      {ERROR_NOT_ENOUGH_MEMORY, true, false},    {ERROR_PATH_NOT_FOUND, false, false},
      {ERROR_FILE_NOT_FOUND, false, false},      {ERROR_CANT_RESOLVE_FILENAME, false, true},
      {ERROR_FILENAME_EXCED_RANGE, false, true},
  };
  TempFolder temp;
  temp.Write("Help/top.htm");
  temp.Write("Help/bad/inner.htm");
  temp.Write("Help/bad/deeper/more.htm");
  const std::string root = temp.Path().string() + "/Help";
  for (const Case& c : cases) {
    ListingFaults faults;
    faults.Fail(root + "/bad", c.dwError);
    DocumentSet docs;
    std::vector<std::string> reports;
    const std::string sMessage = ErrorOf([&] {
      ScanHelpFolder(root, docs, true, [&](const std::string& s) { reports.push_back(s); });
    });
    EXPECT_EQ(sMessage, c.bRaises ? SystemErrorText(c.dwError) : "") << c.dwError;
    if (!c.bRaises) {
      EXPECT_EQ(Keys(docs), (std::vector<std::string>{root + "/top.htm"})) << c.dwError;
    }
    ASSERT_EQ(reports.size(), c.bReported ? 1u : 0u) << c.dwError;
    if (c.bReported) {
      EXPECT_EQ(reports[0].rfind("Skipped " + root + "/bad: ", 0), 0u) << reports[0];
      EXPECT_EQ(reports[0].find('\n'), std::string::npos) << reports[0];
    }
  }
}

TEST(FolderScanFailureTest, TheHelpFolderItselfIsNeverLeftOut) {
  TempFolder temp;
  temp.Write("Help/top.htm");
  const std::string root = temp.Path().string() + "/Help";
  for (DWORD dwError : {ERROR_ACCESS_DENIED, ERROR_CANT_RESOLVE_FILENAME}) {
    ListingFaults faults;
    faults.Fail(root, dwError);
    DocumentSet docs;
    std::vector<std::string> reports;
    EXPECT_EQ(ErrorOf([&] {
                ScanHelpFolder(root, docs, true,
                               [&](const std::string& s) { reports.push_back(s); });
              }),
              SystemErrorText(dwError));
    EXPECT_TRUE(reports.empty());
  }
}

TEST(FolderScanFailureTest, AFolderThatCanBeEnteredButNotReadFailsTheScan) {
  if (geteuid() == 0) {
    GTEST_SKIP() << "permissions do not restrict the superuser; the injected listing failures "
                    "above cover this road";
  }
  TempFolder temp;
  temp.Write("Help/top.htm");
  temp.Write("Help/locked/inner.htm");
  const std::filesystem::path locked = temp.Path() / "Help/locked";
  std::filesystem::permissions(locked, static_cast<std::filesystem::perms>(0311));
  DocumentSet docs;
  const std::string sMessage =
      ErrorOf([&] { ScanHelpFolder(temp.Path().string() + "/Help", docs, true); });
  std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
  EXPECT_EQ(sMessage, SystemErrorText(ERROR_ACCESS_DENIED));
}

// Uses up every file descriptor the process may open, scans root and ends
// the process: status 0 when the scan raised the system's text for it.
[[noreturn]] void ScanWithNoDescriptorLeft(const std::string& root) {
  const rlimit limit{64, 64};
  setrlimit(RLIMIT_NOFILE, &limit);
  while (open("/dev/null", O_RDONLY) >= 0) {
  }
  DocumentSet docs;
  const std::string sMessage = ErrorOf([&] { ScanHelpFolder(root, docs, true); });
  std::_Exit(sMessage == SystemErrorText(ERROR_TOO_MANY_OPEN_FILES) ? 0 : 1);
}

TEST(FolderScanFailureTest, RunningOutOfFileDescriptorsFailsTheScan) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizers' runtime needs descriptors of its own in the starved child";
#endif
  TempFolder temp;
  temp.Write("Help/a.htm");
  const std::string root = temp.Path().string() + "/Help";
  // In a child process: the limit and the used-up descriptors stay there.
  EXPECT_EXIT(ScanWithNoDescriptorLeft(root), ::testing::ExitedWithCode(0), "");
}

TEST(FolderScanFailureTest, LinksBackToAFolderAboveAreLeftOutAndReported) {
  TempFolder temp;
  temp.Write("Help/top.htm");
  temp.Write("Help/sub/a.htm");
  std::filesystem::create_directory_symlink("..", temp.Path() / "Help/sub/up");
  std::filesystem::create_directory_symlink(".", temp.Path() / "Help/self");
  std::filesystem::create_directory_symlink(temp.Path() / "Help/sub", temp.Path() / "Help/also");
  const std::string root = temp.Path().string() + "/Help";
  DocumentSet docs;
  std::vector<std::string> reports;
  ScanHelpFolder(root, docs, true, [&](const std::string& s) { reports.push_back(s); });
  // A link to a folder elsewhere is followed; a link back is not.
  EXPECT_EQ(Keys(docs), (std::vector<std::string>{root + "/also/a.htm", root + "/sub/a.htm",
                                                  root + "/top.htm"}));
  std::sort(reports.begin(), reports.end());
  EXPECT_EQ(reports, (std::vector<std::string>{
                         "Skipped " + root + "/also/up: it leads back to a folder above it",
                         "Skipped " + root + "/self: it leads back to a folder above it",
                         "Skipped " + root + "/sub/up: it leads back to a folder above it"}));
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
