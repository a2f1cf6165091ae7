// @brief The registry file's text: the .reg format.
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CLASSES_ROOT\Some.Id]
//   @="default value"
//   "Name"=dword:0000002a
//   "Other"=hex(3):01,02
//
// Every key has its own section, so empty keys survive. A text value is
// written quoted (with \\ and \" escapes) when it is plain single-line text;
// anything else is written as hex(type) bytes, so reading gives back exactly
// what was written.
#pragma once

#include <string>
#include <string_view>

#include "winport/src/registry/registry_tree.h"

namespace winport::registry {

std::string WriteRegText(const Key& top);

// Fills top (the parent of the root keys) from text; false for text that is
// not in this format, or names keys deeper or longer than the tree's limits.
// A key named twice gets the values of both sections.
bool ReadRegText(std::string_view text, Key* top);

}  // namespace winport::registry
