// @brief Runs judged queries against collections with ranking parameters given on the command
// line, for choosing those parameters on the tuning half (tune.py drives it).
//
//   rank_tune [name=value ...] < queries
//
// Each input line is "collection folder<TAB>help folder<TAB>id<TAB>t or -<TAB>query"; `t` runs
// the query on titles only, as the component does. Each output line is the id, then the top ten
// pages' paths relative to the help folder, tab-separated; a query that fails prints its id and
// "!" and the reason. Parameters are RankParams fields: k1, idfFloor, proximityBonus,
// proximityWindow, exactNameBonus, and w.<field> and b.<field> for the fields title, heads, body
// and links; and smallWordsOptional=0, which makes small words decide matches as other words do.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "query/help_rank.h"
#include "search.h"
#include "status.h"
#include "store.h"

namespace {

using dizode::query::RankParams;

bool SetParam(RankParams& params, const std::string& name, double value) {
  static const char* const kFields[] = {"title", "heads", "body", "links"};
  for (int f = 0; f < dizode::query::kRankFields; ++f) {
    if (name == std::string("w.") + kFields[f]) return params.fieldWeight[f] = value, true;
    if (name == std::string("b.") + kFields[f]) return params.b[f] = value, true;
  }
  const std::map<std::string, double*> scalars = {{"k1", &params.k1},
                                                  {"idfFloor", &params.idfFloor},
                                                  {"proximityBonus", &params.proximityBonus},
                                                  {"exactNameBonus", &params.exactNameBonus}};
  if (name == "proximityWindow") return params.proximityWindow = static_cast<int>(value), true;
  const auto found = scalars.find(name);
  if (found == scalars.end()) return false;
  *found->second = value;
  return true;
}

std::vector<std::string> Split(const std::string& line, char separator) {
  std::vector<std::string> out(1);
  for (const char c : line) {
    if (c == separator) {
      out.emplace_back();
    } else {
      out.back() += c;
    }
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  RankParams params;
  dizode::query::Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "smallWordsOptional=0") {
      options.smallWordsOptional = false;
      continue;
    }
    const size_t equals = arg.find('=');
    if (equals == std::string::npos ||
        !SetParam(params, arg.substr(0, equals), std::strtod(arg.c_str() + equals + 1, nullptr))) {
      std::cerr << "rank_tune: unknown parameter " << arg << "\n";
      return 2;
    }
  }
  std::map<std::string, std::unique_ptr<dizode::Store>> stores;
  std::string line;
  while (std::getline(std::cin, line)) {
    const std::vector<std::string> fields = Split(line, '\t');
    if (fields.size() != 5) continue;
    const std::string& help = fields[1];
    std::cout << fields[2];
    try {
      auto& store = stores[fields[0]];
      if (!store) {
        store = dizode::Store::Open(fields[0]);
        dizode::query::RegisterHelpRank(store->db().get(), params);
      }
      const std::string text = (fields[3] == "t" ? "TITLE <CONTAINS> " : "") + fields[4];
      const dizode::SearchResult result = dizode::RunQuery(*store, text, options);
      for (size_t i = 0; i < result.hits.size() && i < 10; ++i) {
        const std::string& key = result.hits[i].key;
        std::cout << '\t' << (key.rfind(help + "/", 0) == 0 ? key.substr(help.size() + 1) : key);
      }
    } catch (const std::exception& error) {
      std::cout << "\t!" << error.what();
    }
    std::cout << '\n';
  }
  return 0;
}
