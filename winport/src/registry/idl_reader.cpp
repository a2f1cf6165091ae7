// @brief Reading interface definition text into a library description.
#include "winport/src/registry/idl_reader.h"

#include <cctype>
#include <cstdlib>
#include <utility>

#include "winport/owners.h"

namespace winport::registry {
namespace {

struct IdlFault {
  std::string m_message;
};

struct Token {
  enum Kind { kIdentifier, kNumber, kString, kPunct, kEnd } m_kind = kEnd;
  std::string m_text;
  int m_line = 0;
};

std::vector<Token> Tokenize(std::string_view text) {
  std::vector<Token> tokens;
  int line = 1;
  size_t at = 0;
  bool lineStart = true;
  while (at < text.size()) {
    const char c = text[at];
    if (c == '\n') {
      ++line;
      ++at;
      lineStart = true;
      continue;
    }
    if (std::isspace(static_cast<unsigned char>(c))) {
      ++at;
      continue;
    }
    if ((c == '#' && lineStart) || text.substr(at, 2) == "//") {
      at = text.find('\n', at);
      if (at == std::string_view::npos) {
        at = text.size();
      }
      continue;
    }
    lineStart = false;
    if (text.substr(at, 2) == "/*") {
      const size_t end = text.find("*/", at + 2);
      if (end == std::string_view::npos) {
        throw IdlFault{"line " + std::to_string(line) + ": /* without */"};
      }
      for (size_t i = at; i < end; ++i) {
        line += text[i] == '\n';
      }
      at = end + 2;
      continue;
    }
    Token token;
    token.m_line = line;
    if (c == '"') {
      const size_t end = text.find('"', at + 1);
      if (end == std::string_view::npos) {
        throw IdlFault{"line " + std::to_string(line) + ": text without its end"};
      }
      token.m_kind = Token::kString;
      token.m_text = std::string(text.substr(at + 1, end - at - 1));
      at = end + 1;
    } else if (std::isalnum(static_cast<unsigned char>(c)) || c == '_') {
      // Numbers keep their dots and letters ("1.0", "0x409"); uuids are read
      // as runs of letters, digits and dashes.
      const size_t start = at;
      while (at < text.size() && (std::isalnum(static_cast<unsigned char>(text[at])) ||
                                  text[at] == '_' || text[at] == '.' || text[at] == '-')) {
        ++at;
      }
      token.m_kind =
          std::isdigit(static_cast<unsigned char>(c)) ? Token::kNumber : Token::kIdentifier;
      token.m_text = std::string(text.substr(start, at - start));
    } else {
      token.m_kind = Token::kPunct;
      token.m_text = std::string(1, c);
      ++at;
    }
    tokens.push_back(std::move(token));
  }
  tokens.push_back(Token{Token::kEnd, "", line});
  return tokens;
}

struct Attribute {
  std::string m_name;
  std::string m_argument;  // the text inside the parentheses, if any
};

class Reader {
 public:
  explicit Reader(std::vector<Token> tokens) : m_tokens(std::move(tokens)) {}

  void Read(IdlLibrary* library) {
    m_library = library;
    bool libraryFound = false;
    while (Peek().m_kind != Token::kEnd) {
      if (SkipImport()) {
        continue;
      }
      std::vector<Attribute> attributes = Attributes();
      if (Accept("interface")) {
        Interface(attributes);
      } else if (Accept("library")) {
        Library(attributes);
        libraryFound = true;
      } else {
        Fail("expected an interface or a library");
      }
    }
    if (!libraryFound) {
      Fail("no library");
    }
  }

 private:
  [[noreturn]] void Fail(const std::string& message) const {
    throw IdlFault{"line " + std::to_string(Peek().m_line) + ": " + message};
  }
  const Token& Peek() const { return m_tokens[m_at]; }
  const Token& Next() {
    const Token& token = m_tokens[m_at];
    if (token.m_kind != Token::kEnd) {
      ++m_at;
    }
    return token;
  }
  bool Accept(std::string_view text) {
    if (Peek().m_kind == Token::kString || Peek().m_text != text) {
      return false;
    }
    Next();
    return true;
  }
  void Expect(std::string_view text) {
    if (!Accept(text)) {
      Fail("expected '" + std::string(text) + "'");
    }
  }
  std::string Identifier() {
    if (Peek().m_kind != Token::kIdentifier) {
      Fail("expected a name");
    }
    return Next().m_text;
  }

  // import "file"; and importlib("file");
  bool SkipImport() {
    if (Accept("import")) {
      while (!Accept(";")) {
        if (Peek().m_kind == Token::kEnd) {
          Fail("import without ';'");
        }
        Next();
      }
      return true;
    }
    if (Accept("importlib")) {
      Expect("(");
      if (Peek().m_kind != Token::kString) {
        Fail("expected a file name");
      }
      Next();
      Expect(")");
      Expect(";");
      return true;
    }
    return false;
  }

  std::vector<Attribute> Attributes() {
    std::vector<Attribute> attributes;
    if (!Accept("[")) {
      return attributes;
    }
    while (!Accept("]")) {
      if (!attributes.empty()) {
        Expect(",");
      }
      Attribute attribute;
      attribute.m_name = Identifier();
      if (Accept("(")) {
        while (!Accept(")")) {
          if (Peek().m_kind == Token::kEnd) {
            Fail("attribute without ')'");
          }
          attribute.m_argument += Next().m_text;
        }
      }
      attributes.push_back(std::move(attribute));
    }
    return attributes;
  }

  static const Attribute* Find(const std::vector<Attribute>& attributes, std::string_view name) {
    for (const Attribute& attribute : attributes) {
      if (attribute.m_name == name) {
        return &attribute;
      }
    }
    return nullptr;
  }

  GUID Uuid(const std::vector<Attribute>& attributes) {
    const Attribute* uuid = Find(attributes, "uuid");
    if (!uuid) {
      Fail("missing uuid");
    }
    const std::basic_string<OLECHAR> text = Utf8ToOle("{" + uuid->m_argument + "}");
    GUID guid;
    if (FAILED(CLSIDFromString(text.c_str(), &guid))) {
      Fail("bad uuid " + uuid->m_argument);
    }
    return guid;
  }

  static std::string Help(const std::vector<Attribute>& attributes) {
    const Attribute* help = Find(attributes, "helpstring");
    return help ? help->m_argument : std::string();
  }

  long Number(const std::string& text) const {
    char* end = nullptr;
    const long n = std::strtol(text.c_str(), &end, 0);
    if (text.empty() || *end != '\0') {
      Fail("'" + text + "' is not a number");
    }
    return n;
  }

  void Library(const std::vector<Attribute>& attributes) {
    m_library->m_name = Identifier();
    m_library->m_libid = Uuid(attributes);
    m_library->m_help = Help(attributes);
    if (const Attribute* version = Find(attributes, "version")) {
      const size_t dot = version->m_argument.find('.');
      m_library->m_major = static_cast<WORD>(Number(version->m_argument.substr(0, dot)));
      if (dot != std::string::npos) {
        m_library->m_minor = static_cast<WORD>(Number(version->m_argument.substr(dot + 1)));
      }
    }
    if (const Attribute* lcid = Find(attributes, "lcid")) {
      m_library->m_lcid = static_cast<LCID>(Number(lcid->m_argument));
    }
    Expect("{");
    while (!Accept("}")) {
      if (SkipImport()) {
        continue;
      }
      std::vector<Attribute> inner = Attributes();
      if (Accept("coclass")) {
        Class(inner);
      } else if (Accept("interface")) {
        Interface(inner);
      } else {
        Fail("expected a coclass or an interface");
      }
    }
    Accept(";");
  }

  void Class(const std::vector<Attribute>& attributes) {
    IdlClass idlClass;
    idlClass.m_name = Identifier();
    idlClass.m_clsid = Uuid(attributes);
    idlClass.m_help = Help(attributes);
    Expect("{");
    while (!Accept("}")) {
      std::vector<Attribute> inner = Attributes();
      if (!Accept("interface") && !Accept("dispinterface")) {
        Fail("expected an interface");
      }
      std::string name = Identifier();
      Expect(";");
      if (Find(inner, "default") || idlClass.m_defaultInterface.empty()) {
        idlClass.m_defaultInterface = name;
      }
    }
    Accept(";");
    m_library->m_classes.push_back(std::move(idlClass));
  }

  void Interface(const std::vector<Attribute>& attributes) {
    IdlInterface idlInterface;
    idlInterface.m_name = Identifier();
    if (Accept(";")) {
      return;  // a reference to an interface defined elsewhere in the text
    }
    idlInterface.m_iid = Uuid(attributes);
    idlInterface.m_help = Help(attributes);
    if (Find(attributes, "dual")) {
      idlInterface.m_typeFlags |= TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION;
    }
    if (Find(attributes, "oleautomation")) {
      idlInterface.m_typeFlags |= TYPEFLAG_FOLEAUTOMATION;
    }
    Expect(":");
    const std::string base = Identifier();
    if (base == "IDispatch") {
      idlInterface.m_firstSlot = 7;
      idlInterface.m_typeFlags |= TYPEFLAG_FDISPATCHABLE;
    } else if (base == "IUnknown") {
      idlInterface.m_firstSlot = 3;
    } else {
      Fail("only IUnknown and IDispatch can be a base here");
    }
    Expect("{");
    while (!Accept("}")) {
      idlInterface.m_members.push_back(Member(idlInterface.m_members.size()));
    }
    Accept(";");
    m_library->m_interfaces.push_back(std::move(idlInterface));
  }

  IdlMember Member(size_t index) {
    const std::vector<Attribute> attributes = Attributes();
    IdlMember member;
    member.m_result = Type(nullptr);
    member.m_name = Identifier();
    member.m_help = Help(attributes);
    // Members without an id get the numbers a compiler would hand out.
    member.m_id = static_cast<DISPID>(0x60020000 + index);
    if (const Attribute* id = Find(attributes, "id")) {
      member.m_id = static_cast<DISPID>(Number(id->m_argument));
    }
    if (Find(attributes, "propget")) {
      member.m_kind = DISPATCH_PROPERTYGET;
    }
    if (Find(attributes, "propput")) {
      member.m_kind = DISPATCH_PROPERTYPUT;
    }
    if (Find(attributes, "propputref")) {
      member.m_kind = DISPATCH_PROPERTYPUTREF;
    }
    Expect("(");
    if (Peek().m_text == "void" && m_tokens[m_at + 1].m_text == ")") {
      Next();
    }
    while (!Accept(")")) {
      if (!member.m_params.empty()) {
        Expect(",");
      }
      const std::vector<Attribute> flags = Attributes();
      IdlParam param;
      param.m_vt = Type(&param);
      param.m_out = Find(flags, "out") != nullptr;
      param.m_retval = Find(flags, "retval") != nullptr;
      // A put's value may go unnamed.
      if (Peek().m_kind == Token::kIdentifier) {
        param.m_name = Next().m_text;
      }
      member.m_params.push_back(std::move(param));
    }
    Expect(";");
    return member;
  }

  VARTYPE Type(const IdlParam* param) {
    static const std::pair<const char*, VARTYPE> kTypes[] = {
        {"BSTR", VT_BSTR},         {"VARIANT", VT_VARIANT},
        {"VARIANT_BOOL", VT_BOOL}, {"long", VT_I4},
        {"int", VT_INT},           {"short", VT_I2},
        {"double", VT_R8},         {"float", VT_R4},
        {"DATE", VT_DATE},         {"CURRENCY", VT_CY},
        {"BYTE", VT_UI1},          {"HRESULT", VT_HRESULT},
        {"IUnknown", VT_UNKNOWN},  {"IDispatch", VT_DISPATCH},
        {"void", VT_VOID}};
    const std::string name = Identifier();
    VARTYPE vt = VT_EMPTY;
    for (const auto& [text, type] : kTypes) {
      if (name == text) {
        vt = type;
      }
    }
    if (vt == VT_EMPTY) {
      Fail("unknown type " + name);
    }
    if ((vt == VT_UNKNOWN || vt == VT_DISPATCH) && !Accept("*")) {
      Fail(name + " needs a '*'");
    }
    if (Accept("*")) {
      if (!param) {
        Fail("a member returns a value, not a reference");
      }
      vt |= VT_BYREF;
    }
    if (Peek().m_text == "*") {
      Fail("only one level of reference is read");
    }
    return vt;
  }

  std::vector<Token> m_tokens;
  size_t m_at = 0;
  IdlLibrary* m_library = nullptr;
};

}  // namespace

bool ReadIdl(std::string_view text, IdlLibrary* library, std::string* error) {
  try {
    *library = IdlLibrary{};
    Reader(Tokenize(text)).Read(library);
    return true;
  } catch (const IdlFault& fault) {
    *error = fault.m_message;
    return false;
  }
}

}  // namespace winport::registry
