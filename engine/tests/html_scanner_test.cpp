// @brief The tokenizer's reading of markup: what is a tag, what is text, what is skipped.
#include "html_scanner.h"

#include <gtest/gtest.h>

#include <string>

#include "ascii.h"

namespace dizode::html {
namespace {

// Writes the events as one line: <name a="v"> for a start (values decoded), </name> for an end,
// text as is, so each case reads as the markup the tokenizer saw.
class Recorder final : public Sink {
 public:
  std::string events;

  void Start(const StartTag& tag) override {
    events += "<" + std::string(tag.name);
    for (const AttributeSpan& attribute : tag.attributes) {
      std::string value;
      EXPECT_TRUE(tag.Attribute(ascii::Lower(attribute.name), value));
      events += " " + std::string(attribute.name) + "=\"" + value + "\"";
    }
    events += tag.selfClosing ? "/>" : ">";
  }
  void End(std::string_view name) override { events += "</" + std::string(name) + ">"; }
  void Text(std::string_view text) override { events += text; }
};

std::string Events(std::string_view page) {
  Recorder recorder;
  Scan(page, recorder);
  return recorder.events;
}

TEST(HtmlScannerTest, TagsAndAttributes) {
  EXPECT_EQ(Events("<P Class=x ID='a b' data-n = \"1>2\" hidden>t</P >"),
            "<p Class=\"x\" ID=\"a b\" data-n=\"1>2\" hidden=\"\">t</p>");
  EXPECT_EQ(Events("<br/><img src=a.png alt=\"A &amp; B\" />"),
            "<br/><img src=\"a.png\" alt=\"A & B\"/>");
  EXPECT_EQ(Events("<a href=x/y>t</a>"), "<a href=\"x/y\">t</a>");
}

TEST(HtmlScannerTest, WhatIsNotATagIsText) {
  EXPECT_EQ(Events("a < b and c<3 and <>"), "a < b and c<3 and <>");
  EXPECT_EQ(Events("x</>y</ p>z"), "xyz");  // an empty end tag and a bogus comment vanish
}

TEST(HtmlScannerTest, CommentsDeclarationsAndInstructionsAreSkipped) {
  EXPECT_EQ(Events("<!DOCTYPE html>a<!-- <p>hidden</p> -->b<?xml x?>c<![CDATA[d]]>e"), "abce");
  EXPECT_EQ(Events("a<!-->b<!--->c"), "abc");
}

TEST(HtmlScannerTest, CharacterReferences) {
  EXPECT_EQ(Events("&lt;&amp;&gt; &eacute;&#233;&#xE9;&#XE9"),
            "<&> \xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9");
  // Old pages write windows-1252 quotes and dashes by number.
  EXPECT_EQ(Events("don&#146;t &#150;"), "don\xE2\x80\x99t \xE2\x80\x93");
  // Impossible numbers become U+FFFD; what is no reference stays as written.
  EXPECT_EQ(Events("&#0;&#xD800;&#99999999999;"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(Events("&amp &unknown; & &#; &#x; AT&T"), "&amp &unknown; & &#; &#x; AT&T");
}

TEST(HtmlScannerTest, RawAndEscapableBodies) {
  EXPECT_EQ(Events("<script>if (a<b && c) x = '</p>';</script>t"),
            "<script>if (a<b && c) x = '</p>';</script>t");
  EXPECT_EQ(Events("<STYLE>p{}</style >t"), "<style>p{}</style>t");
  EXPECT_EQ(Events("<title>a <b> &amp; c</title>"), "<title>a <b> & c</title>");
  EXPECT_EQ(Events("<script src=\"a.js\"/><p>t"), "<script src=\"a.js\"/><p>t");
  // An unclosed title reads on as markup; an unclosed script hides the rest.
  EXPECT_EQ(Events("<title>a<p>b"), "<title>a<p>b");
  EXPECT_EQ(Events("<p>a<script>b<p>c"), "<p>a<script>");
}

TEST(HtmlScannerTest, MarkupCutOffByTheEndIsDropped) {
  EXPECT_EQ(Events("a<p class=\"x"), "a");
  EXPECT_EQ(Events("a<p class"), "a");
  EXPECT_EQ(Events("a</p"), "a");
  EXPECT_EQ(Events("a<!-- b"), "a");
}

TEST(HtmlScannerTest, AttributesBeyondTheCapAreIgnored) {
  std::string page = "<p";
  for (size_t i = 0; i < StartTag::kMaxAttributes + 10; ++i) page += " a" + std::to_string(i);
  page += " alt=late>";
  struct Counter final : Sink {
    size_t attributes = 0;
    bool sawLate = true;
    void Start(const StartTag& tag) override {
      attributes = tag.attributes.size();
      std::string value;
      sawLate = tag.Attribute("alt", value);
    }
    void End(std::string_view) override {}
    void Text(std::string_view) override {}
  } counter;
  Scan(page, counter);
  EXPECT_EQ(counter.attributes, StartTag::kMaxAttributes);
  EXPECT_FALSE(counter.sawLate);
}

}  // namespace
}  // namespace dizode::html
