// @brief Table and JSON output of hits.
#include "cli/output.h"

#include <algorithm>

#include "cli/json.h"
#include "cli/visible_text.h"

namespace zvv {
namespace {

constexpr const char* kBold = "\x1b[1m";
constexpr const char* kDim = "\x1b[2m";
constexpr const char* kReset = "\x1b[0m";
constexpr std::size_t kScoreWidth = 5;
constexpr std::size_t kGap = 2;
constexpr std::size_t kMaxTitleWidth = 48;
constexpr std::size_t kMinTitleWidth = 12;

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

std::string Padded(const std::string& text, std::size_t width) {
  const std::size_t shown = DisplayWidth(text);
  return shown >= width ? text : text + std::string(width - shown, ' ');
}

std::string HitCount(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " hit" : " hits");
}

std::string Summary(std::size_t shown, std::size_t total, const DirFilter& filter) {
  if (total == 0) return filter.m_hidden > 0 ? AllHiddenSummary(filter) : "No pages match";
  const std::string noun = total == 1 ? " hit" : " hits";
  if (shown == total) return std::to_string(total) + noun;
  return std::to_string(shown) + " of " + std::to_string(total) + noun + " shown";
}

}  // namespace

std::string AllHiddenSummary(const DirFilter& filter) {
  std::string text =
      HitCount(filter.m_hidden) + (filter.m_hidden == 1 ? ", " : ", all ") + "outside --dir ";
  for (std::size_t i = 0; i < filter.m_dirs.size(); ++i) {
    if (i > 0) text += " or ";
    text += VisibleText(filter.m_dirs[i]);
  }
  return text;
}

std::size_t DisplayWidth(const std::string& text) {
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return !IsContinuationByte(c); }));
}

std::string FitToWidth(const std::string& text, std::size_t width) {
  if (DisplayWidth(text) <= width) return text;
  if (width == 0) return {};
  std::string out;
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!IsContinuationByte(text[i]) && ++count == width) break;
    out += text[i];
  }
  return out + "\xE2\x80\xA6";  // U+2026 HORIZONTAL ELLIPSIS
}

void PrintHits(std::ostream& out, const std::vector<Hit>& hits, const OutputStyle& style,
               const DirFilter& filter) {
  const std::size_t shown = style.m_limit == 0 ? hits.size() : std::min(style.m_limit, hits.size());
  if (style.m_json) {
    for (std::size_t i = 0; i < shown; ++i) out << HitToJson(hits[i]) << '\n';
    out.flush();
    return;
  }

  std::size_t titleWidth = 0;
  for (std::size_t i = 0; i < shown; ++i) {
    titleWidth = std::max(titleWidth, DisplayWidth(VisibleText(hits[i].m_title)));
  }
  if (style.m_columns > 0) {
    // Leave the path at least a third of the line.
    const std::size_t room = style.m_columns > kScoreWidth + 2 * kGap
                                 ? (style.m_columns - kScoreWidth - 2 * kGap) * 2 / 3
                                 : kMinTitleWidth;
    titleWidth = std::min({titleWidth, kMaxTitleWidth, std::max(room, kMinTitleWidth)});
  }
  const std::string gap(kGap, ' ');
  for (std::size_t i = 0; i < shown; ++i) {
    const Hit& hit = hits[i];
    std::string score = hit.m_score;
    if (score.size() < kScoreWidth) score.insert(0, kScoreWidth - score.size(), ' ');
    const std::string visibleTitle = VisibleText(hit.m_title);
    const std::string path = VisibleText(hit.m_path);
    std::string title = style.m_columns > 0 ? FitToWidth(visibleTitle, titleWidth) : visibleTitle;
    title = Padded(title, titleWidth);
    if (style.m_colour) {
      out << kBold << score << kReset << gap << title << gap << kDim << path << kReset;
    } else {
      out << score << gap << title << gap << path;
    }
    out << '\n';
  }
  const std::string summary = Summary(shown, hits.size(), filter);
  if (style.m_colour) {
    out << kDim << summary << kReset << '\n';
  } else {
    out << summary << '\n';
  }
  out.flush();
}

}  // namespace zvv
