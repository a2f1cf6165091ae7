// @brief Reading the marked examples of the bundled help with libxml2's HTML parser.
#include "help_examples_fixture.h"

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <map>
#include <ostream>
#include <string_view>

#include "query/query.h"

namespace dizode::testing {
namespace {

constexpr std::string_view kAttributePrefix = "data-";
constexpr std::string_view kTitleSeparator = " :: ";
constexpr std::string_view kRankSeparator = " > ";
constexpr std::string_view kNoWarning = "none";

std::string Trim(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) {
    return {};
  }
  const size_t last = text.find_last_not_of(" \t\r\n");
  return std::string(text.substr(first, last - first + 1));
}

std::vector<std::string> SplitList(std::string_view text) {
  std::vector<std::string> items;
  size_t start = 0;
  while (true) {
    const size_t bar = text.find('|', start);
    items.push_back(Trim(text.substr(start, bar - start)));
    if (bar == std::string_view::npos) {
      return items;
    }
    start = bar + 1;
  }
}

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

// Letters and digits stay; a few symbols that tell queries apart get a name; any other run of
// characters becomes one underscore. Characters beyond ASCII are written as their code points.
std::string NamePart(std::string_view text) {
  static const std::map<char, std::string_view> kSymbols = {
      {'+', "plus"}, {'#', "hash"}, {'*', "star"}, {'?', "qmark"}, {'"', "quote"}, {'.', "dot"}};
  std::string out;
  auto separate = [&out] {
    if (!out.empty() && out.back() != '_') {
      out += '_';
    }
  };
  for (size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte >= 0x80) {
      // One code point of valid UTF-8 (the pages are read as UTF-8).
      const int size = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
      char32_t cp = size == 1 ? byte : byte & (0x7F >> size);
      for (int k = 1; k < size && i + k < text.size(); ++k) {
        cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
      }
      char hex[16];
      std::snprintf(hex, sizeof hex, "U%04X", static_cast<unsigned>(cp));
      out += hex;
      i += size;
    } else if (std::isalnum(byte)) {
      out += static_cast<char>(byte);
      ++i;
    } else {
      const auto symbol = kSymbols.find(static_cast<char>(byte));
      separate();
      if (symbol != kSymbols.end()) {
        out += symbol->second;
        out += '_';
      }
      ++i;
    }
  }
  while (!out.empty() && out.back() == '_') {
    out.pop_back();
  }
  return out;
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

std::optional<std::string> AttributeValue(xmlDoc* doc, const xmlAttr* attribute) {
  if (!attribute->children) {
    return std::nullopt;
  }
  xmlChar* raw = xmlNodeListGetString(doc, attribute->children, 1);
  std::string value = raw ? reinterpret_cast<const char*>(raw) : "";
  xmlFree(raw);
  return value;
}

void Collect(xmlDoc* doc, xmlNode* node, const std::string& page, const std::string& stem,
             std::vector<MarkedExample>& out) {
  for (; node; node = node->next) {
    if (node->type != XML_ELEMENT_NODE) {
      continue;
    }
    MarkedExample example;
    bool marked = false;
    bool hasQuery = false;
    for (const xmlAttr* a = node->properties; a; a = a->next) {
      const std::string_view name = reinterpret_cast<const char*>(a->name);
      if (!name.starts_with(kAttributePrefix)) {
        continue;
      }
      marked = true;
      const std::optional<std::string> value = AttributeValue(doc, a);
      AddAttribute(name, value, example, hasQuery);
    }
    if (marked) {
      CheckConsistency(example, hasQuery);
      example.where = page + ":" + std::to_string(xmlGetLineNo(node));
      example.name = BaseName(stem, example);
      out.push_back(std::move(example));
    }
    Collect(doc, node->children, page, stem, out);
  }
}

void ReadPage(const std::filesystem::path& file, const std::string& page,
              std::vector<MarkedExample>& out) {
  const std::string stem = file.stem().string();
  xmlDoc* doc = htmlReadFile(file.string().c_str(), "UTF-8",
                             HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET);
  if (!doc) {
    MarkedExample broken;
    broken.name = NamePart(stem) + "_unreadable";
    broken.where = page;
    broken.problem = "the page cannot be parsed";
    out.push_back(std::move(broken));
    return;
  }
  Collect(doc, xmlDocGetRootElement(doc), page, stem, out);
  xmlFreeDoc(doc);
}

}  // namespace

ProbePage ParseProbe(const std::string& spec) {
  // Padded, so that a separator at either end still counts (and leaves an empty part).
  const std::string padded = " " + spec + " ";
  const size_t separator = padded.find(kTitleSeparator);
  if (separator == std::string::npos) {
    return {kProbeTitle, spec};
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
  for (std::string& spec : all) {
    if (std::find(unique.begin(), unique.end(), spec) == unique.end()) {
      unique.push_back(std::move(spec));
    }
  }
  return unique;
}

void PrintTo(const MarkedExample& example, std::ostream* os) {
  *os << example.where << " " << (example.titleOnly ? "titles only: " : "") << example.query;
}

std::vector<MarkedExample> ReadHelpExamples(const std::string& helpDir,
                                            const std::vector<std::string>& subfolders) {
  std::vector<MarkedExample> examples;
  for (const std::string& subfolder : subfolders) {
    const std::filesystem::path folder = std::filesystem::path(helpDir) / subfolder;
    std::error_code error;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
      if (entry.path().extension() == ".htm") {
        files.push_back(entry.path());
      }
    }
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
      ReadPage(file, subfolder + "/" + file.filename().string(), examples);
    }
  }
  // Equal names (the same query shown twice on a page) get a number.
  std::map<std::string, int> seen;
  for (MarkedExample& example : examples) {
    const int count = ++seen[example.name];
    if (count > 1) {
      example.name += "_" + std::to_string(count);
    }
  }
  return examples;
}

}  // namespace dizode::testing
