// @brief What the marked zvv command lines of the bundled help claim, read from their
// attributes.
#include "cli/tests/support/zvv_help_examples.h"

#include <algorithm>
#include <ostream>

#include "engine/tests/help_markers_fixture.h"

namespace zvv::testing {
namespace {

using dizode::testing::MarkedElement;
using dizode::testing::NamePart;
using dizode::testing::Split;
using dizode::testing::SplitList;

constexpr std::string_view kPrefix = "data-zvv";
constexpr std::string_view kPageSeparator = " :: ";
constexpr std::string_view kBlanks = " \t\r\n";
// Outside quotes a shell redirects, pipes, expands or ends the command at these.
constexpr std::string_view kShellSpecials = "<>|;&()$`*?[";

bool IsBlank(char c) { return kBlanks.find(c) != std::string_view::npos; }

void AddPages(std::string_view value, ZvvExample& example) {
  for (const std::string& item : SplitList(value)) {
    // Padded, so that a separator at either end still counts (and leaves an empty part).
    const std::vector<std::string> parts = Split(" " + item + " ", kPageSeparator);
    if (parts.size() != 3 || parts[0].empty() || parts[1].empty() || parts[2].empty()) {
      example.problem = "data-zvv-pages needs \"path :: Title :: text\": " + item;
      return;
    }
    const std::string& path = parts[0];
    if (path.starts_with('/') || path == ".." || path.starts_with("../") ||
        path.find("/../") != std::string::npos) {
      example.problem = "a page's path must stay inside the Help folder: " + path;
      return;
    }
    if ((parts[1] + parts[2]).find_first_of("<&") != std::string::npos) {
      example.problem = "a page's title and text are written as they are, without < or &: " + item;
      return;
    }
    if (std::any_of(example.pages.begin(), example.pages.end(),
                    [&](const ExamplePage& page) { return page.path == path; })) {
      example.problem = "data-zvv-pages names a page twice: " + path;
      return;
    }
    example.pages.push_back({path, parts[1], parts[2]});
  }
}

void AddExit(std::string_view value, ZvvExample& example) {
  const bool digits =
      !value.empty() && value.size() <= 3 &&
      std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (!digits || std::stoi(std::string(value)) > 255) {
    example.problem = "data-zvv-exit needs an exit status from 0 to 255: " + std::string(value);
    return;
  }
  example.exitStatus = std::stoi(std::string(value));
}

void AddArguments(std::string_view value, ZvvExample& example) {
  example.commandLine = std::string(value);
  std::string problem;
  std::optional<std::vector<std::string>> words = SplitShellWords(value, problem);
  if (!words) {
    example.problem = "data-zvv: " + problem;
    return;
  }
  for (const std::string& word : *words) {
    if (word == "--") {
      break;
    }
    if (word == "--install-dir" || word.starts_with("--install-dir=")) {
      example.problem = "data-zvv chooses the application folder, which the test does";
      return;
    }
  }
  example.args = std::move(*words);
}

// What the whole-example rules need to know beyond the example's fields.
struct Seen {
  bool arguments = false;
  bool exit = false;
};

void AddAttribute(std::string_view name, const std::optional<std::string>& raw, ZvvExample& example,
                  Seen& seen) {
  const std::string value = raw.value_or("");
  const bool bare = name == "data-zvv-json" || name == "data-zvv-no-help";
  if (bare && !value.empty()) {
    example.problem = std::string(name) + " takes no value";
  } else if (!bare && name != "data-zvv" && value.empty()) {
    example.problem = std::string(name) + " needs a value";
  } else if (name == "data-zvv") {
    seen.arguments = true;
    AddArguments(value, example);
  } else if (name == "data-zvv-pages") {
    AddPages(value, example);
  } else if (name == "data-zvv-no-help") {
    example.noHelp = true;
  } else if (name == "data-zvv-exit") {
    seen.exit = true;
    AddExit(value, example);
  } else if (name == "data-zvv-json") {
    example.json = true;
  } else if (name == "data-zvv-summary") {
    example.summary = value;
  } else if (name == "data-zvv-shows") {
    example.shows = SplitList(value);
  } else if (name == "data-zvv-hides") {
    example.hides = SplitList(value);
  } else if (name == "data-zvv-only") {
    example.only = SplitList(value);
  } else if (name == "data-zvv-stdout") {
    example.outText = value;
  } else if (name == "data-zvv-stderr") {
    example.errText = value;
  } else if (name == "data-zvv-input") {
    example.input = SplitList(value);
  } else {
    example.problem = "unknown attribute " + std::string(name);
  }
}

// The whole-example rules, once every attribute is read.
void CheckConsistency(ZvvExample& example, const Seen& seen) {
  if (!example.problem.empty()) {
    return;
  }
  const bool claimsOutput = example.json || example.summary || !example.shows.empty() ||
                            !example.hides.empty() || !example.only.empty() || example.outText;
  const auto empty = [](const std::string& path) { return path.empty(); };
  if (!seen.arguments) {
    example.problem = "a marked element needs data-zvv";
  } else if (!claimsOutput && !seen.exit && !example.errText) {
    example.problem = "the marker claims nothing";
  } else if (example.exitStatus != 0 && claimsOutput) {
    example.problem = "a failing command prints nothing on standard output";
  } else if (example.json && example.summary) {
    example.problem = "JSON output has no summary line";
  } else if (example.noHelp && !example.pages.empty()) {
    example.problem = "data-zvv-no-help and data-zvv-pages exclude each other";
  } else if (std::any_of(example.shows.begin(), example.shows.end(), empty) ||
             std::any_of(example.hides.begin(), example.hides.end(), empty) ||
             std::any_of(example.only.begin(), example.only.end(), empty)) {
    example.problem = "an empty path in a list";
  }
  for (const std::string& path : example.shows) {
    if (std::find(example.hides.begin(), example.hides.end(), path) != example.hides.end()) {
      example.problem = "one path both shown and hidden: " + path;
    }
  }
}

std::string BaseName(const std::string& stem, const ZvvExample& example) {
  const std::string arguments = NamePart(example.commandLine);
  return NamePart(stem) + "_" + (arguments.empty() ? std::string("none") : arguments);
}

}  // namespace

void PrintTo(const ZvvExample& example, std::ostream* os) {
  *os << example.where << " zvv " << example.commandLine;
}

std::optional<std::vector<std::string>> SplitShellWords(std::string_view line,
                                                        std::string& problem) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (IsBlank(c)) {
      if (inWord) {
        words.push_back(std::move(word));
        word.clear();
        inWord = false;
      }
      continue;
    }
    const bool startsWord = !inWord;
    inWord = true;
    if (c == '\'') {
      const size_t close = line.find('\'', i + 1);
      if (close == std::string_view::npos) {
        problem = "unclosed single quote";
        return std::nullopt;
      }
      word += line.substr(i + 1, close - i - 1);
      i = close;
    } else if (c == '"') {
      for (++i;; ++i) {
        if (i >= line.size()) {
          problem = "unclosed double quote";
          return std::nullopt;
        }
        if (line[i] == '"') {
          break;
        }
        if (line[i] == '\\' && i + 1 < line.size() &&
            std::string_view("\"\\$`").find(line[i + 1]) != std::string_view::npos) {
          ++i;
        }
        word += line[i];
      }
    } else if (c == '\\') {
      if (i + 1 == line.size()) {
        problem = "a backslash ends the line";
        return std::nullopt;
      }
      word += line[++i];
    } else if (kShellSpecials.find(c) != std::string_view::npos ||
               (startsWord && (c == '#' || c == '~'))) {
      problem = std::string("a shell reads ") + c + " as more than text; quote it";
      return std::nullopt;
    } else {
      word += c;
    }
  }
  if (inWord) {
    words.push_back(std::move(word));
  }
  return words;
}

std::vector<ZvvExample> ReadZvvExamples(const std::string& helpDir,
                                        const std::vector<std::string>& subfolders) {
  const auto owns = [](std::string_view name) { return name.starts_with(kPrefix); };
  std::vector<ZvvExample> examples;
  for (const MarkedElement& element :
       dizode::testing::ReadMarkedElements(helpDir, subfolders, owns)) {
    ZvvExample example;
    example.where = element.where;
    if (element.unreadable) {
      example.name = NamePart(element.stem) + "_unreadable";
      example.problem = "the page cannot be parsed";
      examples.push_back(std::move(example));
      continue;
    }
    Seen seen;
    for (const auto& [name, value] : element.attributes) {
      AddAttribute(name, value, example, seen);
    }
    CheckConsistency(example, seen);
    example.name = BaseName(element.stem, example);
    examples.push_back(std::move(example));
  }
  dizode::testing::NumberRepeatedNames(examples);
  return examples;
}

}  // namespace zvv::testing
