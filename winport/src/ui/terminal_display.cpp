// @brief The terminal display.
//
// A dialog is drawn as a box of lines at the cursor and redrawn in place: each
// repaint moves the cursor back up over the lines it drew and rewrites them,
// so nothing scrolls. When the dialog ends its lines are cleared and the
// cursor is left where the box began. Keys are read without echo while the
// dialog runs; keys typed during its work are left for the program or shell
// that reads the terminal next, as a line typed ahead at a busy shell is.
#include "winport/src/ui/terminal_display.h"

#include <strings.h>
#include <termios.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

#include "winport/api/ui.h"
#include "winport/src/ui/geometry.h"
#include "winport/src/ui/terminal_keys.h"
#include "winport/src/ui/terminal_layout.h"
#include "winport/terminal_size.h"

namespace winport::ui {
namespace {

struct Button {
  int m_id;
  const char* m_label;
  char m_key;
};

std::vector<Button> ButtonsOf(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
      return {{IDOK, "OK", 'o'}, {IDCANCEL, "Cancel", 'c'}};
    case MB_ABORTRETRYIGNORE:
      return {{IDABORT, "Abort", 'a'}, {IDRETRY, "Retry", 'r'}, {IDIGNORE, "Ignore", 'i'}};
    case MB_YESNOCANCEL:
      return {{IDYES, "Yes", 'y'}, {IDNO, "No", 'n'}, {IDCANCEL, "Cancel", 'c'}};
    case MB_YESNO:
      return {{IDYES, "Yes", 'y'}, {IDNO, "No", 'n'}};
    case MB_RETRYCANCEL:
      return {{IDRETRY, "Retry", 'r'}, {IDCANCEL, "Cancel", 'c'}};
    case MB_CANCELTRYCONTINUE:
      return {
          {IDCANCEL, "Cancel", 'c'}, {IDTRYAGAIN, "Try Again", 't'}, {IDCONTINUE, "Continue", 'o'}};
    default:
      return {{IDOK, "OK", 'o'}};
  }
}

// The message box's icon, as a mark before its caption.
std::string IconMark(UINT type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONQUESTION:
      return "(?) ";
    case MB_ICONEXCLAMATION:
      return "(!) ";
    case MB_ICONHAND:
      return "(x) ";
    case MB_ICONASTERISK:
      return "(i) ";
    default:
      return "";
  }
}

void WriteAll(const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    ssize_t written = write(STDERR_FILENO, text.data() + done, text.size() - done);
    if (written <= 0) return;
    done += static_cast<std::size_t>(written);
  }
}

bool UnicodeTerminal() {
  for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') continue;
    std::string lowered(value);
    for (char& c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lowered.find("utf-8") != std::string::npos || lowered.find("utf8") != std::string::npos;
  }
  return false;
}

struct Cells {
  int m_columns = 80;
  int m_rows = 24;
};

// The terminal the box is drawn on, 80 x 24 when it does not say.
Cells TerminalSize() {
  Cells size;
  WinportTerminalSize(STDERR_FILENO, &size.m_columns, &size.m_rows);
  return size;
}

std::string CursorUp(int lines) {
  return lines > 0 ? "\x1b[" + std::to_string(lines) + "A\r" : "\r";
}

// From just below a box of `lines` lines: blanks them and leaves the cursor
// where the box began.
std::string EraseBox(int lines) {
  std::string text = CursorUp(lines);
  for (int i = 0; i < lines; ++i) text += "\x1b[2K\n";
  return text + CursorUp(lines);
}

}  // namespace

int TerminalDisplay::AskMessageBox(const MessageBoxRequest& request) {
  std::vector<Button> buttons = ButtonsOf(request.m_type);
  std::size_t defaultIndex = (request.m_type & MB_DEFMASK) >> 8;
  if (defaultIndex >= buttons.size()) defaultIndex = 0;
  int width = std::min(76, TerminalSize().m_columns - 4);

  std::string text = "\n\x1b[1m" + IconMark(request.m_type) + request.m_caption + "\x1b[0m\n";
  for (const std::string& line : WrapText(request.m_text, width)) text += "  " + line + "\n";
  text += "  ";
  for (const Button& button : buttons) {
    text += std::string("(") + button.m_key + ") " + button.m_label + "   ";
  }
  text += std::string("[Enter: ") + buttons[defaultIndex].m_label + "] ";
  WriteAll(text);

  int answer = 0;
  {
    RawTerminalMode mode(STDIN_FILENO, InterruptKey::kIsKey);
    while (answer == 0) {
      KeyPress press = ReadKey(STDIN_FILENO, -1);
      if (press.m_key == TerminalKey::kEnter) {
        answer = buttons[defaultIndex].m_id;
      } else if (press.m_key == TerminalKey::kOther) {
        char key = static_cast<char>(std::tolower(static_cast<unsigned char>(press.m_character)));
        for (const Button& button : buttons) {
          if (button.m_key == key) answer = button.m_id;
        }
      } else if (press.m_key != TerminalKey::kWoken) {
        break;  // Escape, Ctrl-C or the end of input: the cautious answer
      }
    }
  }
  std::string chosen = "no answer";
  for (const Button& button : buttons) {
    if (button.m_id == answer) chosen = button.m_label;
  }
  WriteAll(chosen + "\n");
  return answer;
}

void TerminalDisplay::DialogStarted(HWND dialog) {
  if (m_dialog != nullptr) return;  // one dialog on the terminal at a time
  m_dialog = dialog;
  m_linesDrawn = 0;
  m_bar = BarMemory();
  m_mode = std::make_unique<RawTerminalMode>(STDIN_FILENO, InterruptKey::kInterrupts);
  WriteAll("\x1b[?25l");  // no cursor blinking inside the box
}

std::string TerminalDisplay::UpOverBox(int columns) const {
  const int rows = RowsAfterResize(m_linesDrawn, m_drawnWidth, columns);
  // A terminal narrowed under the box has wrapped its lines onto more rows:
  // up over all of them, and clear what the wrapping left below.
  return rows > m_linesDrawn ? CursorUp(rows) + "\x1b[J" : CursorUp(m_linesDrawn);
}

void TerminalDisplay::Paint(const WinportPaintSnapshot& snapshot) {
  if (snapshot.m_dialog != m_dialog) return;
  const int columns = TerminalSize().m_columns;
  int width = TerminalBoxWidth(snapshot.m_window, columns);
  std::vector<std::string> lines = LayoutDialog(snapshot, width, UnicodeTerminal(), &m_bar);
  std::string text = UpOverBox(columns);
  for (const std::string& line : lines) text += "\x1b[2K" + line + "\r\n";
  // A box that shrank leaves no stale lines below it.
  for (int extra = static_cast<int>(lines.size()); extra < m_linesDrawn; ++extra) {
    text += "\x1b[2K\r\n";
  }
  int drawn = std::max(m_linesDrawn, static_cast<int>(lines.size()));
  text += CursorUp(drawn - static_cast<int>(lines.size()));
  WriteAll(text);
  m_linesDrawn = static_cast<int>(lines.size());
  m_drawnWidth = width;
  if (m_mode) m_mode->SetFarewell(EraseBox(m_linesDrawn));
}

void TerminalDisplay::DialogEnded(HWND dialog) {
  if (dialog != m_dialog) return;
  const int columns = TerminalSize().m_columns;
  const bool wrapped = RowsAfterResize(m_linesDrawn, m_drawnWidth, columns) > m_linesDrawn;
  WriteAll((wrapped ? UpOverBox(columns) : EraseBox(m_linesDrawn)) + "\x1b[?25h");
  m_mode.reset();
  m_dialog = nullptr;
  m_linesDrawn = 0;
}

InputEvent TerminalDisplay::WaitInput(int wakeFd) {
  for (;;) {
    KeyPress press = ReadKey(STDIN_FILENO, wakeFd);
    switch (press.m_key) {
      case TerminalKey::kWoken:
        return InputEvent::kWoken;
      case TerminalKey::kEnter:
        return InputEvent::kEnter;
      case TerminalKey::kEscape:
        return InputEvent::kEscape;
      case TerminalKey::kInterrupt:
        return InputEvent::kClose;
      case TerminalKey::kEnd:
        return InputEvent::kNone;  // nobody left to answer: close, then end
      case TerminalKey::kOther:
        break;
    }
  }
}

SIZE_T TerminalDisplay::ScreenWidth() const {
  return static_cast<SIZE_T>(TerminalSize().m_columns) * kBaseUnitX;
}

SIZE_T TerminalDisplay::ScreenHeight() const {
  return static_cast<SIZE_T>(TerminalSize().m_rows) * kBaseUnitY;
}

}  // namespace winport::ui
