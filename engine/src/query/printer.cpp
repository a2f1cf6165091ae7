#include "query/printer.h"

namespace dizode::query {
namespace {

// The main reading of a word: its first alternative.
const std::vector<Term>& MainTerms(const Node& node) {
  static const std::vector<Term> kNone;
  return node.alternatives.empty() ? kNone : node.alternatives.front().terms;
}

void PrintTerms(const Node& node, std::string& out) {
  const std::vector<Term>& terms = MainTerms(node);
  for (size_t i = 0; i < terms.size(); ++i) {
    if (i > 0) {
      out += ' ';
    }
    out += terms[i].text;
    if (terms[i].kind == Term::Kind::kPrefix) {
      out += '*';
    }
  }
}

void PrintNode(const Node& node, std::string& out) {
  const auto list = [&](const char* separator) {
    for (size_t i = 0; i < node.children.size(); ++i) {
      if (i > 0) {
        out += separator;
      }
      PrintNode(node.children[i], out);
    }
  };
  switch (node.kind) {
    case NodeKind::kEmpty:
      out += "<empty>";
      break;
    case NodeKind::kWord:
      if (MainTerms(node).size() > 1) {
        out += '[';
      }
      PrintTerms(node, out);
      if (MainTerms(node).size() > 1) {
        out += ']';
      }
      break;
    case NodeKind::kPhrase:
      out += '"';
      PrintTerms(node, out);
      out += '"';
      break;
    case NodeKind::kAnd:
      out += '(';
      list(" AND ");
      out += ')';
      break;
    case NodeKind::kOr:
      out += '(';
      list(" OR ");
      out += ')';
      break;
    case NodeKind::kNot:
      out += "NOT ";
      list("");
      break;
    case NodeKind::kNear:
      out += "NEAR/" + std::to_string(node.distance) + "(";
      list(", ");
      out += ')';
      break;
    case NodeKind::kField:
      out += node.fields == kTitleField  ? "TITLE:("
             : node.fields == kBodyField ? "BODY:("
                                         : "ALL:(";
      list("");
      out += ')';
      break;
  }
}

}  // namespace

std::string Print(const Node& node) {
  std::string out;
  PrintNode(node, out);
  return out;
}

}  // namespace dizode::query
