// @brief Which Windows code page decodes a page's declared charset.
#include "code_pages.h"

#include <gtest/gtest.h>

#include <string_view>

namespace dizode {
namespace {

struct LabelCase {
  std::string_view label;
  unsigned codePage;
};

TEST(CodePages, LabelsPagesDeclareMapToTheirCodePages) {
  static constexpr LabelCase kCases[] = {
      {"shift_jis", 932},     {"x-sjis", 932},        {"windows-31j", 932},
      {"cp932", 932},         {"euc-jp", 20932},      {"iso-2022-jp", 50220},
      {"gb2312", 936},        {"gbk", 936},           {"gb18030", 54936},
      {"big5", 950},          {"euc-kr", 949},        {"ks_c_5601-1987", 949},
      {"koi8-r", 20866},      {"koi8-u", 21866},      {"ibm866", 866},
      {"cp866", 866},         {"windows-874", 874},   {"tis-620", 874},
      {"windows-1250", 1250}, {"windows-1251", 1251}, {"cp1258", 1258},
      {"x-cp1253", 1253},     {"iso-8859-2", 28592},  {"iso8859-5", 28595},
      {"iso_8859-7", 28597},  {"iso-8859-15", 28605}, {"cp437", 437},
      {"ibm850", 850},
  };
  for (const LabelCase& c : kCases) EXPECT_EQ(CodePageOf(c.label), c.codePage) << c.label;
}

TEST(CodePages, LabelsWithoutACodePageMapToNone) {
  // The engine decodes UTF-8 and UTF-16 itself; the ISO parts the system lacks, numbers
  // outside the families, and labels with trailing text name nothing it can convert.
  static constexpr std::string_view kLabels[] = {
      "",
      "utf-8",
      "utf-16le",
      "iso-8859-1x",
      "iso-8859-12",
      "iso-8859-14",
      "iso-8859-16",
      "iso-8859-",
      "windows-1259",
      "windows-125",
      "cp1252 ",
      "cp65001",
      "shift_jis2",
      "SHIFT_JIS",
      "windows-1251x",
      "cp-1251",
      "x-unknown",
  };
  for (std::string_view label : kLabels) EXPECT_EQ(CodePageOf(label), 0u) << '"' << label << '"';
}

}  // namespace
}  // namespace dizode
