// @brief The attribute cap keeps ordinary markup intact and cuts only over-long tags.
#include "tag_guard.h"

#include <gtest/gtest.h>

namespace dizode {
namespace {

std::string FilterInChunks(const std::string& in, size_t chunk) {
  TagGuard guard;
  std::string out;
  for (size_t at = 0; at < in.size(); at += chunk) guard.Filter(in.substr(at, chunk), out);
  return out;
}

std::string TagWithAttributes(int count) {
  std::string tag = "<p";
  for (int i = 0; i < count; ++i) tag += " a" + std::to_string(i) + "='x>y'";
  return tag + ">";
}

TEST(TagGuardTest, OrdinaryMarkupUnchangedWhateverTheChunking) {
  const std::string html =
      "<p class=\"a\" id=b data-x='1 > 0'>x < y</p><!-- <a b c> --><img alt=pic/>";
  for (size_t chunk : {1u, 3u, 7u, 1000u}) EXPECT_EQ(FilterInChunks(html, chunk), html) << chunk;
}

TEST(TagGuardTest, TagAtTheLimitIsKept) {
  std::string tag = TagWithAttributes(TagGuard::kMaxAttributes);
  EXPECT_EQ(FilterInChunks(tag + "text", 5), tag + "text");
}

TEST(TagGuardTest, AttributesPastTheLimitAreDropped) {
  std::string kept = TagWithAttributes(TagGuard::kMaxAttributes);
  kept.pop_back();  // its '>'
  std::string out = FilterInChunks(TagWithAttributes(1000) + "text</p>", 64);
  EXPECT_EQ(out, kept + " >text</p>");
}

}  // namespace
}  // namespace dizode
