// What the extractor gathers of a page beside its text: the links to other pages with their
// text and the pages they name, the sections its headings open and where they lie among the
// index positions, and the name its title gives it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "html_text.h"
#include "link_target.h"
#include "section_bounds.h"
#include "text/token_positions.h"
#include "title_names.h"

namespace dizode {
namespace {

TEST(PageLinks, KeepsLinksThatCanNameAPageOfTheHelpWithTheirText) {
  const PageText page = ExtractHtml(
      "<p>See <a href='setup.htm'>the <b>setup</b>  page</a>, "
      "<a href=\"../faq/a%20b.htm#top\">FAQ</a>, <a href='#here'>here</a>, "
      "<a href='http://example.com/x.htm'>out</a>, <a href='mailto:x@y'>mail</a>, "
      "<a href='/etc/x.htm'>rooted</a>, <a href='//host/x.htm'>host</a>, "
      "<a href='pic.htm'><img alt='Picture'></a>, <a name='anchor'>no target</a>.",
      "page.htm");
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"setup.htm", "the setup page"}, {"../faq/a%20b.htm#top", "FAQ"}, {"pic.htm", "Picture"}};
  ASSERT_EQ(page.links.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(page.links[i].href, expected[i].first);
    EXPECT_EQ(page.links[i].text, expected[i].second);
  }
}

TEST(PageLinks, TargetsResolveAgainstTheLinkingPage) {
  struct Case {
    const char* source;
    const char* href;
    const char* target;  // empty: names no page
  };
  const Case cases[] = {
      {"/h/Help/guide/a.htm", "b.htm", "/h/Help/guide/b.htm"},
      {"/h/Help/guide/a.htm", "./b.htm#part?x", "/h/Help/guide/b.htm"},
      {"/h/Help/guide/a.htm", "../faq/c%20d.htm?q=1", "/h/Help/faq/c d.htm"},
      {"/h/Help/guide/a.htm", "x/../y//z.htm", "/h/Help/guide/y/z.htm"},
      {"/h/Help/guide/a.htm", "a.htm#elsewhere", ""},  // the page itself
      {"/h/Help/guide/a.htm", "#top", ""},
      {"/h/a.htm", "../../../x.htm", ""},  // above the root
      {"C:\\App\\Help\\a.htm", "sub/b.htm", "C:\\App\\Help\\sub\\b.htm"},
      {"C:\\App\\Help\\a.htm", "../b.htm", "C:\\App\\b.htm"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LinkTarget(c.source, c.href), c.target) << c.source << " " << c.href;
  }
}

TEST(PageSections, HeadingsOpenSectionsWithTheirAnchors) {
  const PageText page = ExtractHtml(
      "<title>T</title><p>intro words</p>"
      "<section id='first'>\n<h2>First ¶</h2><p>one two</p></section>"
      "<h3><a name='second'></a>Second <a class='headerlink' href='#second'>#</a></h3><p>three</p>"
      "<a id='lost'></a><p>text between</p><h2>Third</h2>"
      "<h4 id='fourth'>Fourth</h4><p>four</p>",
      "page.htm");
  struct Expected {
    const char* heading;
    const char* anchor;
    bool inHeads;  // h1 to h3: the heading text is in the headings field
  };
  const Expected expected[] = {{"First", "first", true},
                               {"Second", "second", true},
                               {"Third", "", true},
                               {"Fourth", "fourth", false}};
  ASSERT_EQ(page.sections.size(), std::size(expected));
  for (size_t i = 0; i < page.sections.size(); ++i) {
    const PageSection& section = page.sections[i];
    SCOPED_TRACE(expected[i].heading);
    EXPECT_EQ(section.heading, expected[i].heading);
    EXPECT_EQ(section.anchor, expected[i].anchor);
    EXPECT_EQ(section.headsEnd > section.headsBegin, expected[i].inHeads);
    const std::string_view heads(page.heads);
    if (expected[i].inHeads) {
      EXPECT_NE(heads.substr(section.headsBegin, section.headsEnd - section.headsBegin)
                    .find(expected[i].heading),
                std::string::npos);
    }
  }
  // Each section's text starts where the one before ends, a blank apart at most.
  const auto textOf = [&](size_t i) {
    const size_t begin = page.sections[i].bodyBegin;
    return page.body.substr(begin + (page.body[begin] == ' ' ? 1 : 0), 7);
  };
  EXPECT_EQ(textOf(0), "one two");
  EXPECT_EQ(textOf(3), "Fourth ");
}

TEST(PageSections, BoundsSurviveTheirStoredForm) {
  const std::vector<std::vector<SectionBounds>> lists = {
      {},
      {{0, 2, 0}},
      {{0, 2, 5}, {2, 4, 300}, {4, 4, 100000}, {9, 12, 100001}},
  };
  for (const auto& list : lists) {
    EXPECT_EQ(DecodeSections(EncodeSections(list)), list);
  }
  // A cut or damaged value gives what it holds whole, never more.
  const std::string encoded = EncodeSections(lists[2]);
  EXPECT_EQ(DecodeSections(std::string_view(encoded).substr(0, encoded.size() - 1)).size(), 3u);
  EXPECT_TRUE(DecodeSections("\xff\xff\xff\xff\xff\xff").empty());
}

TEST(PageSections, OffsetsFallBetweenPositions) {
  // Positions: foo.bar holds two (its parts), e-mail two, 日本 two grams.
  const std::string text = "alpha foo.bar e-mail 日本 omega";
  const std::vector<uint32_t> offsets = {0, 1, 6, 14, 21, 28, 29, 1000};
  const std::vector<uint32_t> expected = {0, 1, 1, 3, 5, 7, 8, 8};
  text::Analysis scratch;
  EXPECT_EQ(text::PositionsAt(text, text::PreparedTokens(), offsets, scratch), expected);
  text::PreparedTokens prepared;
  text::TokenPreparer("english").Prepare(text, prepared);
  EXPECT_EQ(text::PositionsAt(text, prepared, offsets, scratch), expected);
}

TEST(TitleNames, TheWordsThatEndMostTitlesAreTheHelpsNotThePages) {
  const std::vector<std::string> titles = {"install cmake 3 25 documentation",
                                           "project cmake 3 25 documentation",
                                           "add library cmake 3 25 documentation",
                                           "option cmake 3 25 documentation",
                                           "cmake 3 25 documentation",
                                           "release notes",
                                           "find package cmake 3 25 documentation"};
  const std::string suffix = CommonTitleSuffix(titles);
  EXPECT_EQ(suffix, "cmake 3 25 documentation");
  struct Case {
    const char* title;
    int64_t name;
  };
  const Case cases[] = {{"add library cmake 3 25 documentation", 2},
                        {"cmake 3 25 documentation", 0},  // all of it: the whole title
                        {"release notes", 0},
                        {"xcmake 3 25 documentation", 0}};  // not on a word's edge
  for (const Case& c : cases) EXPECT_EQ(NameInTitle(c.title, suffix), c.name) << c.title;
  // Too few pages, or no suffix shared by half of them: none.
  EXPECT_EQ(CommonTitleSuffix({"a x", "b x", "c x", "d x"}), "");
  EXPECT_EQ(CommonTitleSuffix({"a x", "b x", "c x", "d x", "e y", "f y", "g z", "h z"}), "");
}

}  // namespace
}  // namespace dizode
