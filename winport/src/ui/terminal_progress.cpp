// @brief The terminal's progress bar: counts, shares and the bar's line.
#include "winport/src/ui/terminal_progress.h"

#include <algorithm>
#include <cctype>

#include "winport/api/ui.h"

namespace winport::ui {
namespace {

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// Reads the number that ends text[0, end) backwards; false when none does.
// The digits' start is left in `end`.
bool NumberBefore(const std::string& text, std::size_t& end, long long& value) {
  std::size_t start = end;
  while (start > 0 && IsDigit(text[start - 1])) --start;
  if (start == end || end - start > 12) return false;
  value = std::stoll(text.substr(start, end - start));
  end = start;
  return true;
}

// Steps back over blanks; false when there were none.
bool BlanksBefore(const std::string& text, std::size_t& end) {
  const std::size_t before = end;
  while (end > 0 && text[end - 1] == ' ') --end;
  return end < before;
}

}  // namespace

bool ReadCount(const std::string& text, Count* count) {
  std::size_t end = text.find_last_not_of(' ');
  if (end == std::string::npos) return false;
  ++end;
  Count read;
  if (!NumberBefore(text, end, read.m_total) || !BlanksBefore(text, end)) return false;
  if (end < 2 || text.compare(end - 2, 2, "of") != 0) return false;
  end -= 2;
  if (!BlanksBefore(text, end) || !NumberBefore(text, end, read.m_done)) return false;
  if (end > 0 && text[end - 1] != ' ') return false;  // "D12" is a name, not a count
  if (read.m_done <= 0 || read.m_done > read.m_total) return false;
  BlanksBefore(text, end);
  read.m_label = text.substr(0, end);
  *count = read;
  return true;
}

std::string CountText(const Count& count) {
  return (count.m_label.empty() ? "" : count.m_label + " ") + std::to_string(count.m_done) +
         " of " + std::to_string(count.m_total);
}

int BarPermille(const WinportPaintSnapshot& snapshot, const WinportControlState& bar,
                BarMemory* memory) {
  int permille = 0;
  Count count;
  const auto counting = std::find_if(
      snapshot.m_controls.begin(), snapshot.m_controls.end(), [&](const WinportControlState& c) {
        return c.m_visible && c.m_className != PROGRESS_CLASSA && ReadCount(c.m_text, &count);
      });
  if (counting != snapshot.m_controls.end()) {
    permille = static_cast<int>(count.m_done * kBarWhole / count.m_total);
  } else {
    const long long span = static_cast<long long>(bar.m_max) - bar.m_min;
    const long long done =
        std::clamp<long long>(static_cast<long long>(bar.m_pos) - bar.m_min, 0, span);
    permille = span > 0 ? static_cast<int>(done * kBarWhole / span) : 0;
  }
  if (memory != nullptr) {
    permille = std::max(permille, memory->m_permille);
    memory->m_permille = permille;
  }
  return permille;
}

}  // namespace winport::ui
