// The generated source: literals that survive any bytes, and tables that
// leave out what the script does not have (C++ has no empty arrays).
#include <gtest/gtest.h>

#include "winport/tools/rcgen/cpp_writer.h"
#include "winport/tools/rcgen/rc_parser.h"

namespace {

TEST(CppWriter, LiteralsEscapeWhatCannotStandAsItIs) {
  struct Case {
    std::string text;
    const char* literal;
  } cases[] = {
      {"plain text?", "\"plain text?\""},
      {"say \"hi\" \\ now", "\"say \\\"hi\\\" \\\\ now\""},
      {"line\nbreak", "\"line\\012break\""},
      {std::string("nul\0"
                   "1",
                   5),
       "\"nul\\0001\""},  // the escape cannot swallow the digit
      {"caf\xc3\xa9", "\"caf\\303\\251\""},
  };
  for (const Case& c : cases) EXPECT_EQ(c.literal, rcgen::CppLiteral(c.text));
}

TEST(CppWriter, TablesCarryEveryPartAndNullForMissingOnes) {
  rcgen::Script strings = rcgen::ParseScriptText("STRINGTABLE BEGIN 7 \"seven\" END", "a.rc");
  std::string source = rcgen::WriteCpp(strings, "a.rc");
  EXPECT_NE(std::string::npos, source.find("{7u, \"seven\"}"));
  EXPECT_NE(std::string::npos, source.find("kStrings, 1,\n    nullptr, 0,\n    nullptr, 0}"));
  EXPECT_NE(std::string::npos, source.find("WinportRegisterResources(&kTable, &kTable)"));
  EXPECT_NE(std::string::npos, source.find("WinportUnregisterResources(&kTable)"));

  rcgen::Script dialog = rcgen::ParseScriptText(
      "9 DIALOGEX 1, 2, 3, 4\nSTYLE WS_POPUP\nFONT 8, \"F\"\nBEGIN\n"
      " CTEXT \"h\", 10, 5, 6, 7, 8\nEND\nEMPTY DIALOG 0, 0, 1, 1\nBEGIN\nEND",
      "b.rc");
  source = rcgen::WriteCpp(dialog, "b.rc");
  EXPECT_NE(std::string::npos,
            source.find("{10, \"static\", \"h\", 5, 6, 7, 8, 0x50020001u, 0x00000000u}"));
  EXPECT_NE(std::string::npos,
            source.find("{9, nullptr, \"\", 1, 2, 3, 4, 0x80000040u, 0x00000000u, \"F\", 8, "
                        "kControls0, 1}"));
  EXPECT_NE(std::string::npos, source.find("{0, \"EMPTY\", \"\", 0, 0, 1, 1, 0x80880000u"));
  EXPECT_NE(std::string::npos, source.find("nullptr, 0, nullptr, 0}"));
  EXPECT_NE(std::string::npos, source.find("    nullptr, 0,\n    kDialogs, 2,\n"));
}

}  // namespace
