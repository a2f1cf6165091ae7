#include "code_pages.h"

#include <charconv>

namespace dizode {
namespace {

struct Alias {
  std::string_view label;
  unsigned codePage;
};

// Labels pages use for the code pages the system decodes, with their common aliases.
constexpr Alias kAliases[] = {
    {"shift_jis", 932},
    {"shift-jis", 932},
    {"sjis", 932},
    {"x-sjis", 932},
    {"ms_kanji", 932},
    {"windows-31j", 932},
    {"euc-jp", 20932},
    {"x-euc-jp", 20932},
    {"iso-2022-jp", 50220},
    {"gb2312", 936},
    {"gbk", 936},
    {"x-gbk", 936},
    {"gb_2312-80", 936},
    {"euc-cn", 936},
    {"gb18030", 54936},
    {"hz-gb-2312", 52936},
    {"big5", 950},
    {"big5-hkscs", 950},
    {"x-x-big5", 950},
    {"euc-kr", 949},
    {"ks_c_5601-1987", 949},
    {"iso-2022-kr", 50225},
    {"koi8-r", 20866},
    {"koi8-u", 21866},
    {"ibm866", 866},
    {"tis-620", 874},
    {"macintosh", 10000},
    {"x-mac-roman", 10000},
    {"x-mac-cyrillic", 10007},
    {"utf-7", 65000},
};

// The number after `prefix` in `label`, or 0.
unsigned NumberAfter(std::string_view label, std::string_view prefix) {
  if (label.substr(0, prefix.size()) != prefix) return 0;
  std::string_view digits = label.substr(prefix.size());
  unsigned number = 0;
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  return error == std::errc() && end == digits.data() + digits.size() ? number : 0;
}

}  // namespace

unsigned CodePageOf(std::string_view label) {
  for (const Alias& alias : kAliases)
    if (alias.label == label) return alias.codePage;
  // ISO 8859 part N is code page 28590 + N; parts 12 (never published) and 14 have none.
  for (std::string_view prefix : {"iso-8859-", "iso8859-", "iso_8859-"}) {
    unsigned part = NumberAfter(label, prefix);
    if (part >= 2 && part <= 15 && part != 12 && part != 14) return 28590 + part;
  }
  // The Windows code pages 1250-1258 and the DOS ones under their own numbers.
  for (std::string_view prefix : {"windows-", "cp", "x-cp", "ibm"}) {
    unsigned number = NumberAfter(label, prefix);
    if ((number >= 1250 && number <= 1258) || number == 874 || number == 932 || number == 936 ||
        number == 949 || number == 950 || (number >= 437 && number <= 869))
      return number;
  }
  return 0;
}

}  // namespace dizode
