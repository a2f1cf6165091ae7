// @brief Reading the marked elements of the bundled help with libxml2's HTML parser.
#include "help_markers_fixture.h"

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

namespace dizode::testing {
namespace {

std::optional<std::string> AttributeValue(xmlDoc* doc, const xmlAttr* attribute) {
  if (!attribute->children) {
    return std::nullopt;
  }
  xmlChar* raw = xmlNodeListGetString(doc, attribute->children, 1);
  std::string value = raw ? reinterpret_cast<const char*>(raw) : "";
  xmlFree(raw);
  return value;
}

void Collect(xmlDoc* doc, xmlNode* node, const MarkedElement& page, const AttributeOwner& owns,
             std::vector<MarkedElement>& out) {
  for (; node; node = node->next) {
    if (node->type != XML_ELEMENT_NODE) {
      continue;
    }
    MarkedElement element = page;
    for (const xmlAttr* a = node->properties; a; a = a->next) {
      const std::string_view name = reinterpret_cast<const char*>(a->name);
      if (owns(name)) {
        element.attributes.emplace_back(std::string(name), AttributeValue(doc, a));
      }
    }
    if (!element.attributes.empty()) {
      element.where = page.page + ":" + std::to_string(xmlGetLineNo(node));
      out.push_back(std::move(element));
    }
    Collect(doc, node->children, page, owns, out);
  }
}

void ReadPage(const std::filesystem::path& file, const std::string& subfolder,
              const AttributeOwner& owns, std::vector<MarkedElement>& out) {
  MarkedElement page;
  page.page = subfolder + "/" + file.filename().string();
  page.stem = file.stem().string();
  page.where = page.page;
  xmlDoc* doc = htmlReadFile(file.string().c_str(), "UTF-8",
                             HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET);
  if (!doc) {
    page.unreadable = true;
    out.push_back(std::move(page));
    return;
  }
  Collect(doc, xmlDocGetRootElement(doc), page, owns, out);
  xmlFreeDoc(doc);
}

}  // namespace

std::vector<MarkedElement> ReadMarkedElements(const std::string& helpDir,
                                              const std::vector<std::string>& subfolders,
                                              const AttributeOwner& owns) {
  std::vector<MarkedElement> elements;
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
      ReadPage(file, subfolder, owns, elements);
    }
  }
  return elements;
}

std::string Trim(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) {
    return {};
  }
  const size_t last = text.find_last_not_of(" \t\r\n");
  return std::string(text.substr(first, last - first + 1));
}

std::vector<std::string> Split(std::string_view text, std::string_view separator) {
  std::vector<std::string> items;
  size_t start = 0;
  while (true) {
    const size_t found = text.find(separator, start);
    items.push_back(Trim(text.substr(start, found - start)));
    if (found == std::string_view::npos) {
      return items;
    }
    start = found + separator.size();
  }
}

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

}  // namespace dizode::testing
