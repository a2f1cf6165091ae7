// Building the errors and warnings a compiled query carries.
#pragma once

#include <string_view>

#include "query/query.h"

namespace dizode::query {

// A diagnostic with the English message for its code; `detail` refines it where the code alone
// is too vague ("not supported yet" for reserved operators). userOffset is set by FinishOffsets.
Diagnostic MakeDiagnostic(Code code, int offset, int length, std::string_view detail = {});

// Sets userOffset on every diagnostic of the plan: the host's titles-only switch prepends
// "TITLE <CONTAINS> " to the user's text, and the user's search box only knows its own offsets.
void FinishOffsets(Plan& plan, std::string_view queryText);

}  // namespace dizode::query
