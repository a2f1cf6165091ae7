// The resource generator's reading of scripts: the component's own script
// with every figure it must carry, the resource compiler's style rules, and
// clear failures with the place of the fault.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "winport/api/ui.h"
#include "winport/tools/rcgen/rc_parser.h"

namespace {

using rcgen::ParseScript;
using rcgen::ParseScriptText;
using rcgen::Script;
using rcgen::ScriptError;

const rcgen::Control* FindControl(const rcgen::Dialog& dialog, int id) {
  for (const rcgen::Control& control : dialog.m_controls) {
    if (control.m_id == id) return &control;
  }
  return nullptr;
}

TEST(ComponentScript, HoldsThePromptTextsAndTheProgressDialog) {
  Script script = ParseScript(std::string(ZVV_SOURCE_DIR) + "/component/res/ZoViveviVadiro.rc");
  ASSERT_EQ(2u, script.m_strings.size());
  EXPECT_EQ(101u, script.m_strings[0].m_id);
  EXPECT_EQ("Create Help Index", script.m_strings[0].m_text);
  EXPECT_EQ(102u, script.m_strings[1].m_id);
  EXPECT_EQ(0u, script.m_strings[1].m_text.find("The help search engine needs to build an index"));
  EXPECT_EQ(362u, script.m_strings[1].m_text.size());
  EXPECT_NE(std::string::npos, script.m_strings[1].m_text.find("Answering 'Yes' will build"));

  ASSERT_EQ(1u, script.m_dialogs.size());
  const rcgen::Dialog& dialog = script.m_dialogs[0];
  EXPECT_EQ(201, dialog.m_name.m_id);
  EXPECT_EQ("Help System", dialog.m_caption);
  EXPECT_EQ(0, dialog.m_x);
  EXPECT_EQ(0, dialog.m_y);
  EXPECT_EQ(207, dialog.m_cx);
  EXPECT_EQ(103, dialog.m_cy);
  EXPECT_EQ(0x80C800C0u, dialog.m_style);
  EXPECT_EQ(0u, dialog.m_exStyle);
  EXPECT_EQ("MS Sans Serif", dialog.m_fontFace);
  EXPECT_EQ(8, dialog.m_fontSize);
  ASSERT_EQ(4u, dialog.m_controls.size());
  EXPECT_EQ(202, dialog.m_controls[0].m_id);  // template order
  EXPECT_EQ(204, dialog.m_controls[1].m_id);
  EXPECT_EQ(205, dialog.m_controls[2].m_id);
  EXPECT_EQ(206, dialog.m_controls[3].m_id);

  struct Expected {
    int id;
    const char* className;
    const char* text;
    int x, y, cx, cy;
    uint32_t style;
  } expected[] = {
      {202, "static", "Indexing Help, please wait . . .", 0, 4, 207, 10,
       WS_CHILD | WS_VISIBLE | SS_CENTER | WS_GROUP},
      {204, "msctls_progress32", "Progress1", 4, 86, 197, 14, WS_CHILD | WS_BORDER},
      {205, "edit", "", 7, 25, 193, 47, WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY},
      {206, "static", "Static", 0, 39, 192, 12, WS_CHILD | SS_CENTER | WS_GROUP},
  };
  for (const Expected& e : expected) {
    const rcgen::Control* control = FindControl(dialog, e.id);
    ASSERT_NE(nullptr, control) << e.id;
    EXPECT_EQ(e.className, control->m_className) << e.id;
    EXPECT_EQ(e.text, control->m_text) << e.id;
    EXPECT_EQ(e.x, control->m_x) << e.id;
    EXPECT_EQ(e.y, control->m_y) << e.id;
    EXPECT_EQ(e.cx, control->m_cx) << e.id;
    EXPECT_EQ(e.cy, control->m_cy) << e.id;
    EXPECT_EQ(e.style, control->m_style) << std::hex << e.id;
    EXPECT_EQ(0u, control->m_exStyle) << e.id;
  }
  // The script's header and the files of its file resources count among its
  // dependencies; the version block adds no resource here.
  ASSERT_EQ(4u, script.m_filesRead.size());
  EXPECT_NE(std::string::npos, script.m_filesRead[1].find("resource.h"));
  EXPECT_NE(std::string::npos, script.m_filesRead[2].find("ViveviVadiro.rgs"));
  EXPECT_NE(std::string::npos, script.m_filesRead[3].find("ZoViveviVadiro.idl"));
  ASSERT_EQ(2u, script.m_raw.size());
  EXPECT_EQ("REGISTRY", script.m_raw[0].m_type.m_text);
  EXPECT_EQ(101, script.m_raw[0].m_name.m_id);
  EXPECT_EQ("TYPELIB", script.m_raw[1].m_type.m_text);
  EXPECT_EQ(1, script.m_raw[1].m_name.m_id);
}

TEST(Parser, StylesFollowTheResourceCompiler) {
  Script script = ParseScriptText(R"(
    #define IDD_X 7
    IDD_X DIALOG 1, 2, 30, 40
    BEGIN
      LTEXT "a", 1, 0, 0, 10, 10
      RTEXT "b", 2, 0, 0, 10, 10, SS_NOPREFIX | NOT WS_GROUP
      EDITTEXT 3, 0, 0, 10, 10
      DEFPUSHBUTTON "OK", IDOK, 0, 0, 10, 10
      CONTROL "", 5, BUTTON, 0x1 | NOT WS_VISIBLE, 0, 0, 10, 10, WS_EX_CLIENTEDGE
    END
    NAMED DIALOGEX 0, 0, 10, 10, 99
    CAPTION "t"
    BEGIN
    END)",
                                  "x.rc");
  ASSERT_EQ(2u, script.m_dialogs.size());
  const rcgen::Dialog& plain = script.m_dialogs[0];
  EXPECT_EQ(7, plain.m_name.m_id);
  // No STYLE: the default popup with border and system menu.
  EXPECT_EQ(static_cast<uint32_t>(WS_POPUP | WS_BORDER | WS_SYSMENU), plain.m_style);
  ASSERT_EQ(5u, plain.m_controls.size());
  const uint32_t base = WS_CHILD | WS_VISIBLE;
  EXPECT_EQ(base | SS_LEFT | WS_GROUP, plain.m_controls[0].m_style);
  EXPECT_EQ(base | SS_RIGHT | SS_NOPREFIX, plain.m_controls[1].m_style);
  EXPECT_EQ(base | ES_LEFT | WS_BORDER | WS_TABSTOP, plain.m_controls[2].m_style);
  EXPECT_EQ("button", plain.m_controls[3].m_className);
  EXPECT_EQ(IDOK, plain.m_controls[3].m_id);
  EXPECT_EQ(base | BS_DEFPUSHBUTTON | WS_TABSTOP, plain.m_controls[3].m_style);
  EXPECT_EQ(static_cast<uint32_t>(WS_CHILD | 0x1), plain.m_controls[4].m_style);
  EXPECT_EQ(static_cast<uint32_t>(WS_EX_CLIENTEDGE), plain.m_controls[4].m_exStyle);

  const rcgen::Dialog& named = script.m_dialogs[1];
  EXPECT_EQ("NAMED", named.m_name.m_text);
  EXPECT_EQ(static_cast<uint32_t>(WS_POPUP | WS_BORDER | WS_SYSMENU | WS_CAPTION), named.m_style);
  EXPECT_TRUE(named.m_controls.empty());
}

TEST(Parser, StringsKeepTheirEscapesAndConditionsSelectLines) {
  Script script = ParseScriptText(R"(
    /* a comment
       over two lines with "quotes" */
    #ifdef NOT_DEFINED
    STRINGTABLE BEGIN 1 "never" END
    #else
    STRINGTABLE
    BEGIN
      1, "say ""hi""\n"  // doubled quotes are one
      2 L"tab\there"
      0x10 "// not a comment"
    END
    #endif
  )",
                                  "s.rc");
  ASSERT_EQ(3u, script.m_strings.size());
  EXPECT_EQ("say \"hi\"\n", script.m_strings[0].m_text);
  EXPECT_EQ("tab\there", script.m_strings[1].m_text);
  EXPECT_EQ(16u, script.m_strings[2].m_id);
  EXPECT_EQ("// not a comment", script.m_strings[2].m_text);
}

TEST(Parser, FileResourcesCarryTheFilesBytes) {
  std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("rcgen_test_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  {
    std::ofstream(folder / "data.rgs", std::ios::binary) << "HKCR\n{\n}\n";
    std::ofstream(folder / "x.rc") << "101 REGISTRY \"data.rgs\"\nTYPE_LIB TYPELIB \"data.rgs\"\n";
  }
  Script script = ParseScript((folder / "x.rc").string());
  std::filesystem::remove_all(folder);
  ASSERT_EQ(2u, script.m_raw.size());
  EXPECT_EQ("REGISTRY", script.m_raw[0].m_type.m_text);
  EXPECT_EQ(101, script.m_raw[0].m_name.m_id);
  EXPECT_EQ(std::string("HKCR\n{\n}\n"),
            std::string(script.m_raw[0].m_data.begin(), script.m_raw[0].m_data.end()));
  EXPECT_EQ("TYPE_LIB", script.m_raw[1].m_name.m_text);
  EXPECT_EQ(3u, script.m_filesRead.size());
}

TEST(Parser, FaultsNameTheirLine) {
  struct Case {
    const char* text;
    int line;
    const char* message;
  } cases[] = {
      {"STRINGTABLE\nBEGIN\n 1 \"a\"\n 1 \"b\"\nEND", 4, "defined twice"},
      {"\n\n5 DIALOG 0, 0, 1\nBEGIN\nEND", 3, "expected ','"},
      {"5 DIALOG 0,0,1,1\nBEGIN\n LTEXT \"a\", 1, 0, 0, 1, 1, WS_NOSUCH\nEND", 3, "unknown name"},
      {"STRINGTABLE\nBEGIN\n 1 \"open", 3, "unterminated string"},
      {"1 MENU\nBEGIN\nEND", 1, "not supported"},
      {"1 VERSIONINFO\nFILEVERSION 4,0,1,0\nBEGIN\n BLOCK \"x\"\n BEGIN\nEND", 0, "without END"},
      {"#if FOO > 1\n#endif", 1, "unsupported #if"},
      {"#ifdef X\n", 0, "without #endif"},
      {"1 REGISTRY \"no-such-file.rgs\"", 1, "cannot read"},
      {"5 DIALOG 0,0,1,1\nBEGIN\n SLIDER 1\nEND", 3, "unsupported control"},
  };
  for (const Case& c : cases) {
    try {
      ParseScriptText(c.text, "bad.rc");
      ADD_FAILURE() << "no fault found in: " << c.text;
    } catch (const ScriptError& error) {
      EXPECT_EQ("bad.rc", error.m_file) << c.text;
      EXPECT_EQ(c.line, error.m_line) << c.text;
      EXPECT_NE(std::string::npos, error.m_message.find(c.message)) << error.m_message;
    }
  }
}

}  // namespace
