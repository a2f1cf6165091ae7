#include "query/diagnostics.h"

#include "dizode/dizode.h"

namespace dizode::query {
namespace {

struct CodeInfo {
  std::string_view name;
  std::string_view message;
};

// Indexed by Code; the order of the enumeration is the order of this table.
constexpr CodeInfo kCodes[] = {
    {"E_EMPTY", "the query has nothing to search for"},
    {"E_UNKNOWN_OPERATOR", "unknown operator"},
    {"E_BAD_OPERATOR_ARGUMENT", "bad operator argument: only <NEAR/n> takes a number, 0 to 64"},
    {"E_MISSING_OPERAND", "operator without an operand"},
    {"E_UNKNOWN_FIELD", "unknown field: use TITLE or BODY"},
    {"E_MISSING_FIELD", "<CONTAINS> needs a field name before it"},
    {"E_FIELD_CONFLICT", "nested field restrictions have no field in common"},
    {"E_NEAR_OPERAND", "<NEAR> takes words, phrases, wildcards or groups of alternatives"},
    {"E_TOO_COMPLEX", "the query is too complex"},
    {"E_OUT_OF_TIME", "the query ran out of time"},
    {"E_INTERNAL", "internal error while preparing the query"},
    {"W_QUOTE_AUTOCLOSED", "unclosed quote closed at the end of the query"},
    {"W_UNCLOSED_PAREN", "unclosed parenthesis closed at the end of the query"},
    {"W_UNMATCHED_PAREN", "closing parenthesis without an opening one ignored"},
    {"W_OPERATOR_AS_WORD", "operator word searched as an ordinary word"},
    {"W_IGNORED_WORD", "ignored: nothing searchable here"},
    {"W_WILDCARD_TRUNCATED", "wildcard matches too many words; only the first 256 are used"},
    {"W_NEAR_STEMS_DROPPED", "too many word forms for <NEAR>; exact words used"},
    {"W_RELAXED_TO_OR", "no page contains all words; showing pages with some of them"},
    {"W_INDEX_STALE", "the index could not be brought up to date; results may be outdated"},
};
static_assert(std::size(kCodes) == static_cast<size_t>(Code::kIndexStale) + 1);

constexpr std::string_view kTitlesOnlyPrefix = "TITLE <CONTAINS> ";

void SetUserOffset(Diagnostic& d, bool prefixed) {
  const int prefixSize = static_cast<int>(kTitlesOnlyPrefix.size());
  d.userOffset = !prefixed ? d.offset : d.offset >= prefixSize ? d.offset - prefixSize : -1;
}

}  // namespace

bool IsError(Code code) { return code <= Code::kInternal; }

std::string_view CodeName(Code code) {
  const auto index = static_cast<size_t>(code);
  return index < std::size(kCodes) ? kCodes[index].name : "E_INTERNAL";
}

int32_t StatusFor(Code error) {
  switch (error) {
    case Code::kUnknownOperator:
      return TK_E_QUERY_UNKNOWN_OPERATOR;
    case Code::kBadOperatorArgument:
      return TK_E_QUERY_BAD_OPERATOR_ARGUMENT;
    case Code::kMissingOperand:
      return TK_E_QUERY_MISSING_OPERAND;
    case Code::kUnknownField:
      return TK_E_QUERY_UNKNOWN_FIELD;
    case Code::kMissingField:
      return TK_E_QUERY_MISSING_FIELD;
    case Code::kFieldConflict:
      return TK_E_QUERY_FIELD_CONFLICT;
    case Code::kNearOperand:
      return TK_E_QUERY_NEAR_OPERAND;
    case Code::kTooComplex:
      return TK_E_QUERY_TOO_COMPLEX;
    case Code::kOutOfTime:
      return TK_E_TIMEOUT;
    case Code::kEmpty:
      return TK_OK;
    default:
      return IsError(error) ? TK_E_QUERY_INTERNAL : TK_OK;
  }
}

Diagnostic MakeDiagnostic(Code code, int offset, int length, std::string_view detail) {
  const auto index = static_cast<size_t>(code);
  Diagnostic d;
  d.code = code;
  d.message = index < std::size(kCodes) ? kCodes[index].message : "internal error";
  if (!detail.empty()) {
    d.message += ": ";
    d.message += detail;
  }
  d.offset = offset;
  d.length = length;
  d.userOffset = offset;
  return d;
}

void FinishOffsets(Plan& plan, std::string_view queryText) {
  const bool prefixed = queryText.starts_with(kTitlesOnlyPrefix);
  if (plan.error) {
    SetUserOffset(*plan.error, prefixed);
  }
  for (Diagnostic& w : plan.warnings) {
    SetUserOffset(w, prefixed);
  }
  if (plan.relaxedWarning) {
    SetUserOffset(*plan.relaxedWarning, prefixed);
  }
}

}  // namespace dizode::query
