// @brief Extraction of title, headings and body text from pages, hostile ones included.
#include "html_text.h"

#include <gtest/gtest.h>

#include <string>

namespace dizode {
namespace {

struct Case {
  const char* name;
  std::string html;
  std::string title, heads, body;
};

// Test listings show the case's name instead of its bytes.
void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class ExtractTest : public ::testing::TestWithParam<Case> {};

TEST_P(ExtractTest, SplitsTextIntoFields) {
  const Case& c = GetParam();
  PageText page = ExtractHtml(c.html, "docs/some-page.htm");
  EXPECT_EQ(page.title, c.title);
  EXPECT_EQ(page.heads, c.heads);
  EXPECT_EQ(page.body, c.body);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, ExtractTest,
    ::testing::Values(
        Case{"TitleHeadsBody",
             "<html><head><title>Print Setup</title></head><body><h1>Printing</h1>"
             "<p>Choose a printer.</p><h3>Margins</h3><p>Set them.</p></body></html>",
             "Print Setup", "Printing Margins", "Choose a printer. Set them."},
        Case{"EntitiesDecoded", "<title>A &amp; B &lt;C&gt;</title><p>caf&eacute; &#8364;5</p>",
             "A & B <C>", "",
             "caf\xC3\xA9 \xE2\x82\xAC"
             "5"},
        Case{"ScriptStyleTemplateCommentExcluded",
             "<title>T</title><script>var hidden = '<p>x</p>';</script><style>p{color:red}"
             "</style><template><p>inside template</p></template><!-- a comment -->"
             "<p>visible</p>",
             "T", "", "visible"},
        Case{"AltTextIsBody",
             "<title>T</title><p>before<img src=a.png alt='Toolbar icon'>after</p>", "T", "",
             "before Toolbar icon after"},
        Case{"KeywordsAreHeads",
             "<head><title>T</title><meta name=\"Keywords\" content=\"print, paper\"></head>"
             "<h2>Section</h2>",
             "T", "print, paper Section", ""},
        Case{"FirstH1WhenNoTitle", "<h1>Main <i>topic</i></h1><h1>Second</h1><p>x</p>",
             "Main topic", "Main topic Second", "x"},
        Case{"EmptyTitleFallsBackToH1", "<title>  </title><h1>Heading</h1>", "Heading", "Heading",
             ""},
        Case{"FileNameWhenNoTitleOrH1", "<h2>Only h2</h2><p>text</p>", "some-page", "Only h2",
             "text"},
        Case{"InlineElementsDoNotSplitWords", "<p>re<b>format</b>ted and <span>one</span></p>",
             "some-page", "", "reformatted and one"},
        Case{"BlockElementsSplitWords", "<div>alpha</div><div>beta</div><li>gamma</li>",
             "some-page", "", "alpha beta gamma"},
        Case{"WhitespaceCollapsed", "<p>  many\n\n\t spaces   here </p>", "some-page", "",
             "many spaces here"},
        Case{"TextAfterDocumentEndIsBody",
             "<title>T</title><body><p>inside</p></BODY ></html>\n<p>appended</p>", "T", "",
             "inside appended"},
        Case{"UnclosedTagsRecovered", "<title>T</title><p>one<p>two<div><span>three", "T", "",
             "one two three"},
        // Headings never nest, and any heading's end tag closes the open one, as in browsers:
        // a page with <h2>...</h1> keeps its body out of the headings.
        Case{"MismatchedHeadingEndCloses", "<h2>Index</h1><p>entry one</p>", "some-page", "Index",
             "entry one"},
        Case{"HeadingStartClosesOpenHeading", "<h3>Three<h4>Four</h4><p>text</p>", "some-page",
             "Three", "Four text"},
        Case{"RawTextEndTagsInCapitals",
             "<TITLE>T</TITLE><SCRIPT>x</SCRIPT><STYLE>p{}</Style>visible", "T", "", "visible"},
        Case{"SelfClosedScriptHidesNothing", "<title>T</title><script src=\"a.js\"/><p>shown</p>",
             "T", "", "shown"},
        Case{"ReferencesInAttributesAndNumbers",
             "<title>T</title><p>don&#146;t<img alt=\"A &amp; B\"></p>", "T", "",
             "don\xE2\x80\x99t A & B"}),
    [](const auto& info) { return std::string(info.param.name); });

// Every element that runs inline joins the letters around it; any other element, including
// names that share a first letter or a prefix with an inline one, breaks the word.
TEST(ExtractTest, InlineAndBlockElementsByName) {
  // "x", then "y" inside the element, then "z".
  const auto around = [](const std::string& tag) {
    std::string page = "<p>x<";
    page.append(tag).append(">y</").append(tag).append(">z</p>");
    return page;
  };
  const char* const inlineNames[] = {
      "a",    "abbr",   "b",      "bdi", "bdo",  "big",  "cite", "code", "data", "dfn",
      "em",   "font",   "i",      "kbd", "mark", "nobr", "q",    "s",    "samp", "small",
      "span", "strike", "strong", "sub", "sup",  "time", "tt",   "u",    "var"};
  for (const char* name : inlineNames) {
    const std::string tag(name);
    EXPECT_EQ(ExtractHtml(around(tag), "a.htm").body, "xyz") << tag;
  }
  const char* const blockNames[] = {"article", "aside",  "blockquote", "caption", "dd",   "div",
                                    "h4",      "header", "li",         "main",    "nav",  "section",
                                    "table",   "td",     "ul",         "summary", "var2", "ins"};
  for (const char* name : blockNames) {
    const std::string tag(name);
    EXPECT_EQ(ExtractHtml(around(tag), "a.htm").body, "x y z") << tag;
  }
}

TEST(ExtractTest, ReadsLanguageAndCharset) {
  PageText page = ExtractHtml("<html lang=\"DE-de\"><p>x</p>", "a.htm");
  EXPECT_EQ(page.lang, "de-de");
  EXPECT_EQ(page.charset, "utf-8");
}

TEST(ExtractTest, DeclaredCharsetDecodesBody) {
  // 0xE9 is e-acute in Latin-1 and in windows-1252; 0xB1 is a-ogonek in ISO-8859-2.
  EXPECT_EQ(ExtractHtml("<meta charset=iso-8859-2><p>\xB1</p>", "a.htm").body, "\xC4\x85");
  EXPECT_EQ(ExtractHtml("<p>caf\xE9</p>", "a.htm").body, "caf\xC3\xA9");
}

TEST(ExtractTest, TitleFromFileNameDropsFolderAndExtension) {
  EXPECT_EQ(TitleFromFileName("/help/tags/page.name.htm"), "page.name");
  EXPECT_EQ(TitleFromFileName("noext"), "noext");
  EXPECT_EQ(TitleFromFileName(".hidden"), ".hidden");
}

// Hostile pages: each must finish with bounded output and keep the text around the trap.
TEST(ExtractHostileTest, TagWithHundredThousandAttributes) {
  std::string html = "<title>T</title><p";
  for (int i = 0; i < 100000; ++i) html += " a" + std::to_string(i) + "=\"v\"";
  html += ">after</p><p>tail</p>";
  PageText page = ExtractHtml(html, "a.htm");
  EXPECT_EQ(page.title, "T");
  EXPECT_EQ(page.body, "after tail");
}

TEST(ExtractHostileTest, DeepNesting) {
  std::string html = "<title>T</title>";
  for (int i = 0; i < 100000; ++i) html += "<div><span>";
  html += "deep text";
  PageText page = ExtractHtml(html, "a.htm");
  EXPECT_EQ(page.body, "deep text");
}

TEST(ExtractHostileTest, HugeTextIsCapped) {
  std::string html = "<title>T</title><p>";
  std::string word = "lorem ipsum ";
  while (html.size() < 3 * kMaxTextBytes) html += word;
  PageText page = ExtractHtml(html, "a.htm");
  EXPECT_TRUE(page.truncated);
  EXPECT_LE(page.body.size(), kMaxTextBytes);
  EXPECT_GT(page.body.size(), kMaxTextBytes / 2);
}

TEST(ExtractHostileTest, BinaryBytesGiveValidText) {
  std::string bytes;
  for (unsigned i = 0; i < 200000; ++i) bytes += static_cast<char>((i * 7919u) % 256u);
  PageText page = ExtractHtml(bytes, "blob.htm");
  EXPECT_EQ(page.title, "blob");
  EXPECT_EQ(page.body.find('\0'), std::string::npos);
}

TEST(ExtractHostileTest, ManyUnclosedTitlesAndTextAreas) {
  // Each unclosed one reads on as markup; looking for its end tag must not cost the rest of the
  // page every time.
  std::string html = "<title>T</title>";
  for (int i = 0; i < 100000; ++i) html += "<textarea>a<title>";
  PageText page = ExtractHtml(html, "a.htm");
  EXPECT_EQ(page.title, "T");
  EXPECT_EQ(page.body.size(), 100000u * 2 - 1);  // "a a a ... a"
}

TEST(ExtractHostileTest, UnterminatedCommentAndScript) {
  EXPECT_EQ(ExtractHtml("<p>kept</p><!-- never closed <p>lost", "a.htm").body, "kept");
  EXPECT_EQ(ExtractHtml("<p>kept</p><script>never closed <p>lost", "a.htm").body, "kept");
}

}  // namespace
}  // namespace dizode
