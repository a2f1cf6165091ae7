// @brief Table and JSON output of hits.
#include "cli/output.h"

#include <algorithm>

#include "cli/display_width.h"
#include "cli/json.h"
#include "cli/visible_text.h"

namespace zvv {
namespace {

constexpr const char* kBold = "\x1b[1m";
constexpr const char* kDim = "\x1b[2m";
constexpr const char* kReset = "\x1b[0m";
constexpr std::size_t kScoreWidth = 5;
constexpr std::size_t kGap = 2;
constexpr std::size_t kMinTitleWidth = 12;

std::string Padded(const std::string& text, std::size_t width) {
  const std::size_t shown = DisplayWidth(text);
  return shown >= width ? text : text + std::string(width - shown, ' ');
}

// Columns a title may take on a line of `columns`: what the score, the gaps
// and the longest path leave, but never fewer than kMinTitleWidth (a path too
// long for that runs on past the edge rather than squeezing titles to nothing).
std::size_t TitleRoom(std::size_t columns, std::size_t pathWidth) {
  const std::size_t taken = kScoreWidth + 2 * kGap + pathWidth;
  return columns > taken ? std::max(kMinTitleWidth, columns - taken) : kMinTitleWidth;
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

void PrintHits(std::ostream& out, const std::vector<Hit>& hits, const OutputStyle& style,
               const DirFilter& filter) {
  const std::size_t shown = style.m_limit == 0 ? hits.size() : std::min(style.m_limit, hits.size());
  if (style.m_json) {
    for (std::size_t i = 0; i < shown; ++i) out << HitToJson(hits[i]) << '\n';
    out.flush();
    return;
  }

  std::size_t titleWidth = 0;
  std::size_t pathWidth = 0;
  for (std::size_t i = 0; i < shown; ++i) {
    titleWidth = std::max(titleWidth, DisplayWidth(VisibleText(hits[i].m_title)));
    pathWidth = std::max(pathWidth, DisplayWidth(VisibleText(hits[i].m_path)));
  }
  if (style.m_columns > 0) titleWidth = std::min(titleWidth, TitleRoom(style.m_columns, pathWidth));
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
