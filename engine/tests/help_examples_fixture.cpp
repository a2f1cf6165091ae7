// @brief What the marked query examples of the bundled help claim, read from their attributes.
#include "help_examples_fixture.h"

#include <algorithm>
#include <ostream>
#include <string_view>

#include "help_markers_fixture.h"
#include "query/query.h"

namespace dizode::testing {
namespace {

constexpr std::string_view kAttributePrefix = "data-";
// The terminal host's examples, which its own tests read.
constexpr std::string_view kHostPrefix = "data-zvv";
constexpr std::string_view kTitleSeparator = " :: ";
constexpr std::string_view kRankSeparator = " > ";
constexpr std::string_view kNoWarning = "none";

bool IsCodeName(std::string_view name) {
  for (int i = 0; i <= static_cast<int>(query::Code::kIndexStale); ++i) {
    if (query::CodeName(static_cast<query::Code>(i)) == name) {
      return true;
    }
  }
  return false;
}

// Adds the items of a list attribute, or notes why they cannot be used.
void AddProbes(std::string_view attribute, std::string_view value, std::vector<std::string>& out,
               std::string& problem) {
  for (std::string& item : SplitList(value)) {
    const ProbePage page = ParseProbe(item);
    if (page.title.empty() || page.body.empty()) {
      problem = std::string(attribute) + " has an empty title or text: \"" + item + "\"";
      return;
    }
    out.push_back(std::move(item));
  }
}

void AddRanks(std::string_view value, MarkedExample& example) {
  for (const std::string& item : SplitList(value)) {
    const size_t gt = item.find(kRankSeparator);
    if (gt == std::string::npos || item.find(kRankSeparator, gt + 1) != std::string::npos) {
      example.problem = "data-ranks needs \"higher > lower\": " + item;
      return;
    }
    std::string higher = Trim(std::string_view(item).substr(0, gt));
    std::string lower = Trim(std::string_view(item).substr(gt + kRankSeparator.size()));
    if (higher.empty() || lower.empty() || higher == lower) {
      example.problem = "data-ranks needs two different pages: " + item;
      return;
    }
    example.ranks.emplace_back(std::move(higher), std::move(lower));
  }
}

void AddCodes(std::string_view attribute, std::string_view value, std::string_view prefix,
              MarkedExample& example) {
  if (prefix == "W_" && value == kNoWarning) {
    example.noWarning = true;
    return;
  }
  for (std::string& code : SplitList(value)) {
    if (!code.starts_with(prefix) || !IsCodeName(code)) {
      example.problem = std::string(attribute) + " names no engine code: " + code;
      return;
    }
    if (prefix == "E_") {
      if (example.error) {
        example.problem = "data-error names more than one code";
        return;
      }
      example.error = std::move(code);
    } else {
      example.warnings.push_back(std::move(code));
    }
  }
}

void AddAttribute(std::string_view name, std::optional<std::string_view> value,
                  MarkedExample& example, bool& hasQuery) {
  const std::string_view text = value.value_or("");
  if (name == "data-query") {
    hasQuery = true;
    example.query = std::string(text);
  } else if (name == "data-title-only") {
    example.titleOnly = true;
    if (!text.empty()) {
      example.problem = "data-title-only takes no value";
    }
  } else if (name == "data-finds") {
    AddProbes(name, text, example.finds, example.problem);
  } else if (name == "data-misses") {
    AddProbes(name, text, example.misses, example.problem);
  } else if (name == "data-ranks") {
    AddRanks(text, example);
  } else if (name == "data-error") {
    AddCodes(name, text, "E_", example);
  } else if (name == "data-warning") {
    AddCodes(name, text, "W_", example);
  } else {
    example.problem = "unknown attribute " + std::string(name);
  }
}

// The whole-example rules, once every attribute is read.
void CheckConsistency(MarkedExample& example, bool hasQuery) {
  if (!example.problem.empty()) {
    return;
  }
  const bool claimsHits =
      !example.finds.empty() || !example.misses.empty() || !example.ranks.empty();
  if (!hasQuery) {
    example.problem = "a marked element needs data-query";
  } else if (!claimsHits && !example.error && example.warnings.empty() && !example.noWarning) {
    example.problem = "the marker claims nothing";
  } else if (example.error && (claimsHits || !example.warnings.empty())) {
    example.problem = "a failing query finds nothing and has no warnings";
  } else if (example.noWarning && !example.warnings.empty()) {
    example.problem = "data-warning mixes none with codes";
  }
  for (const std::string& found : example.finds) {
    if (std::find(example.misses.begin(), example.misses.end(), found) != example.misses.end()) {
      example.problem = "one page both found and missed: " + found;
    }
  }
}

std::string BaseName(const std::string& page, const MarkedExample& example) {
  std::string name = NamePart(page);
  if (example.titleOnly) {
    name += "_titles";
  }
  const std::string query = NamePart(example.query);
  name += "_" + (query.empty() ? std::string("empty") : query);
  return name;
}

}  // namespace

ProbePage ParseProbe(const std::string& probe) {
  // Padded, so that a separator at either end still counts (and leaves an empty part).
  const std::string padded = " " + probe + " ";
  const size_t separator = padded.find(kTitleSeparator);
  if (separator == std::string::npos) {
    return {kProbeTitle, probe};
  }
  return {Trim(std::string_view(padded).substr(0, separator)),
          Trim(std::string_view(padded).substr(separator + kTitleSeparator.size()))};
}

std::vector<std::string> MarkedExample::Probes() const {
  std::vector<std::string> all = finds;
  all.insert(all.end(), misses.begin(), misses.end());
  for (const auto& [higher, lower] : ranks) {
    all.push_back(higher);
    all.push_back(lower);
  }
  std::vector<std::string> unique;
  for (std::string& probe : all) {
    if (std::find(unique.begin(), unique.end(), probe) == unique.end()) {
      unique.push_back(std::move(probe));
    }
  }
  return unique;
}

void PrintTo(const MarkedExample& example, std::ostream* os) {
  *os << example.where << " " << (example.titleOnly ? "titles only: " : "") << example.query;
}

std::vector<MarkedExample> ReadHelpExamples(const std::string& helpDir,
                                            const std::vector<std::string>& subfolders) {
  const auto owns = [](std::string_view name) {
    return name.starts_with(kAttributePrefix) && !name.starts_with(kHostPrefix);
  };
  std::vector<MarkedExample> examples;
  for (const MarkedElement& element : ReadMarkedElements(helpDir, subfolders, owns)) {
    MarkedExample example;
    example.where = element.where;
    if (element.unreadable) {
      example.name = NamePart(element.stem) + "_unreadable";
      example.problem = "the page cannot be parsed";
      examples.push_back(std::move(example));
      continue;
    }
    bool hasQuery = false;
    for (const auto& [name, value] : element.attributes) {
      AddAttribute(name, value, example, hasQuery);
    }
    CheckConsistency(example, hasQuery);
    example.name = BaseName(element.stem, example);
    examples.push_back(std::move(example));
  }
  NumberRepeatedNames(examples);
  return examples;
}

}  // namespace dizode::testing
