// @brief The charset evidence order and decoding of every supported road to UTF-8.
#include "charset.h"

#include <gtest/gtest.h>

namespace dizode {
namespace {

struct Detection {
  const char* name;
  std::string bytes;
  std::string charset;
  size_t bom;
};

// Test listings show the case's name instead of its bytes.
void PrintTo(const Detection& c, std::ostream* out) { *out << c.name; }

class DetectCharsetTest : public ::testing::TestWithParam<Detection> {};

TEST_P(DetectCharsetTest, FollowsEvidenceOrder) {
  DetectedCharset detected = DetectCharset(GetParam().bytes);
  EXPECT_EQ(detected.name, GetParam().charset);
  EXPECT_EQ(detected.bomLength, GetParam().bom);
}

INSTANTIATE_TEST_SUITE_P(
    Matrix, DetectCharsetTest,
    ::testing::Values(
        Detection{"Utf8Bom", "\xEF\xBB\xBF<meta charset=iso-8859-2>", "utf-8", 3},
        Detection{"Utf16LeBom", std::string("\xFF\xFE<\0", 4), "utf-16le", 2},
        Detection{"Utf16BeBom", std::string("\xFE\xFF\0<", 4), "utf-16be", 2},
        Detection{"MetaCharset", "<head><META CHARSET=\"ISO-8859-2\"></head>", "iso-8859-2", 0},
        Detection{"HttpEquiv",
                  "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=koi8-r\">",
                  "koi8-r", 0},
        Detection{"MetaBeatsXmlDeclaration",
                  "<?xml version=\"1.0\" encoding=\"iso-8859-15\"?><meta charset=utf-8>", "utf-8",
                  0},
        Detection{"XmlDeclaration", "<?xml version=\"1.0\" encoding='ISO-8859-15'?><p>x</p>",
                  "iso-8859-15", 0},
        Detection{"Latin1LabelIsWindows1252", "<meta charset=iso-8859-1>", "windows-1252", 0},
        Detection{"Utf16LabelWithoutBomIsUtf8", "<meta charset=utf-16>", "utf-8", 0},
        Detection{"UndeclaredValidUtf8", "<p>caf\xC3\xA9</p>", "utf-8", 0},
        Detection{"UndeclaredInvalidUtf8", "<p>caf\xE9</p>", "windows-1252", 0},
        Detection{"DeclarationPastFirstKilobyteIgnored",
                  std::string(1100, ' ') + "<meta charset=iso-8859-2><p>\xB1</p>", "windows-1252",
                  0}),
    [](const auto& info) { return std::string(info.param.name); });

struct Decoding {
  const char* name;
  std::string bytes;
  std::string charset;
  std::string utf8;
};

// Test listings show the case's name instead of its bytes.
void PrintTo(const Decoding& c, std::ostream* out) { *out << c.name; }

class DecodeTest : public ::testing::TestWithParam<Decoding> {};

TEST_P(DecodeTest, ProducesUtf8) {
  std::string out = DecodeToUtf8(GetParam().bytes, GetParam().charset);
  EXPECT_EQ(out, GetParam().utf8);
  EXPECT_TRUE(IsValidUtf8(out));
}

INSTANTIATE_TEST_SUITE_P(
    Matrix, DecodeTest,
    ::testing::Values(
        Decoding{"Utf8Passes", "caf\xC3\xA9", "utf-8", "caf\xC3\xA9"},
        Decoding{"Utf8InvalidByte",
                 "a\xFF"
                 "b",
                 "utf-8",
                 "a\xEF\xBF\xBD"
                 "b"},
        Decoding{"Utf8Overlong", "\xC0\xAF", "utf-8", "\xEF\xBF\xBD\xEF\xBF\xBD"},
        Decoding{"Utf8Surrogate", "\xED\xA0\x80", "utf-8", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        Decoding{"Utf8Truncated", "ab\xE2\x82", "utf-8", "ab\xEF\xBF\xBD\xEF\xBF\xBD"},
        Decoding{"Windows1252High", "\x80\x93\xE9", "windows-1252",
                 "\xE2\x82\xAC\xE2\x80\x9C\xC3\xA9"},
        Decoding{"Utf16Le", std::string("h\0i\0\xAC\x20", 6), "utf-16le", "hi\xE2\x82\xAC"},
        Decoding{"Utf16BeSurrogatePair", std::string("\xD8\x3D\xDE\x00", 4), "utf-16be",
                 "\xF0\x9F\x98\x80"},
        Decoding{"Utf16LoneSurrogate", std::string("\x00\xD8x\0", 4), "utf-16le", "\xEF\xBF\xBDx"},
        Decoding{"Utf16OddByte", std::string("a\0b", 3), "utf-16le", "a\xEF\xBF\xBD"},
        Decoding{"Iso88592ThroughSystem", "\xB1", "iso-8859-2", "\xC4\x85"},
        Decoding{"Iso885915Euro", "\xA4", "iso-8859-15", "\xE2\x82\xAC"},
        Decoding{"InvalidShiftJisByte",
                 "a\x80"
                 "b",
                 "shift_jis",
                 "a\xEF\xBF\xBD"
                 "b"},
        Decoding{"UnknownLabelFallsBackToUtf8", "caf\xC3\xA9", "no-such-charset", "caf\xC3\xA9"},
        Decoding{"UnknownLabelInvalidUtf8IsWindows1252", "caf\xE9", "no-such-charset",
                 "caf\xC3\xA9"},
        Decoding{"ControlBytesBecomeBlanks",
                 std::string("a\0b\x01"
                             "c\td",
                             7),
                 "utf-8", "a b c\td"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace dizode
