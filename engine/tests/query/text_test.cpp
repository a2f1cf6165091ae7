// UTF-8 decoding as the lexer and the index read text, and the character classes of the query
// lexer.
#include <gtest/gtest.h>

#include "query/text.h"
#include "utf/code_points.h"

namespace dizode::query {
namespace {

TEST(QueryTextTest, DecodesAndRejectsMalformedSequences) {
  struct Case {
    std::string bytes;
    char32_t value;
    int size;
  };
  const Case cases[] = {
      {"a", U'a', 1},
      {"\xC3\xA9", 0xE9, 2},
      {"\xE3\x80\x80", 0x3000, 3},
      {"\xF0\x9F\x98\x80", 0x1F600, 4},
      {"\xC3", 0xFFFD, 1},              // truncated
      {"\xC0\xAF", 0xFFFD, 1},          // overlong
      {"\xED\xA0\x80", 0xFFFD, 1},      // surrogate
      {"\xF4\x90\x80\x80", 0xFFFD, 1},  // beyond U+10FFFF
      {"\x80", 0xFFFD, 1},              // continuation byte
      {"\xE3\x80"
       "a",
       0xFFFD, 2},  // broken continuation: one piece
  };
  for (const Case& c : cases) {
    const utf::CodePoint cp = utf::DecodeUtf8(c.bytes, 0);
    EXPECT_EQ(cp.value, c.value) << c.bytes;
    EXPECT_EQ(cp.size, c.size) << c.bytes;
    EXPECT_EQ(cp.valid, c.value != 0xFFFD) << c.bytes;
  }
  for (char32_t c : {U'a', char32_t{0xE9}, char32_t{0x3000}, char32_t{0x1F600}}) {
    std::string out;
    utf::AppendUtf8(out, c);
    EXPECT_EQ(utf::DecodeUtf8(out, 0).value, c);
    EXPECT_EQ(utf::DecodeUtf8(out, 0).size, static_cast<int>(out.size()));
  }
}

TEST(QueryTextTest, CharacterClasses) {
  for (char32_t c : {U'a', U'Z', U'7', char32_t{0xE9}, char32_t{0x3B1}, char32_t{0x65E5},
                     char32_t{0xB2}, char32_t{0x3005}}) {
    EXPECT_TRUE(IsWordChar(c)) << static_cast<uint32_t>(c);
  }
  for (char32_t c : {U'-', U'.', U'+', U'<', U'*', char32_t{0xA0}, char32_t{0xD7}, char32_t{0x2019},
                     char32_t{0x3001}, char32_t{0xFF01}, char32_t{0x1F600}, char32_t{0xFFFD}}) {
    EXPECT_FALSE(IsWordChar(c)) << static_cast<uint32_t>(c);
  }
  EXPECT_TRUE(IsWhiteSpace(0x3000));
  EXPECT_TRUE(IsWhiteSpace(0xA0));
  EXPECT_FALSE(IsWhiteSpace(0x200B));  // zero width space is not White_Space
  EXPECT_TRUE(IsQuote(0x201E));
  EXPECT_FALSE(IsQuote(U'\''));
}

TEST(QueryTextTest, LowerCaseLetters) {
  for (char32_t c :
       {U'a', char32_t{0xDF}, char32_t{0xE9}, char32_t{0x101}, char32_t{0x138}, char32_t{0x13A},
        char32_t{0x14B}, char32_t{0x17A}, char32_t{0x3B1}, char32_t{0x430}}) {
    EXPECT_TRUE(IsLowerCase(c)) << static_cast<uint32_t>(c);
  }
  for (char32_t c : {U'A', U'1', char32_t{0xC9}, char32_t{0xF7}, char32_t{0x100}, char32_t{0x139},
                     char32_t{0x14A}, char32_t{0x178}, char32_t{0x179}, char32_t{0x391},
                     char32_t{0x410}, char32_t{0x65E5}}) {
    EXPECT_FALSE(IsLowerCase(c)) << static_cast<uint32_t>(c);
  }
}

}  // namespace
}  // namespace dizode::query
