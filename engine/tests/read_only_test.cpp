// @brief A collection the engine may not write (an installed application's prebuilt index) is
// searched as it stands, and every submission is refused without touching its files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "store.h"
#include "toolkit_fixture.h"

namespace dizode {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;
using testing::Toolkit;
using testing::WritePage;

// Every file of the folder with its bytes.
std::map<std::string, std::string> Snapshot(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    std::ifstream in(entry.path(), std::ios::binary);
    files[entry.path().filename().string()] = std::string(std::istreambuf_iterator<char>(in), {});
  }
  return files;
}

class ReadOnlyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_page = WritePage(m_dir, "a.htm", "Printing", "how to print a page");
    m_other = WritePage(m_dir, "b.htm", "Other", "unrelated words");
    Toolkit creator(m_folder);
    ASSERT_TK_OK(creator.Submit(TK_SUBMIT_ADD, {m_page}));
  }

  // Searches work, refreshes answer, and submissions are refused with nothing written: not
  // even a log or shared index beside the file while it is open.
  void CheckReadOnly() {
    const auto before = Snapshot(m_folder);
    Toolkit reader(m_folder, TK_COLLECTION_OPEN);
    ASSERT_TK_OK(reader.openStatus());
    EXPECT_EQ(Snapshot(m_folder), before);
    EXPECT_EQ(reader.FindKeys("print"), std::vector<std::string>{m_page});
    auto request = MakeRecord<TkCollectionRequestArgs>();
    request.request = TK_REQUEST_REFRESH;
    TkCollectionReply reply = 0;
    ASSERT_TK_OK(TkQueryCollection(reader.collection(), &request, &reply));
    EXPECT_EQ(TkCollectionReplyCount(reply), 1);
    TkFreeCollectionReply(reply);
    EXPECT_EQ(reader.Submit(TK_SUBMIT_ADD, {m_other}), TK_E_READ_ONLY);
    EXPECT_EQ(reader.Submit(TK_SUBMIT_DELETE, {m_page}), TK_E_READ_ONLY);
    // A listing after the page changed still answers, with what the collection holds.
    WritePage(m_dir, "a.htm", "Printing again", "how to print a page, rewritten");
    testing::ShiftMtime(m_page, 10);
    EXPECT_EQ(reader.Keys(), std::vector<std::string>{m_page});
    EXPECT_EQ(Snapshot(m_folder), before);
  }

  TempDir m_dir;
  std::string m_folder = m_dir / "coll";
  std::string m_page, m_other;
};

bool NothingIsWritable(const std::string&) { return false; }

TEST_F(ReadOnlyTest, CollectionTheEngineMayNotWrite) {
  SetWritableCheck(NothingIsWritable);
  CheckReadOnly();
  SetWritableCheck(nullptr);
  Toolkit writer(m_folder, TK_COLLECTION_OPEN);
  EXPECT_EQ(writer.Submit(TK_SUBMIT_ADD, {m_other}), TK_OK) << "writable again";
}

// The file the engine may not write, or the folder that would hold its log: either makes the
// collection read-only. A check of paths stands for the permissions, which a test run with
// privileges would not feel.
std::string g_unwritable;
bool AllButOneIsWritable(const std::string& path) { return path != g_unwritable; }

TEST_F(ReadOnlyTest, FileOrFolderAloneThatTheEngineMayNotWrite) {
  for (const std::string& path : {m_folder + "/collection.db", m_folder}) {
    SCOPED_TRACE(path);
    g_unwritable = path;
    SetWritableCheck(AllButOneIsWritable);
    CheckReadOnly();
    SetWritableCheck(nullptr);
  }
}

TEST_F(ReadOnlyTest, FolderAndFileWithoutWritePermission) {
  if (geteuid() == 0) GTEST_SKIP() << "running as root, which permissions do not stop from writing";
  ASSERT_EQ(chmod((m_folder + "/collection.db").c_str(), 0444), 0);
  ASSERT_EQ(chmod(m_folder.c_str(), 0555), 0);
  CheckReadOnly();
}

}  // namespace
}  // namespace dizode
