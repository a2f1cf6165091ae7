// End to end: page names and titles that carry terminal controls reach the
// terminal as visible text, and JSON lines stay parseable whatever they hold.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "cli/tests/support/json_reader.h"
#include "cli/tests/support/zvv_process.h"

namespace zvv::testing {
namespace {

// Sets the window title, rings the bell and clears the screen when printed raw.
constexpr char kHostileName[] = "a\x1b]0;x\a\x1b[2J.htm";
// ESC, BEL, the one-byte CSI (U+009B) and DEL.
constexpr char kHostileTitle[] = "Esc \x1b[31m bel \a csi \xC2\x9B[2J del \x7f end";

// Control characters (C0 but line ends, DEL, C1 as UTF-8) present in `text`.
bool HoldsRawControl(const std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if ((byte < 0x20 && byte != '\n') || byte == 0x7f) return true;
    if (byte == 0xC2 && i + 1 < text.size()) {
      const auto next = static_cast<unsigned char>(text[i + 1]);
      if (next >= 0x80 && next <= 0x9F) return true;
    }
  }
  return false;
}

class ZvvTerminalSafety : public ::testing::Test {
 protected:
  ZvvTerminalSafety() {
    m_app.AddPage(kHostileName, kHostileTitle, "zebra stripes");
    m_app.AddPage("plain.htm", "Plain", "zebra crossing");
  }

  RunResult Zvv(std::vector<std::string> args) {
    args.insert(args.begin(), {"--install-dir", m_app.Root().string(), "--no-ui"});
    return RunZvv(args);
  }

  TempApp m_app;
};

TEST_F(ZvvTerminalSafety, TableShowsControlsAsVisibleEscapes) {
  const RunResult result = Zvv({"zebra"});
  ASSERT_EQ(result.m_exitCode, 0) << result.m_err;
  EXPECT_FALSE(HoldsRawControl(result.m_out)) << result.m_out;
  // The name is still recognisable, byte for byte.
  EXPECT_TRUE(Contains(result.m_out, "a\\x1b]0;x\\x07\\x1b[2J.htm")) << result.m_out;
  EXPECT_TRUE(Contains(result.m_out, "\\u{9b}[2J")) << result.m_out;
  EXPECT_EQ(Lines(result.m_out).back(), "2 hits");
}

TEST_F(ZvvTerminalSafety, EveryJsonLineParsesAndKeepsTheText) {
  const RunResult result = Zvv({"--json", "zebra"});
  ASSERT_EQ(result.m_exitCode, 0) << result.m_err;
  EXPECT_FALSE(HoldsRawControl(result.m_out)) << result.m_out;
  const std::vector<std::string> lines = Lines(result.m_out);
  ASSERT_EQ(lines.size(), 2u) << result.m_out;
  bool sawHostile = false;
  for (const std::string& line : lines) {
    const auto hit = ParseFlatObject(line);
    ASSERT_TRUE(hit) << line;
    if (hit->at("path").m_text == kHostileName) {
      sawHostile = true;
      // What the engine keeps of the title comes back unchanged: U+009B at least.
      EXPECT_TRUE(Contains(hit->at("title").m_text, "\xC2\x9B[2J")) << line;
    }
  }
  EXPECT_TRUE(sawHostile) << result.m_out;

  // A second, independent reader: every line is JSON and decodes as UTF-8.
  if (std::system("command -v python3 >/dev/null 2>&1") != 0) GTEST_SKIP() << "no python3";
  const std::filesystem::path file = m_app.Root() / "answer.jsonl";
  std::ofstream(file, std::ios::binary) << result.m_out;
  const std::string check =
      "python3 -c 'import json,sys\n"
      "for line in open(sys.argv[1], encoding=\"utf-8\"):\n"
      "    assert isinstance(json.loads(line)[\"title\"], str)' " +
      ShellQuote(file.string());
  EXPECT_EQ(std::system(check.c_str()), 0) << result.m_out;
}

}  // namespace
}  // namespace zvv::testing
