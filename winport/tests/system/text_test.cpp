// Conversions between UTF-8 and UTF-16, against Windows behaviour.
#include <gtest/gtest.h>

#include <string>

#include "winport/win32.h"

namespace {

std::u16string ToWide(const std::string& text, DWORD flags = 0, UINT code_page = CP_UTF8) {
  const int size = static_cast<int>(text.size());
  const int needed = MultiByteToWideChar(code_page, flags, text.data(), size, nullptr, 0);
  if (needed == 0) return u"<error>";
  std::u16string out(static_cast<size_t>(needed), u'\0');
  EXPECT_EQ(MultiByteToWideChar(code_page, flags, text.data(), size, out.data(), needed), needed);
  return out;
}

TEST(MultiByteToWideChar, DecodesUtf8IncludingSurrogatePairs) {
  EXPECT_EQ(ToWide("plain"), u"plain");
  EXPECT_EQ(ToWide("\xC3\xA9t\xC3\xA9"), u"\u00E9t\u00E9");
  EXPECT_EQ(ToWide("\xE2\x82\xAC"), u"\u20AC");
  EXPECT_EQ(ToWide("\xF0\x9F\x98\x80"), std::u16string({0xD83D, 0xDE00}));
  EXPECT_EQ(ToWide("\xC3\xA9", 0, CP_ACP), u"\u00E9");  // the narrow code page is UTF-8
}

TEST(MultiByteToWideChar, ReplacesEachMalformedPieceWithFffd) {
  const struct {
    const char* input;
    std::u16string expected;
  } cases[] = {
      {"\x80", u"\uFFFD"},                                // stray continuation byte
      {"a\xC3", u"a\uFFFD"},                              // cut short at the end
      {"\xE2\x82x", u"\uFFFDx"},                          // cut short in the middle: one piece
      {"\xC0\xAF", u"\uFFFD\uFFFD"},                      // overlong form
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // an encoded surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond U+10FFFF
      {"\xFF"
       "ok",
       u"\uFFFDok"},
  };
  for (const auto& c : cases) EXPECT_EQ(ToWide(c.input), c.expected) << c.input;
}

TEST(MultiByteToWideChar, ErrInvalidCharsRejectsMalformedInput) {
  for (UINT code_page : {UINT{CP_UTF8}, UINT{CP_ACP}}) {
    WCHAR out[8];
    EXPECT_EQ(MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, "a\x80", 2, out, 8), 0);
    EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
  }
}

TEST(MultiByteToWideChar, MinusOneCountsTheTerminatorAndSmallBuffersFail) {
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", -1, nullptr, 0), 4);
  WCHAR out[4];
  ASSERT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", -1, out, 4), 4);
  EXPECT_EQ(std::u16string(out), u"abc");

  WCHAR guarded[4] = {u'x', u'x', u'x', u'#'};
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", -1, guarded, 3), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(guarded[3], u'#');  // nothing written past the given size
}

TEST(MultiByteToWideChar, RejectsBadArgumentsCodePagesAndFlags) {
  WCHAR out[4];
  const struct {
    UINT code_page;
    DWORD flags;
    const char* input;
    int size;
    DWORD error;
  } cases[] = {
      {CP_UTF8, 0, "a", 0, ERROR_INVALID_PARAMETER},
      {CP_UTF8, 0, nullptr, 1, ERROR_INVALID_PARAMETER},
      {CP_UTF8, 0, "a", -2, ERROR_INVALID_PARAMETER},
      {1252, 0, "a", 1, ERROR_INVALID_PARAMETER},
      {CP_UTF8, MB_PRECOMPOSED, "a", 1, ERROR_INVALID_FLAGS},
      {CP_ACP, MB_PRECOMPOSED | MB_COMPOSITE, "a", 1, ERROR_INVALID_FLAGS},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MultiByteToWideChar(c.code_page, c.flags, c.input, c.size, out, 4), 0);
    EXPECT_EQ(GetLastError(), c.error);
  }
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, "a", 1, out, 4), 1);
}

struct Narrow {
  std::string text;
  BOOL used_default;
  DWORD error;
};

Narrow ToNarrow(const std::u16string& text, UINT code_page, DWORD flags = 0,
                LPCSTR default_char = nullptr, bool ask_used = true) {
  Narrow result{{}, -1, 0};
  const int size = static_cast<int>(text.size());
  BOOL* used = ask_used ? &result.used_default : nullptr;
  const int needed =
      WideCharToMultiByte(code_page, flags, text.data(), size, nullptr, 0, default_char, used);
  if (needed == 0) {
    result.error = GetLastError();
    return result;
  }
  result.text.assign(static_cast<size_t>(needed), '\0');
  EXPECT_EQ(WideCharToMultiByte(code_page, flags, text.data(), size, result.text.data(), needed,
                                default_char, used),
            needed);
  return result;
}

TEST(WideCharToMultiByte, EncodesUtf8AndMarksUnpairedSurrogatesWithTheDefaultChar) {
  Narrow n = ToNarrow(u"\u00E9\u20AC", CP_ACP, WC_COMPOSITECHECK, "?");
  EXPECT_EQ(n.text, "\xC3\xA9\xE2\x82\xAC");
  EXPECT_FALSE(n.used_default);

  n = ToNarrow(std::u16string({0xD83D, 0xDE00}), CP_ACP);
  EXPECT_EQ(n.text, "\xF0\x9F\x98\x80");
  EXPECT_FALSE(n.used_default);

  n = ToNarrow(std::u16string({u'a', 0xD800, u'b', 0xDC00}), CP_ACP, WC_COMPOSITECHECK, "?");
  EXPECT_EQ(n.text, "a?b?");
  EXPECT_TRUE(n.used_default);

  n = ToNarrow(std::u16string({0xDC00}), CP_ACP, 0, "*");
  EXPECT_EQ(n.text, "*");
  n = ToNarrow(std::u16string({0xDC00}), CP_ACP, 0, nullptr);
  EXPECT_EQ(n.text, "?");
}

TEST(WideCharToMultiByte, Utf8RefusesDefaultCharArgumentsAndUsesFffd) {
  EXPECT_EQ(ToNarrow(u"a", CP_UTF8, 0, "?", false).error, ERROR_INVALID_PARAMETER);
  EXPECT_EQ(ToNarrow(u"a", CP_UTF8, 0, nullptr, true).error, ERROR_INVALID_PARAMETER);
  EXPECT_EQ(ToNarrow(u"a", CP_UTF8, WC_COMPOSITECHECK, nullptr, false).error, ERROR_INVALID_FLAGS);
  EXPECT_EQ(ToNarrow(std::u16string({u'a', 0xD800}), CP_UTF8, 0, nullptr, false).text,
            "a\xEF\xBF\xBD");
  EXPECT_EQ(ToNarrow(std::u16string({0xD800}), CP_UTF8, WC_ERR_INVALID_CHARS, nullptr, false).error,
            ERROR_NO_UNICODE_TRANSLATION);
}

TEST(WideCharToMultiByte, NeverWritesPastTheBufferNorSplitsACharacter) {
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"a\u00E9", -1, nullptr, 0, nullptr, nullptr), 4);
  char out[4] = {'#', '#', '#', '#'};
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"a\u00E9", -1, out, 2, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(out[2], '#');
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"a\u00E9", -1, out, 4, nullptr, nullptr), 4);
  EXPECT_STREQ(out, "a\xC3\xA9");

  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"a", 0, out, 4, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"a", 1, out, -1, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

}  // namespace
