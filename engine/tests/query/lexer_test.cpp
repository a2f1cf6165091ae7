// The lexer: chunk boundaries, byte offsets (also after multi-byte characters), escapes and
// which `*` and `?` are wildcards.
#include <gtest/gtest.h>

#include "query/lexer.h"
#include "utf/code_points.h"

namespace dizode::query {
namespace {

// "W:text@offset+length" for words (wildcards shown as {*}), "P:..." for phrases, "(" ")" and
// "O<op>" for operators.
std::string Describe(const Token& t) {
  std::string out;
  switch (t.kind) {
    case TokenKind::kWord:
      out = "W:";
      break;
    case TokenKind::kPhrase:
      out = "P:";
      break;
    case TokenKind::kOpen:
      out = "(";
      break;
    case TokenKind::kClose:
      out = ")";
      break;
    case TokenKind::kOperator:
      out = "O" + std::to_string(static_cast<int>(t.op)) + "/" + std::to_string(t.distance);
      break;
  }
  for (const Unit& u : t.units) {
    if (u.wildcard) {
      out += "{";
    }
    utf::AppendUtf8(out, u.c);
    if (u.wildcard) {
      out += "}";
    }
  }
  return out + "@" + std::to_string(t.offset) + "+" + std::to_string(t.length);
}

struct LexCase {
  const char* text;
  std::vector<std::string> tokens;
};

class QueryLexerTest : public ::testing::TestWithParam<LexCase> {};

TEST_P(QueryLexerTest, Tokens) {
  const LexCase& c = GetParam();
  const LexResult result = Lex(c.text);
  ASSERT_FALSE(result.error) << c.text;
  std::vector<std::string> actual;
  for (const Token& t : result.tokens) {
    actual.push_back(Describe(t));
  }
  EXPECT_EQ(actual, c.tokens) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Chunks, QueryLexerTest,
    ::testing::Values(
        LexCase{"a  bc", {"W:a@0+1", "W:bc@3+2"}}, LexCase{"(a", {"(@0+1", "W:a@1+1"}},
        LexCase{"(f(x))", {"(@0+1", "W:f(x)@1+4", ")@5+1"}},
        LexCase{"sync())", {"W:sync()@0+6", ")@6+1"}},
        LexCase{"a\"b c\"d", {"W:a@0+1", "P:b c@1+5", "W:d@6+1"}},
        LexCase{"\"say \\\"hi\\\"\"", {"P:say \"hi\"@0+12"}},
        LexCase{"\xE2\x80\x9C"
                "a b"
                "\xE2\x80\x9D x",
                {"P:a b@0+9", "W:x@10+1"}},
        LexCase{"\xC3\xA9t\xC3\xA9\xE3\x80\x80x", {"W:\xC3\xA9t\xC3\xA9@0+5", "W:x@8+1"}},
        LexCase{"\\(a\\) \\<AND\\>", {"W:(a)@0+5", "W:<AND>@6+7"}},
        LexCase{"C:\\Windows", {"W:C:\\Windows@0+10"}},
        LexCase{"colo?r print? a?.", {"W:colo{?}r@0+6", "W:print?@7+6", "W:a?.@14+3"}},
        LexCase{"a*b \\*", {"W:a{*}b@0+3", "W:*@4+2"}},
        LexCase{"\"dia* a*b *x\"", {"P:dia{*} a{*}b *x@0+13"}},
        LexCase{"<or> <NEAR/3> <b> <int/2> a<AND>b",
                {"O1/10@0+4", "O3/3@5+8", "W:<b>@14+3", "W:<int/2>@18+7", "W:a<AND>b@26+7"}},
        LexCase{"(<NOT>)", {"(@0+1", "O2/10@1+5", ")@6+1"}}));

TEST(QueryLexerErrorTest, OperatorMisuse) {
  LexResult result = Lex("a <NEAR/65> b");
  ASSERT_TRUE(result.error);
  EXPECT_EQ(result.error->code, Code::kBadOperatorArgument);
  EXPECT_EQ(Lex("a <NEAR/64> b").tokens.at(1).distance, 64);
  EXPECT_EQ(Lex("a <NEAR/99999999999999999999> b").error->code, Code::kBadOperatorArgument);
  result = Lex("<ADJ/2>");
  ASSERT_TRUE(result.error);
  EXPECT_EQ(result.error->code, Code::kUnknownOperator);
  EXPECT_NE(result.error->message.find("not supported yet"), std::string::npos);
  EXPECT_FALSE(Lex("<Foo> <x>").error);  // not all upper case, or a single letter: words
}

TEST(QueryLexerWarningTest, UnclosedQuoteClosesAtEnd) {
  const LexResult result = Lex("a \"b c");
  ASSERT_EQ(result.warnings.size(), 1u);
  EXPECT_EQ(result.warnings[0].code, Code::kQuoteAutoclosed);
  EXPECT_EQ(result.warnings[0].offset, 2);
  ASSERT_EQ(result.tokens.size(), 2u);
  EXPECT_EQ(Describe(result.tokens[1]), "P:b c@2+4");
}

}  // namespace
}  // namespace dizode::query
