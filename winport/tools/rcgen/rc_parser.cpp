// @brief The statements of resource scripts.
#include "winport/tools/rcgen/rc_parser.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "winport/api/ui.h"
#include "winport/tools/rcgen/rc_lexer.h"
#include "winport/tools/rcgen/style_names.h"

namespace rcgen {
namespace {

class Parser {
 public:
  Parser(std::vector<Token> tokens, Script* script)
      : m_tokens(std::move(tokens)), m_script(script) {}

  void Statements() {
    while (Peek().m_kind != Token::kEnd) Statement();
  }

 private:
  const Token& Peek(std::size_t ahead = 0) const {
    return m_tokens[std::min(m_at + ahead, m_tokens.size() - 1)];
  }
  const Token& Next() {
    const Token& token = Peek();
    if (m_at < m_tokens.size() - 1) ++m_at;
    return token;
  }
  [[noreturn]] void Fail(const std::string& message) const {
    throw ScriptError{Peek().m_file, Peek().m_line, message};
  }
  // For something missing: the place is the end of what came before it.
  [[noreturn]] void FailAfter(const std::string& message) const {
    const Token& previous = m_at > 0 ? m_tokens[m_at - 1] : Peek();
    throw ScriptError{previous.m_file, previous.m_line, message};
  }
  bool IsWord(const char* word, std::size_t ahead = 0) const {
    return Peek(ahead).m_kind == Token::kIdentifier && Peek(ahead).m_text == word;
  }
  bool IsPunctuation(const char* text) const {
    return Peek().m_kind == Token::kPunctuation && Peek().m_text == text;
  }
  bool Accept(const char* text) {
    if (!IsPunctuation(text)) return false;
    Next();
    return true;
  }
  void Expect(const char* text) {
    if (!Accept(text)) FailAfter(std::string("expected '") + text + "'");
  }
  bool AcceptBegin() {
    if (IsWord("BEGIN") || IsPunctuation("{")) {
      Next();
      return true;
    }
    return false;
  }
  bool AcceptEnd() {
    if (IsWord("END") || IsPunctuation("}")) {
      Next();
      return true;
    }
    return false;
  }
  std::string String() {
    if (Peek().m_kind != Token::kString) Fail("expected a quoted text");
    return Next().m_text;
  }

  // A numeric expression: terms joined by |, + and -.
  uint32_t Number() {
    uint32_t value = Term();
    for (;;) {
      if (Accept("|")) {
        value |= Term();
      } else if (Accept("+")) {
        value += Term();
      } else if (Accept("-")) {
        value -= Term();
      } else {
        return value;
      }
    }
  }
  uint32_t Term() {
    if (Accept("-")) return 0u - Term();
    if (Accept("~")) return ~Term();
    if (Accept("(")) {
      uint32_t value = Number();
      Expect(")");
      return value;
    }
    if (Peek().m_kind == Token::kNumber) return Next().m_value;
    if (Peek().m_kind == Token::kIdentifier) {
      if (std::optional<uint32_t> value = StyleValue(Peek().m_text)) {
        Next();
        return *value;
      }
      Fail("unknown name '" + Peek().m_text + "'");
    }
    Fail("expected a number");
  }
  int Int() { return static_cast<int>(Number()); }

  // A style: the defaults, plus each term, minus each NOT term.
  uint32_t Style(uint32_t value) {
    do {
      if (IsWord("NOT")) {
        Next();
        value &= ~Term();
      } else {
        value |= Term();
      }
    } while (Accept("|"));
    return value;
  }

  ResourceName Name() {
    ResourceName name;
    if (Peek().m_kind == Token::kNumber) {
      uint32_t id = Number();
      if (id > 0xFFFF) Fail("resource ids are 16-bit");
      name.m_id = static_cast<uint16_t>(id);
    } else if (Peek().m_kind == Token::kIdentifier || Peek().m_kind == Token::kString) {
      name.m_text = Next().m_text;
    } else {
      Fail("expected a resource name");
    }
    return name;
  }

  void Statement() {
    if (IsWord("LANGUAGE")) {
      Next();
      Number();
      Expect(",");
      Number();
      return;
    }
    if (IsWord("STRINGTABLE")) {
      Next();
      StringTable();
      return;
    }
    ResourceName name = Name();
    if (IsWord("DIALOG") || IsWord("DIALOGEX")) {
      bool extended = Next().m_text == "DIALOGEX";
      DialogStatement(std::move(name), extended);
      return;
    }
    if (IsWord("VERSIONINFO")) {
      Next();
      SkipVersionInfo();
      return;
    }
    if (Peek().m_kind == Token::kIdentifier || Peek().m_kind == Token::kNumber) {
      FileResource(std::move(name));
      return;
    }
    Fail("expected a resource type after the resource name");
  }

  // The version block describes the file to Windows tools; a module on this
  // platform carries no version resource, so the block is only checked for
  // balanced BEGIN and END.
  void SkipVersionInfo() {
    while (!AcceptBegin()) {
      if (Peek().m_kind == Token::kEnd) Fail("VERSIONINFO without BEGIN");
      Next();
    }
    for (int depth = 1; depth > 0;) {
      if (Peek().m_kind == Token::kEnd) Fail("VERSIONINFO without END");
      if (AcceptBegin()) {
        ++depth;
      } else if (AcceptEnd()) {
        --depth;
      } else {
        Next();
      }
    }
  }

  void SkipOptions() {
    // LANGUAGE, CHARACTERISTICS and VERSION before BEGIN change nothing here.
    while (IsWord("LANGUAGE") || IsWord("CHARACTERISTICS") || IsWord("VERSION") ||
           IsWord("DISCARDABLE") || IsWord("MOVEABLE") || IsWord("PURE") || IsWord("PRELOAD") ||
           IsWord("LOADONCALL") || IsWord("IMPURE") || IsWord("FIXED")) {
      std::string word = Next().m_text;
      if (word == "LANGUAGE") {
        Number();
        Expect(",");
        Number();
      } else if (word == "CHARACTERISTICS" || word == "VERSION") {
        Number();
      }
    }
  }

  void StringTable() {
    SkipOptions();
    if (!AcceptBegin()) Fail("expected BEGIN");
    while (!AcceptEnd()) {
      if (Peek().m_kind == Token::kEnd) Fail("STRINGTABLE without END");
      Token start = Peek();
      uint32_t id = Number();
      if (id > 0xFFFF) Fail("string ids are 16-bit");
      Accept(",");
      std::string text = String();
      for (const StringEntry& entry : m_script->m_strings) {
        if (entry.m_id == id) {
          throw ScriptError{start.m_file, start.m_line,
                            "string " + std::to_string(id) + " is defined twice"};
        }
      }
      m_script->m_strings.push_back({id, std::move(text)});
    }
  }

  void DialogStatement(ResourceName name, bool extended) {
    Dialog dialog;
    dialog.m_name = std::move(name);
    SkipOptions();
    dialog.m_x = Int();
    Expect(",");
    dialog.m_y = Int();
    Expect(",");
    dialog.m_cx = Int();
    Expect(",");
    dialog.m_cy = Int();
    if (extended && Accept(",")) Number();  // help id
    uint32_t added = 0;
    dialog.m_style = WS_POPUP | WS_BORDER | WS_SYSMENU;
    for (;;) {
      if (IsWord("CAPTION")) {
        Next();
        dialog.m_caption = String();
        added |= WS_CAPTION;
      } else if (IsWord("STYLE")) {
        Next();
        dialog.m_style = Style(0);
      } else if (IsWord("EXSTYLE")) {
        Next();
        dialog.m_exStyle = Style(0);
      } else if (IsWord("FONT")) {
        Next();
        dialog.m_fontSize = Int();
        Expect(",");
        dialog.m_fontFace = String();
        while (Accept(",")) Number();  // weight, italic, character set
        added |= DS_SETFONT;
      } else if (IsWord("CLASS") || IsWord("MENU")) {
        Next();
        Name();
      } else if (IsWord("LANGUAGE") || IsWord("CHARACTERISTICS") || IsWord("VERSION")) {
        SkipOptions();
      } else {
        break;
      }
    }
    dialog.m_style |= added;
    if (!AcceptBegin()) Fail("expected BEGIN");
    while (!AcceptEnd()) {
      if (Peek().m_kind == Token::kEnd) Fail("dialog without END");
      dialog.m_controls.push_back(ControlStatement(extended));
    }
    for (const Dialog& other : m_script->m_dialogs) {
      if (other.m_name.m_id == dialog.m_name.m_id && other.m_name.m_text == dialog.m_name.m_text) {
        Fail("dialog defined twice");
      }
    }
    m_script->m_dialogs.push_back(std::move(dialog));
  }

  void Rectangle(Control* control) {
    control->m_x = Int();
    Expect(",");
    control->m_y = Int();
    Expect(",");
    control->m_cx = Int();
    Expect(",");
    control->m_cy = Int();
  }

  // The optional tail: [, style [, exstyle [, help id]]].
  void Tail(Control* control, bool extended) {
    if (!Accept(",")) return;
    control->m_style = Style(control->m_style);
    if (!Accept(",")) return;
    control->m_exStyle = Style(0);
    if (extended && Accept(",")) Number();
  }

  Control ControlStatement(bool extended) {
    if (Peek().m_kind != Token::kIdentifier) Fail("expected a control statement");
    std::string keyword = Next().m_text;
    Control control;
    control.m_style = WS_CHILD | WS_VISIBLE;
    struct Kind {
      const char* m_keyword;
      const char* m_class;
      uint32_t m_style;
    };
    static const Kind kKinds[] = {
        {"LTEXT", "static", SS_LEFT | WS_GROUP},
        {"CTEXT", "static", SS_CENTER | WS_GROUP},
        {"RTEXT", "static", SS_RIGHT | WS_GROUP},
        {"PUSHBUTTON", "button", BS_PUSHBUTTON | WS_TABSTOP},
        {"DEFPUSHBUTTON", "button", BS_DEFPUSHBUTTON | WS_TABSTOP},
        {"GROUPBOX", "button", 0x00000007L /* BS_GROUPBOX */},
    };
    if (keyword == "CONTROL") {
      control.m_text = String();
      Expect(",");
      control.m_id = Int();
      Expect(",");
      if (Peek().m_kind == Token::kString) {
        control.m_className = Next().m_text;
      } else if (Peek().m_kind == Token::kIdentifier && !ClassForWord(Peek().m_text).empty()) {
        control.m_className = ClassForWord(Next().m_text);
      } else {
        Fail("expected a control class");
      }
      Expect(",");
      control.m_style = Style(control.m_style);
      Expect(",");
      Rectangle(&control);
      if (Accept(",")) {
        control.m_exStyle = Style(0);
        if (extended && Accept(",")) Number();
      }
      return control;
    }
    if (keyword == "EDITTEXT") {
      control.m_className = "edit";
      control.m_style |= ES_LEFT | WS_BORDER | WS_TABSTOP;
      control.m_id = Int();
      Expect(",");
      Rectangle(&control);
      Tail(&control, extended);
      return control;
    }
    for (const Kind& kind : kKinds) {
      if (keyword != kind.m_keyword) continue;
      control.m_className = kind.m_class;
      control.m_style |= kind.m_style;
      control.m_text = String();
      Expect(",");
      control.m_id = Int();
      Expect(",");
      Rectangle(&control);
      Tail(&control, extended);
      return control;
    }
    Fail("unsupported control statement " + keyword);
  }

  // `name TYPE "file"`: the file's bytes, read relative to the script.
  void FileResource(ResourceName name) {
    static const char* const kUnsupported[] = {"MENU",   "MENUEX",  "ACCELERATORS", "ICON",
                                               "BITMAP", "CURSOR",  "FONT",         "MESSAGETABLE",
                                               "HTML",   "DLGINIT", "TOOLBAR"};
    RawEntry entry;
    entry.m_name = std::move(name);
    if (Peek().m_kind == Token::kIdentifier) {
      for (const char* word : kUnsupported) {
        if (IsWord(word) && Peek(1).m_kind != Token::kString) {
          Fail(std::string(word) + " resources are not supported");
        }
      }
    }
    entry.m_type = Name();
    SkipOptions();
    if (Peek().m_kind != Token::kString) Fail("expected the file holding the resource");
    const Token& file = Next();
    std::filesystem::path path = std::filesystem::path(file.m_file).parent_path() / file.m_text;
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ScriptError{file.m_file, file.m_line, "cannot read " + path.string()};
    entry.m_data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    m_script->m_filesRead.push_back(path.string());
    m_script->m_raw.push_back(std::move(entry));
  }

  std::vector<Token> m_tokens;
  std::size_t m_at = 0;
  Script* m_script;
};

}  // namespace

Script ParseScript(const std::string& path) {
  Lexer lexer;
  std::vector<Token> tokens = lexer.Read(path);
  Script script;
  script.m_filesRead = lexer.FilesRead();
  Parser(std::move(tokens), &script).Statements();
  return script;
}

Script ParseScriptText(const std::string& text, const std::string& name) {
  Lexer lexer;
  Script script;
  Parser(lexer.ReadText(text, name), &script).Statements();
  return script;
}

}  // namespace rcgen
