// End to end: zvv index says what its update did, and zvv status says the same without
// changing anything.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "cli/tests/support/json_reader.h"
#include "cli/tests/support/zvv_process.h"

namespace zvv::testing {
namespace {

namespace fs = std::filesystem;

RunResult Zvv(const TempApp& app, std::vector<std::string> args) {
  args.insert(args.begin(), {"--install-dir", app.Root().string(), "--no-ui"});
  return RunZvv(args);
}

std::map<std::string, JsonValue> JsonOf(const RunResult& result) {
  const std::vector<std::string> lines = Lines(result.m_out);
  EXPECT_EQ(lines.size(), 1u) << result.m_out;
  const auto object = lines.empty() ? std::nullopt : ParseFlatObject(lines[0]);
  EXPECT_TRUE(object) << result.m_out;
  return object.value_or(std::map<std::string, JsonValue>{});
}

// Every file below `folder` with its size and modification time.
std::map<std::string, std::pair<std::uintmax_t, fs::file_time_type>> Snapshot(
    const fs::path& folder) {
  std::map<std::string, std::pair<std::uintmax_t, fs::file_time_type>> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) {
      files[entry.path().string()] = {entry.file_size(), entry.last_write_time()};
    }
  }
  return files;
}

TEST(ZvvIndex, ReportsWhatItAddedChangedRemovedAndCouldNotRead) {
  TempApp app;
  for (const char* name : {"a.htm", "b.htm", "c.htm", "d.htm", "sub/e.html"}) {
    app.AddPage(name, "Page", "text");
  }
  RunResult first = Zvv(app, {"index"});
  ASSERT_EQ(first.m_exitCode, 0) << first.m_err;
  const std::vector<std::string> lines = Lines(first.m_out);
  ASSERT_GE(lines.size(), 5u) << first.m_out;
  EXPECT_TRUE(lines[0].starts_with("Created the help index of 5 pages in ")) << lines[0];
  EXPECT_EQ(lines[1], "Changes: 5 added, 0 changed, 0 removed");
  EXPECT_EQ(lines[2], "  added: a.htm, b.htm, c.htm and 2 more");
  EXPECT_EQ(lines[3], "Help folder: " + app.Help().string());
  EXPECT_TRUE(lines[4].starts_with("Index: " + app.Root().string() + "/dizode/")) << lines[4];

  app.AddPage("b.htm", "Page", "text that is longer now");
  fs::remove(app.Help() / "c.htm");
  app.AddPage("f.htm", "Page", "text");
  fs::create_symlink(app.Root() / "nowhere.htm", app.Help() / "broken.htm");
  std::ofstream(app.Help() / "blob.htm", std::ios::binary)
      << std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16);
  const RunResult second = Zvv(app, {"index"});
  ASSERT_EQ(second.m_exitCode, 0) << second.m_err;
  EXPECT_TRUE(second.m_out.starts_with("Updated the help index of 7 pages in ")) << second.m_out;
  EXPECT_TRUE(Contains(second.m_out,
                       "Changes: 3 added, 1 changed, 1 removed\n"
                       "  added: blob.htm, broken.htm, f.htm\n"
                       "  changed: b.htm\n"
                       "  removed: c.htm\n"
                       "Unreadable: 2 pages indexed by name only: blob.htm, broken.htm\n"))
      << second.m_out;

  const RunResult third = Zvv(app, {"--json", "index"});
  ASSERT_EQ(third.m_exitCode, 0) << third.m_err;
  auto json = JsonOf(third);
  EXPECT_EQ(json["created"].m_text, "false");
  EXPECT_EQ(json["pages"].m_text, "7");
  EXPECT_EQ(json["added"].m_text + json["changed"].m_text + json["removed"].m_text, "000");
  EXPECT_EQ(json["unreadable"].m_text, "2");
}

TEST(ZvvIndex, EmptyHelpFolderIsAWarningNotASuccessStory) {
  TempApp app;
  const RunResult result = Zvv(app, {"index"});
  EXPECT_EQ(result.m_exitCode, 0);
  EXPECT_TRUE(Contains(result.m_err, "warning: the Help folder holds no pages")) << result.m_err;
  EXPECT_FALSE(Contains(result.m_out, "Created")) << result.m_out;
}

// An index this user may not write (an installed application's prebuilt one) is searched as
// it is and never reported as updated.
TEST(ZvvIndex, AReadOnlyIndexIsSearchedAsItIsAndNeverReportedAsUpdated) {
  if (!ReadOnlyViewsWork()) GTEST_SKIP() << "no private read-only mounts on this machine";
  TempApp app;
  app.AddPage("a.htm", "Alpha", "alpha text");
  app.AddPage("gone.htm", "Gone", "alpha gone");
  ASSERT_EQ(Zvv(app, {"index"}).m_exitCode, 0);
  fs::remove(app.Help() / "gone.htm");
  app.AddPage("new.htm", "New", "alpha new");
  const fs::path collection = app.Root() / "dizode/collections/Searchable Help";
  const std::string database = (collection / "file").string();
  const auto ReadOnly = [&](std::vector<std::string> args) {
    args.insert(args.begin(), {"--install-dir", app.Root().string(), "--no-ui"});
    return RunZvvSeeingReadOnly(database, args);
  };

  const RunResult update = ReadOnly({"index"});
  EXPECT_EQ(update.m_exitCode, 1);
  EXPECT_EQ(update.m_out, "");
  EXPECT_TRUE(Contains(update.m_err, "is read-only here: it was not updated")) << update.m_err;

  const RunResult status = ReadOnly({"status"});
  EXPECT_EQ(status.m_exitCode, 0) << status.m_err;
  EXPECT_TRUE(Contains(status.m_out,
                       "Changes since: 1 added, 0 changed, 1 removed; the index is "
                       "read-only here"))
      << status.m_out;
  EXPECT_FALSE(Contains(status.m_out, "zvv index")) << status.m_out;

  // The search answers from the index as it is, and says once that it is behind.
  const RunResult search = ReadOnly({"alpha"});
  EXPECT_EQ(search.m_exitCode, 0) << search.m_err;
  EXPECT_TRUE(Contains(search.m_out, "gone.htm")) << search.m_out;
  EXPECT_FALSE(Contains(search.m_out, "new.htm")) << search.m_out;
  EXPECT_EQ(Lines(search.m_err), std::vector<std::string>{"zvv: warning: The help index is "
                                                          "read-only: changes in the help folder "
                                                          "were not indexed."});

  // Marked for rebuilding, it still cannot be written: searched as it is, with the reason.
  std::ofstream mark(collection / "rebuild");
  mark.close();
  const RunResult marked = ReadOnly({"alpha"});
  EXPECT_EQ(marked.m_exitCode, 0) << marked.m_err;
  EXPECT_TRUE(Contains(marked.m_out, "gone.htm")) << marked.m_out;
  EXPECT_TRUE(Contains(marked.m_err, "zvv: warning: The help index could not be rebuilt"))
      << marked.m_err;
}

TEST(ZvvStatus, ReportsWithoutCreatingOrUpdatingTheIndex) {
  TempApp app;
  app.AddPage("a.htm", "A", "text");
  app.AddPage("b.htm", "B", "text");
  const RunResult none = Zvv(app, {"status"});
  ASSERT_EQ(none.m_exitCode, 0) << none.m_err;
  EXPECT_TRUE(Contains(none.m_out, "No help index yet: 'zvv index' builds it from the 2 pages"))
      << none.m_out;
  EXPECT_FALSE(fs::exists(app.Root() / "dizode")) << "status made the index folder";
  EXPECT_EQ(JsonOf(Zvv(app, {"status", "--json"}))["indexed"].m_text, "false");

  ASSERT_EQ(Zvv(app, {"index"}).m_exitCode, 0);
  const RunResult current = Zvv(app, {"status"});
  EXPECT_TRUE(Contains(current.m_out, "Pages: 2\n")) << current.m_out;
  EXPECT_TRUE(Contains(current.m_out, "Changes since: none; the index is up to date"))
      << current.m_out;

  app.AddPage("a.htm", "A", "text that changed");
  app.AddPage("new.htm", "New", "text");
  fs::remove(app.Help() / "b.htm");
  const auto collection = Snapshot(app.Root() / "dizode");
  // Asked twice: a status that updated the index would see nothing the second time.
  for (int round = 0; round < 2; ++round) {
    const RunResult stale = Zvv(app, {"status"});
    ASSERT_EQ(stale.m_exitCode, 0) << stale.m_err;
    EXPECT_TRUE(Contains(stale.m_out,
                         "Changes since: 1 added, 1 changed, 1 removed; "
                         "'zvv index' brings the index up to date\n"
                         "  added: new.htm\n  changed: a.htm\n  removed: b.htm\n"))
        << stale.m_out;
  }
  auto json = JsonOf(Zvv(app, {"--json", "status"}));
  EXPECT_EQ(json["current"].m_text, "false");
  EXPECT_EQ(json["pages"].m_text, "2");
  EXPECT_EQ(json["help_pages"].m_text, "2");
  EXPECT_EQ(json["added"].m_text + json["changed"].m_text + json["removed"].m_text, "111");
  EXPECT_TRUE(json["updated"].m_text.ends_with("Z")) << json["updated"].m_text;
  EXPECT_EQ(Snapshot(app.Root() / "dizode"), collection) << "status wrote to the index";
}

}  // namespace
}  // namespace zvv::testing
