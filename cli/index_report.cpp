// @brief Text and JSON reports of the help index.
#include "cli/index_report.h"

#include <cstdio>
#include <ctime>

#include "cli/app_folder.h"
#include "cli/json.h"
#include "cli/visible_text.h"

namespace zvv {
namespace {

// Names printed for each kind of change before the rest are counted.
constexpr std::size_t kNamesShown = 3;

std::string Pages(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " page" : " pages");
}

std::vector<std::string> InHelp(const std::vector<std::string>& keys, const std::string& help) {
  std::vector<std::string> paths;
  paths.reserve(keys.size());
  for (const std::string& key : keys) paths.push_back(PathInHelp(key, help));
  return paths;
}

std::string ChangeCounts(const PageChanges& changes) {
  if (!changes.Any()) return "none";
  return std::to_string(changes.m_added.size()) + " added, " +
         std::to_string(changes.m_changed.size()) + " changed, " +
         std::to_string(changes.m_removed.size()) + " removed";
}

// One line per kind of change that happened, then the unreadable pages.
void PrintNames(std::ostream& out, const IndexFacts& facts) {
  const std::pair<const char*, const std::vector<std::string>*> kinds[] = {
      {"added", &facts.m_changes.m_added},
      {"changed", &facts.m_changes.m_changed},
      {"removed", &facts.m_changes.m_removed}};
  for (const auto& [name, keys] : kinds) {
    if (keys->empty()) continue;
    out << "  " << name << ": " << NameList(InHelp(*keys, facts.m_helpFolder), kNamesShown) << '\n';
  }
  const auto& unreadable = facts.m_record.m_unreadable;
  if (unreadable.empty()) return;
  out << "Unreadable: " << Pages(unreadable.size()) << " indexed by name only: "
      << NameList(InHelp({unreadable.begin(), unreadable.end()}, facts.m_helpFolder), kNamesShown)
      << '\n';
}

void PrintFolders(std::ostream& out, const IndexFacts& facts) {
  out << "Help folder: " << VisibleText(facts.m_helpFolder) << '\n'
      << "Index: " << VisibleText(facts.m_collectionFolder);
  if (facts.m_indexed) out << ", " << ByteSize(facts.m_record.m_bytes);
  out << '\n';
}

std::string UtcTime(std::int64_t seconds, const char* format) {
  const std::time_t time = seconds;
  std::tm parts{};
  if (!gmtime_r(&time, &parts)) return "?";
  char text[32];
  return std::strftime(text, sizeof text, format, &parts) > 0 ? text : "?";
}

// The members both JSON reports share, without the braces.
std::string JsonFacts(const IndexFacts& facts) {
  const PageChanges& changes = facts.m_changes;
  return "\"help\":" + JsonString(facts.m_helpFolder) +
         ",\"index\":" + JsonString(facts.m_collectionFolder) +
         ",\"pages\":" + std::to_string(facts.m_record.m_pages.size()) +
         ",\"bytes\":" + std::to_string(facts.m_record.m_bytes) +
         ",\"added\":" + std::to_string(changes.m_added.size()) +
         ",\"changed\":" + std::to_string(changes.m_changed.size()) +
         ",\"removed\":" + std::to_string(changes.m_removed.size()) +
         ",\"unreadable\":" + std::to_string(facts.m_record.m_unreadable.size());
}

}  // namespace

std::string ByteSize(std::uintmax_t bytes) {
  constexpr std::uintmax_t kKiB = 1024;
  if (bytes < kKiB) return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
  if (bytes < kKiB * kKiB) return std::to_string((bytes + kKiB / 2) / kKiB) + " KiB";
  char text[32];
  std::snprintf(text, sizeof text, "%.1f MiB", static_cast<double>(bytes) / (kKiB * kKiB));
  return text;
}

std::string NameList(const std::vector<std::string>& paths, std::size_t shown) {
  std::string text;
  for (std::size_t i = 0; i < paths.size() && i < shown; ++i) {
    if (i > 0) text += ", ";
    text += VisibleText(paths[i]);
  }
  if (paths.size() > shown) text += " and " + std::to_string(paths.size() - shown) + " more";
  return text;
}

void PrintIndexReport(std::ostream& out, const IndexFacts& facts, bool created,
                      std::int64_t milliseconds, bool json) {
  if (json) {
    out << "{\"created\":" << (created ? "true" : "false") << ',' << JsonFacts(facts)
        << ",\"milliseconds\":" << milliseconds << "}\n";
    return;
  }
  char took[32];
  std::snprintf(took, sizeof took, "%.2f s", static_cast<double>(milliseconds) / 1000);
  // An empty Help folder is warned about aside; "Created ... of 0 pages" would read as success.
  if (!facts.m_record.m_pages.empty()) {
    out << (created ? "Created" : "Updated") << " the help index of "
        << Pages(facts.m_record.m_pages.size()) << " in " << took << '\n';
  }
  out << "Changes: " << ChangeCounts(facts.m_changes) << '\n';
  PrintNames(out, facts);
  PrintFolders(out, facts);
}

void PrintIndexStatus(std::ostream& out, const IndexFacts& facts, bool json) {
  if (json) {
    out << "{\"indexed\":" << (facts.m_indexed ? "true" : "false") << ',' << JsonFacts(facts)
        << ",\"help_pages\":" << facts.m_helpPages;
    if (facts.m_indexed) {
      out << ",\"updated\":" << JsonString(UtcTime(facts.m_record.m_updated, "%Y-%m-%dT%H:%M:%SZ"))
          << ",\"current\":" << (facts.m_changes.Any() ? "false" : "true");
    }
    out << "}\n";
    return;
  }
  PrintFolders(out, facts);
  if (!facts.m_indexed) {
    out << "No help index yet: 'zvv index' builds it from the " << Pages(facts.m_helpPages)
        << " of the Help folder\n";
    return;
  }
  out << "Pages: " << facts.m_record.m_pages.size() << '\n'
      << "Last update: " << UtcTime(facts.m_record.m_updated, "%Y-%m-%d %H:%M:%S UTC") << '\n';
  if (facts.m_changes.Any()) {
    out << "Changes since: " << ChangeCounts(facts.m_changes)
        << (facts.m_readOnly ? "; the index is read-only here, so searches do not see them\n"
                             : "; 'zvv index' brings the index up to date\n");
  } else {
    out << "Changes since: none; the index is up to date\n";
  }
  PrintNames(out, facts);
}

}  // namespace zvv
