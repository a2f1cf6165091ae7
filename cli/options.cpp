// @brief Parses zvv's command line without touching the component.
#include "cli/options.h"

#include <charconv>
#include <map>

namespace zvv {
namespace {

const std::map<std::string, Command>& CommandNames() {
  static const std::map<std::string, Command> kNames = {
      {"search", Command::kSearch},        {"index", Command::kIndex},
      {"status", Command::kStatus},        {"serve", Command::kServe},
      {"watch", Command::kWatch},          {"register", Command::kRegister},
      {"unregister", Command::kUnregister}};
  return kNames;
}

std::optional<std::size_t> ParseCount(const std::string& text) {
  std::size_t value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

ParsedCommandLine Refuse(std::string reason) { return {std::nullopt, std::move(reason)}; }

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args) {
  Options options;
  std::vector<std::string> words;
  bool optionsEnded = false;
  // Words after "--" are query words even when they spell a command.
  std::size_t wordsBeforeEnd = 0;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      words.push_back(arg);
      if (!optionsEnded) wordsBeforeEnd = words.size();
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    // "--name=value" is accepted for every option that takes a value.
    std::optional<std::string> inlineValue;
    if (auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
      inlineValue = arg.substr(eq + 1);
      arg.resize(eq);
    }
    auto takeValue = [&](std::string& out) -> bool {
      if (inlineValue) {
        out = *inlineValue;
        return true;
      }
      if (i + 1 >= args.size()) return false;
      out = args[++i];
      return true;
    };
    const bool takesValue = arg == "--install-dir" || arg == "--dir" || arg == "--limit" ||
                            arg == "--color" || arg == "--port";
    // --open takes a hit number when one follows; alone it opens the first hit (or, for serve,
    // the viewer).
    const bool takesOptionalValue = arg == "--open";
    if (!takesValue && !takesOptionalValue && inlineValue) {
      return Refuse("option " + arg + " takes no value");
    }

    if (arg == "--help" || arg == "-h") {
      options.m_command = Command::kHelp;
      return {options, {}};
    } else if (arg == "--version" || arg == "-V") {
      options.m_command = Command::kVersion;
      return {options, {}};
    } else if (arg == "--title-only") {
      options.m_titleOnly = true;
    } else if (arg == "--json") {
      options.m_json = true;
    } else if (arg == "--ui") {
      options.m_showUI = true;
    } else if (arg == "--no-ui") {
      options.m_showUI = false;
    } else if (arg == "--absolute") {
      options.m_absolute = true;
    } else if (arg == "--open") {
      options.m_open = true;
      const bool numberFollows = !inlineValue && i + 1 < args.size() && !args[i + 1].empty() &&
                                 args[i + 1].find_first_not_of("0123456789") == std::string::npos;
      if (inlineValue || numberFollows) {
        const std::string value = inlineValue ? *inlineValue : args[++i];
        auto hit = ParseCount(value);
        if (!hit || *hit == 0) return Refuse("option --open needs a hit number from 1: " + value);
        options.m_openHit = *hit;
      }
    } else if (takesValue) {
      std::string value;
      if (!takeValue(value)) return Refuse("option " + arg + " needs a value");
      if (arg == "--install-dir") {
        if (value.empty()) return Refuse("option --install-dir needs a folder");
        options.m_installDir = value;
      } else if (arg == "--port") {
        auto port = ParseCount(value);
        if (!port || *port > 65535) {
          return Refuse("option --port needs a port number, 0 for any free one: " + value);
        }
        options.m_port = static_cast<int>(*port);
      } else if (arg == "--dir") {
        options.m_dirs.push_back(value);
      } else if (arg == "--color") {
        auto colour = ParseColourChoice(value);
        if (!colour) return Refuse("option --color needs auto, always or never: " + value);
        options.m_colour = *colour;
      } else {
        auto limit = ParseCount(value);
        if (!limit) return Refuse("option --limit needs a whole number, 0 for all: " + value);
        options.m_limit = *limit;
      }
    } else {
      return Refuse("unknown option " + arg);
    }
  }

  std::size_t first = 0;
  if (wordsBeforeEnd > 0) {
    if (auto it = CommandNames().find(words[0]); it != CommandNames().end()) {
      options.m_command = it->second;
      first = 1;
    }
  }
  for (std::size_t i = first; i < words.size(); ++i) {
    if (!options.m_query.empty()) options.m_query += ' ';
    options.m_query += words[i];
  }
  switch (options.m_command) {
    case Command::kSearch:
      if (options.m_query.empty()) return Refuse("no query given");
      break;
    case Command::kIndex:
    case Command::kStatus:
    case Command::kWatch:
    case Command::kServe:
    case Command::kRegister:
    case Command::kUnregister:
      if (!options.m_query.empty()) {
        return Refuse(words[0] + " takes no query: " + options.m_query);
      }
      break;
    default:
      break;
  }
  return {options, {}};
}

std::string SynopsisText() {
  return R"(Usage: zvv [OPTIONS] [search] QUERY...
       zvv [OPTIONS] index | status
       zvv [OPTIONS] watch
       zvv [OPTIONS] serve [--port N] [--open]
       zvv register | unregister
       zvv --version | --help
)";
}

std::string UsageText() {
  return SynopsisText() + R"(
Searches the HTML help of an application folder through the help search
component. The folder's Help subfolder is indexed on first use.

Commands:
  search QUERY   print the pages that match QUERY (the default command); only
                 the first word can name a command, so "zvv search index"
                 and "zvv -- watch" search for the word
  index          create or update the help index and report what changed
  status         report the help index and whether the Help folder changed
                 since its last update, without changing anything
  watch          keep the index in step with the Help folder and answer one
                 query per input line; end with "quit" or end of input
  serve          show the help in a web browser, searched as you type, from
                 a server on 127.0.0.1 that runs until ended with Ctrl-C
  register       register the component module beside zvv, so that any host
                 can create it by its class identifier
  unregister     remove that registration

Options:
  --install-dir DIR  the application folder that holds Help (default:
                     $ZVV_INSTALL_DIR when set, else the bundled sample)
  --title-only       search page titles only
  --dir TEXT         keep only pages whose path in the Help folder, as
                     printed, contains TEXT (repeatable)
  --json             one JSON object per hit and line: score, title, key, path
  --ui, --no-ui      allow or forbid the component's prompt and progress
                     display (default: allowed on an interactive terminal,
                     unless TERM=dumb)
  --limit N          print at most N hits per query (default 20, 0 = all)
  --port N           serve: the port to listen on (default 0: any free one)
  --open [N]         open the N-th hit (default the first) with xdg-open;
                     serve: open the address in the desktop's browser
  --absolute         print hits' full paths instead of paths in the Help
                     folder, which is printed once above them
  --color WHEN       colour the table: auto (the default: only on a terminal,
                     not with NO_COLOR set or TERM=dumb), always or never
  --version          print the component module's name and version
  --help             print this text

Query language: words, "exact phrases", <AND> <OR> <NOT> <NEAR>, wildcards
(print*, colo?r) and TITLE <CONTAINS> words. See the bundled help.
Exit status: 0 (hits or no hits), 1 on failure, 2 on a usage error, 130 when
interrupted (Ctrl-C).
)";
}

}  // namespace zvv
