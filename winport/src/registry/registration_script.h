// @brief Registration scripts: the text a module registers its classes with.
//
//   HKCR
//   {
//       Some.Id.1 = s 'Some Class'
//       {
//           CLSID = s '{...}'
//       }
//       NoRemove CLSID
//       {
//           ForceRemove {...} = s 'Some Class'
//           {
//               InprocServer32 = s '%MODULE%'
//               {
//                   val ThreadingModel = s 'Apartment'
//               }
//           }
//       }
//   }
//
// A root (HKCR, HKCU, HKLM or their full names) holds keys. A key is a name,
// optionally "= s 'text'" or "= d number" for its default value, optionally
// a block of subkeys and "val name = ..." named values. Flags before a name:
// NoRemove (never deleted by unregistration), ForceRemove (deleted with all
// it holds before it is written), Delete (deleted by registration). Names are
// bare words or quoted; "{...}" is a bare word. In quoted text '' is one
// quote. %NAME% anywhere is replaced by the replacement of that name (case
// ignored) and %% by one %; an unknown name is an error. Keys nest no deeper
// than the registry itself allows (kMaxKeyDepth, the root included).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "winport/src/registry/registry_tree.h"

namespace winport::registry {

using Replacements = std::vector<std::pair<std::string, std::string>>;

struct ScriptKey {
  std::string m_name;
  bool m_noRemove = false;
  bool m_forceRemove = false;
  bool m_delete = false;
  std::optional<Value> m_default;
  std::vector<std::pair<std::string, Value>> m_values;
  std::vector<ScriptKey> m_subkeys;
};

struct ScriptRoot {
  std::string m_rootName;  // "HKEY_CLASSES_ROOT", ...
  std::vector<ScriptKey> m_keys;
};

// Parses text; on a fault returns false with a message naming the line.
bool ParseRegistrationScript(std::string_view text, const Replacements& replacements,
                             std::vector<ScriptRoot>* roots, std::string* error);

// Applies the script to the tree (top holds the root keys).
void RegisterScript(const std::vector<ScriptRoot>& roots, Key& top);
// Deletes every key the script names that is not NoRemove (with all it
// holds), and the named values of the keys it keeps. Missing keys are fine.
void UnregisterScript(const std::vector<ScriptRoot>& roots, Key& top);

}  // namespace winport::registry
