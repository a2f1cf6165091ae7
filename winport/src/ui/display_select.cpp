// @brief Choosing the display: a script, a forced choice, or the environment.
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <mutex>

#include "winport/api/ui.h"
#include "winport/src/ui/display.h"
#include "winport/src/ui/headless_display.h"
#include "winport/src/ui/terminal_display.h"

namespace winport::ui {
namespace {

struct Selection {
  std::mutex m_mutex;
  Display* m_script = nullptr;
  bool m_chosen = false;
  WinportDisplayKind m_kind = WinportDisplayKind::kHeadless;
};

Selection& CurrentSelection() {
  static auto* selection = new Selection();
  return *selection;
}

WinportDisplayKind ChooseFromEnvironment() {
  if (const char* forced = std::getenv("ZVV_DISPLAY")) {
    if (std::strcmp(forced, "terminal") == 0) return WinportDisplayKind::kTerminal;
    if (std::strcmp(forced, "headless") == 0) return WinportDisplayKind::kHeadless;
  }
  const char* term = std::getenv("TERM");
  bool capable = term != nullptr && *term != '\0' && std::strcmp(term, "dumb") != 0;
  return capable && isatty(STDIN_FILENO) && isatty(STDERR_FILENO) ? WinportDisplayKind::kTerminal
                                                                  : WinportDisplayKind::kHeadless;
}

WinportDisplayKind ChosenKind(Selection& selection) {
  if (!selection.m_chosen) {
    selection.m_kind = ChooseFromEnvironment();
    selection.m_chosen = true;
  }
  return selection.m_kind;
}

}  // namespace

Display& CurrentDisplay() {
  static auto* headless = new HeadlessDisplay();
  static auto* terminal = new TerminalDisplay();
  Selection& selection = CurrentSelection();
  std::lock_guard lock(selection.m_mutex);
  if (selection.m_script != nullptr) return *selection.m_script;
  return ChosenKind(selection) == WinportDisplayKind::kTerminal ? static_cast<Display&>(*terminal)
                                                                : *headless;
}

void SetScriptedDisplay(Display* display) {
  Selection& selection = CurrentSelection();
  std::lock_guard lock(selection.m_mutex);
  selection.m_script = display;
}

int CautiousAnswer(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OK:
      return IDOK;
    case MB_YESNO:
      return IDNO;
    case MB_ABORTRETRYIGNORE:
      return IDABORT;
    default:  // every other set has a Cancel button
      return IDCANCEL;
  }
}

}  // namespace winport::ui

void WinportSetDisplay(WinportDisplayKind kind) {
  winport::ui::Selection& selection = winport::ui::CurrentSelection();
  std::lock_guard lock(selection.m_mutex);
  selection.m_kind = kind;
  selection.m_chosen = true;
}

WinportDisplayKind WinportCurrentDisplay() {
  winport::ui::Selection& selection = winport::ui::CurrentSelection();
  std::lock_guard lock(selection.m_mutex);
  return winport::ui::ChosenKind(selection);
}
