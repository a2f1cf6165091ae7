// @brief Text layout of a dialog for the terminal display.
#include "winport/src/ui/terminal_layout.h"

#include <algorithm>

#include "winport/api/ui.h"
#include "winport/src/ui/geometry.h"

namespace winport::ui {
namespace {

constexpr int kMultiLineRows = 3;

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The byte length of the first `columns` characters of `text`.
std::size_t PrefixBytes(const std::string& text, int columns) {
  std::size_t i = 0;
  for (int seen = 0; i < text.size(); ++i) {
    if (IsContinuationByte(text[i])) continue;
    if (seen++ == columns) break;
  }
  return i;
}

std::string Fit(const std::string& text, int width, DWORD align) {
  std::string fitted = text.substr(0, PrefixBytes(text, width));
  int spare = width - TextColumns(fitted);
  int before = (align == SS_CENTER) ? spare / 2 : (align == SS_RIGHT ? spare : 0);
  return std::string(before, ' ') + fitted + std::string(spare - before, ' ');
}

std::string Repeat(const char* piece, int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += piece;
  return out;
}

// "[####......]  40%" in `width` columns for a share in thousandths.
std::string ProgressLine(int permille, int width, bool unicode) {
  const int cells = std::max(1, width - 7);  // "[" + cells + "] 100%"
  const int filled = permille * cells / kBarWhole;
  std::string line = "[" + Repeat(unicode ? "\u2588" : "#", filled) +
                     Repeat(unicode ? "\u2591" : ".", cells - filled) + "]";
  const std::string number = std::to_string(permille * 100 / kBarWhole) + "%";
  return line + std::string(std::max<int>(1, 5 - static_cast<int>(number.size())), ' ') + number;
}

struct Band {
  LONG m_top;
  LONG m_bottom;
  std::vector<const WinportControlState*> m_controls;
  int Rows() const {
    for (const WinportControlState* control : m_controls) {
      if (control->m_className == "edit" && (control->m_style & ES_MULTILINE))
        return kMultiLineRows;
    }
    return 1;
  }
};

std::vector<Band> Bands(const WinportPaintSnapshot& snapshot) {
  std::vector<const WinportControlState*> controls;
  for (const WinportControlState& control : snapshot.m_controls) controls.push_back(&control);
  std::stable_sort(controls.begin(), controls.end(),
                   [](const auto* a, const auto* b) { return a->m_rect.top < b->m_rect.top; });
  std::vector<Band> bands;
  for (const WinportControlState* control : controls) {
    if (!bands.empty() && control->m_rect.top < bands.back().m_bottom) {
      bands.back().m_bottom = std::max(bands.back().m_bottom, control->m_rect.bottom);
      bands.back().m_controls.push_back(control);
    } else {
      bands.push_back(Band{control->m_rect.top, control->m_rect.bottom, {control}});
    }
  }
  return bands;
}

// What a band shows on `width` columns; `snapshot` and `bar` serve the progress bar.
std::vector<std::string> BandLines(const Band& band, int width, bool unicode,
                                   const WinportPaintSnapshot& snapshot, BarMemory* bar) {
  std::vector<std::string> lines;
  auto visible =
      std::find_if(band.m_controls.begin(), band.m_controls.end(),
                   [](const WinportControlState* control) { return control->m_visible; });
  if (visible != band.m_controls.end()) {
    const WinportControlState* shown = *visible;
    DWORD align = shown->m_style & (SS_CENTER | SS_RIGHT);
    if (shown->m_className == PROGRESS_CLASSA) {
      lines.push_back(ProgressLine(BarPermille(snapshot, *shown, bar), width, unicode));
    } else if (shown->m_className == "button") {
      lines.push_back(Fit("[ " + shown->m_text + " ]", width, SS_CENTER));
    } else {
      Count count;
      const bool counting = ReadCount(shown->m_text, &count);
      for (const std::string& line : WrapText(counting ? CountText(count) : shown->m_text, width)) {
        lines.push_back(Fit(line, width, align));
      }
    }
  }
  lines.resize(static_cast<std::size_t>(band.Rows()), std::string());
  for (std::string& line : lines) {
    if (line.empty()) line = std::string(width, ' ');
  }
  return lines;
}

}  // namespace

int TextColumns(const std::string& text) {
  return static_cast<int>(
      std::count_if(text.begin(), text.end(), [](char c) { return !IsContinuationByte(c); }));
}

std::vector<std::string> WrapText(const std::string& text, int width) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    std::string paragraph = text.substr(start, end == std::string::npos ? end : end - start);
    if (!paragraph.empty() && paragraph.back() == '\r') paragraph.pop_back();
    while (TextColumns(paragraph) > width) {
      std::size_t cut = PrefixBytes(paragraph, width);
      std::size_t blank = paragraph.rfind(' ', cut);
      std::size_t split = (blank != std::string::npos && blank > 0) ? blank : cut;
      lines.push_back(paragraph.substr(0, split));
      paragraph.erase(0, split);
      if (!paragraph.empty() && paragraph.front() == ' ') paragraph.erase(0, 1);
    }
    lines.push_back(paragraph);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

int RowsAfterResize(int lines, int drawnWidth, int columns) {
  if (columns <= 0 || drawnWidth <= columns) return lines;
  return lines * ((drawnWidth + columns - 1) / columns);
}

int TerminalBoxWidth(const RECT& window, int columns) {
  int wanted = static_cast<int>((window.right - window.left) / kBaseUnitX);
  return std::max(12, std::min(wanted, columns - 1));
}

std::vector<std::string> LayoutDialog(const WinportPaintSnapshot& snapshot, int width, bool unicode,
                                      BarMemory* bar) {
  int inner = width - 4;  // border and one blank on each side
  const char* horizontal = unicode ? "\u2500" : "-";
  const char* vertical = unicode ? "\u2502" : "|";
  std::string title = snapshot.m_caption.substr(0, PrefixBytes(snapshot.m_caption, width - 6));
  std::vector<std::string> lines;
  lines.push_back(std::string(unicode ? "\u250c" : "+") + horizontal + " " + title + " " +
                  Repeat(horizontal, width - 5 - TextColumns(title)) + (unicode ? "\u2510" : "+"));
  for (const Band& band : Bands(snapshot)) {
    for (const std::string& line : BandLines(band, inner, unicode, snapshot, bar)) {
      lines.push_back(std::string(vertical) + " " + line + " " + vertical);
    }
  }
  lines.push_back(std::string(unicode ? "\u2514" : "+") + Repeat(horizontal, width - 2) +
                  (unicode ? "\u2518" : "+"));
  return lines;
}

}  // namespace winport::ui
