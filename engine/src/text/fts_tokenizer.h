// The index's tokenizer, registered with FTS5 as "helptok".
//
// Pages are tokenized by document_tokens.h with the stem language named by the tokenizer's
// argument (`tokenize = 'helptok english'`; "none" for no stems). Query strings arrive already
// normalised and split by the query translator, which has chosen every alternative itself, so in
// query mode the tokenizer only splits at spaces and passes each piece on unchanged.
#pragma once

struct sqlite3;

namespace dizode::text {

inline constexpr const char* kTokenizerName = "helptok";

// Registers the tokenizer on this connection; returns an SQLite result code.
int RegisterHelpTokenizer(sqlite3* db);

}  // namespace dizode::text
