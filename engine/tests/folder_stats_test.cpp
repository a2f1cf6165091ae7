// @brief Stamps read relative to open folders equal those read by full path, whatever the order
// of the pages and whatever lies at a path.
#include "folder_stats.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "page_file.h"
#include "toolkit_fixture.h"

namespace dizode {
namespace {

using testing::TempDir;
using testing::WriteFile;

TEST(FolderStatsTest, StampsMatchFullPathStamps) {
  TempDir dir;
  std::filesystem::create_directories(dir / "a/b");
  WriteFile(dir / "one.htm", "1");
  WriteFile(dir / "a/two.htm", "22");
  WriteFile(dir / "a/b/three.htm", "333");
  std::filesystem::create_symlink(dir / "a/two.htm", dir / "a/link.htm");
  std::filesystem::create_symlink(dir / "nowhere.htm", dir / "a/dangling.htm");
  FolderStats stats;
  // Folders change back and forth, as they would across threads' shares of a listing.
  for (const char* name : {"a/two.htm", "one.htm", "a/b/three.htm", "a/link.htm", "one.htm"}) {
    const std::string path = dir / name;
    const std::optional<FileStamp> stamp = stats.Stamp(path);
    ASSERT_TRUE(stamp) << name;
    EXPECT_EQ(*stamp, *StampOf(path)) << name;
  }
  EXPECT_EQ(stats.Stamp(dir / "a/two.htm")->size, 2);
  // Not a regular file, or not there at all: no stamp, and the next page is read as usual.
  for (const char* name : {"a", "a/dangling.htm", "missing.htm", "gone/x.htm", "a/"}) {
    EXPECT_FALSE(stats.Stamp(dir / name)) << name;
  }
  EXPECT_EQ(stats.Stamp(dir / "a/b/three.htm")->size, 3);
}

}  // namespace
}  // namespace dizode
