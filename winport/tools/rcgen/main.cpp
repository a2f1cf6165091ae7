// @brief rcgen: compiles a resource script into a C++ source for winport.
//
//   rcgen <script.rc> -o <output.cpp> [--depfile <file.d>]
//
// Exit status 0 on success; 1 with "file:line: message" on stderr for a
// fault in the script; 2 for a usage error.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "winport/tools/rcgen/cpp_writer.h"
#include "winport/tools/rcgen/rc_parser.h"

namespace {

// Writes `text` only when it differs, so that an unchanged script does not
// rebuild its module.
bool WriteIfChanged(const std::string& path, const std::string& text) {
  {
    std::ifstream existing(path, std::ios::binary);
    std::string current((std::istreambuf_iterator<char>(existing)),
                        std::istreambuf_iterator<char>());
    if (existing && current == text) return true;
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  return static_cast<bool>(out.flush());
}

std::string DepfileEscape(const std::string& path) {
  std::string out;
  for (char c : path) {
    if (c == ' ' || c == '#') out += '\\';
    if (c == '$') out += '$';
    out += c;
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  std::string input;
  std::string output;
  std::string depfile;
  for (int i = 1; i < argc; ++i) {
    std::string argument = argv[i];
    if (argument == "-o" && i + 1 < argc) {
      output = argv[++i];
    } else if (argument == "--depfile" && i + 1 < argc) {
      depfile = argv[++i];
    } else if (input.empty() && !argument.empty() && argument[0] != '-') {
      input = argument;
    } else {
      input.clear();
      break;
    }
  }
  if (input.empty() || output.empty()) {
    std::cerr << "usage: rcgen <script.rc> -o <output.cpp> [--depfile <file.d>]\n";
    return 2;
  }
  try {
    rcgen::Script script = rcgen::ParseScript(input);
    if (!WriteIfChanged(output, rcgen::WriteCpp(script, input))) {
      std::cerr << output << ": cannot write\n";
      return 1;
    }
    if (!depfile.empty()) {
      std::string rule = DepfileEscape(output) + ":";
      for (const std::string& file : script.m_filesRead) rule += " " + DepfileEscape(file);
      if (!WriteIfChanged(depfile, rule + "\n")) {
        std::cerr << depfile << ": cannot write\n";
        return 1;
      }
    }
  } catch (const rcgen::ScriptError& error) {
    std::cerr << error.m_file << ":" << error.m_line << ": " << error.m_message << "\n";
    return 1;
  }
  return 0;
}
