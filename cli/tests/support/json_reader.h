// @brief Reads back the flat JSON objects zvv prints, strictly enough to catch
// bad escaping: any malformed input is an error, not a guess.
#pragma once

#include <map>
#include <optional>
#include <string>

namespace zvv::testing {

// Values keep their JSON kind: strings decoded, numbers as their digits, true and false as
// those words.
struct JsonValue {
  bool m_isString = false;
  std::string m_text;
};

// One object of string, number and true or false members; nullopt for anything malformed.
std::optional<std::map<std::string, JsonValue>> ParseFlatObject(const std::string& text);

}  // namespace zvv::testing
