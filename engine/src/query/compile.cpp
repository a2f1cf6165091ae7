// Compile(): parse, translate, build the SQL, and prepare the relaxed fallback.
#include <new>

#include "query/diagnostics.h"
#include "query/parser.h"
#include "query/query.h"
#include "query/ranking.h"
#include "query/small_words.h"
#include "query/translator.h"
#include "query/vocabulary.h"

namespace dizode::query {
namespace {

// A query of plain words that finds nothing is retried with OR between its top-level operands,
// inside any field restriction: people type several words and expect pages with some of them.
std::optional<Node> Relax(const ParseResult& parsed) {
  if (parsed.usedOperator || parsed.usedWildcard || parsed.operandCount < 2) {
    return std::nullopt;
  }
  Node relaxed = parsed.root;
  Node* node = &relaxed;
  while (node->kind == NodeKind::kField) {
    node = &node->children.front();
  }
  if (node->kind != NodeKind::kAnd) {
    return std::nullopt;
  }
  node->kind = NodeKind::kOr;
  return relaxed;
}

// In a question typed in plain words ("how do I copy text to the clipboard"), the small words of
// the collection's language stop deciding which pages match, as long as another word or phrase
// is left to decide it.
void MarkSmallWords(ParseResult& parsed, const std::string& language) {
  if (parsed.usedOperator || parsed.usedWildcard || parsed.operandCount < 2) return;
  Node* node = &parsed.root;
  while (node->kind == NodeKind::kField) node = &node->children.front();
  if (node->kind != NodeKind::kAnd || !IsQuestionWord(language, node->children.front().key)) {
    return;
  }
  std::vector<Node*> small;
  size_t deciding = 0;
  for (Node& child : node->children) {
    if (child.kind == NodeKind::kWord && child.key.find(' ') == std::string::npos &&
        IsSmallWord(language, child.key)) {
      small.push_back(&child);
    } else {
      ++deciding;
    }
  }
  if (deciding == 0) return;
  for (Node* word : small) word->optional = true;
}

const Node* RelaxedOperands(const Node& root) {
  const Node* node = &root;
  while (node->kind == NodeKind::kField) {
    node = &node->children.front();
  }
  return node;
}

void CompileInto(Plan& plan, std::string_view queryText, sqlite3* db, const Options& options) {
  ParseResult parsed = Parse(queryText, options);
  plan.warnings = std::move(parsed.warnings);
  if (parsed.error) {
    plan.error = std::move(parsed.error);
    return;
  }
  if (options.smallWordsOptional) MarkSmallWords(parsed, options.stemLanguage);
  const Expander expand = [db](const std::string& pattern) { return ExpandPattern(db, pattern); };
  Translation translation = Translate(parsed.root, expand);
  for (Diagnostic& w : translation.warnings) {
    plan.warnings.push_back(std::move(w));
  }
  if (translation.error) {
    plan.error = std::move(translation.error);
    return;
  }
  if (translation.set.kind == SetExpr::Kind::kNothing) {
    plan.matchesNothing = true;
    return;
  }
  plan.statement = BuildStatement(translation.set);
  const std::optional<Node> relaxed = Relax(parsed);
  if (!relaxed) {
    return;
  }
  Translation fallback = Translate(*relaxed, expand);
  if (fallback.error || fallback.set.kind == SetExpr::Kind::kNothing) {
    return;
  }
  plan.relaxed = BuildStatement(fallback.set);
  const Node* operands = RelaxedOperands(*relaxed);
  plan.relaxedWarning = MakeDiagnostic(Code::kRelaxedToOr, operands->offset, operands->length);
}

}  // namespace

Plan Compile(std::string_view queryText, sqlite3* db, const Options& options) {
  Plan plan;
  try {
    CompileInto(plan, queryText, db, options);
  } catch (const std::bad_alloc&) {
    plan = Plan{};
    plan.error = MakeDiagnostic(Code::kInternal, 0, 0, "out of memory");
  }
  FinishOffsets(plan, queryText);
  return plan;
}

}  // namespace dizode::query
