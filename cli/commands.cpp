// @brief search, watch and --version.
#include "cli/commands.h"

#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "cli/app_folder.h"
#include "cli/colour.h"
#include "cli/desktop_open.h"
#include "cli/failure.h"
#include "cli/host_session.h"
#include "cli/json.h"
#include "cli/line_reader.h"
#include "cli/module_version.h"
#include "cli/output.h"
#include "cli/registration.h"
#include "cli/search.h"
#include "cli/shell_word.h"
#include "cli/terminal.h"
#include "cli/visible_text.h"
#include "component/com/ivivevi_vadiro.h"
#include "winport/owners.h"

namespace zvv {
namespace {

constexpr char kQuit[] = "quit";

// Whether the registry still leads to the component's class. The module's
// DllUnregisterServer answers S_OK whatever its scripts did, so this is how a
// removal that did not take shows; the component runtime must be started.
bool ClassStillRegistered() {
  winport::ComPtr<IClassFactory> factory;
  return CoGetClassObject(CLSID_ViveviVadiro, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                          factory.PutVoid()) != REGDB_E_CLASSNOTREG;
}

OutputStyle StyleFor(const Options& options) {
  OutputStyle style;
  style.m_json = options.m_json;
  style.m_colour = !options.m_json && UseColour(options.m_colour, Stream::kOutput);
  style.m_columns = IsTerminal(Stream::kOutput) ? GetTerminalSize().m_columns : 0;
  style.m_limit = options.m_limit;
  return style;
}

SearchRequest RequestFor(const Options& options, const std::string& query) {
  return {query, options.m_dirs, options.m_titleOnly};
}

struct Answered {
  bool m_ok = false;
  std::size_t m_hits = 0;
  // Full paths of the hits printed, in order.
  std::vector<std::string> m_shown;
};

// "only 3 hits were printed": why --open cannot have the hit it names.
std::string OnlyPrinted(std::size_t shown) {
  if (shown == 0) return "no hit was printed";
  return "only " + std::to_string(shown) + (shown == 1 ? " hit was printed" : " hits were printed");
}

// Searches once and prints the answer; not ok after printing a failure. With `withFolder`, a
// table's paths in the Help folder are preceded by that folder, printed once. `mustShow`, when
// not 0, is a hit number that must be among the printed hits; when it is not, nothing is printed
// but the reason.
Answered Answer(HostSession& session, const Options& options, const std::string& query,
                bool withFolder, std::size_t mustShow = 0) {
  std::vector<Hit> hits;
  DirFilter filter{options.m_dirs, 0};
  const HRESULT hr = Search(session.Component(), RequestFor(options, query), session.HelpDir(),
                            hits, filter.m_hidden);
  if (FAILED(hr)) {
    ReportComponentFailure("search", hr);
    return {};
  }
  // Answered from the index as it was, which could not follow the Help folder.
  if (hr == S_FALSE) session.WarnFromComponent();
  const OutputStyle style = StyleFor(options);
  const std::size_t shown = style.m_limit == 0 ? hits.size() : std::min(style.m_limit, hits.size());
  if (mustShow > shown) {
    std::cerr << "zvv: --open " << mustShow << ": " << OnlyPrinted(shown) << '\n';
    return {};
  }
  Answered answered{true, hits.size(), {}};
  for (std::size_t i = 0; i < shown; ++i) answered.m_shown.push_back(hits[i].m_key);
  if (!style.m_json) {
    // A table's paths are for pasting into a shell; JSON keeps them as they are.
    for (Hit& hit : hits) hit.m_path = ShellWord(options.m_absolute ? hit.m_key : hit.m_path);
    if (withFolder && !options.m_absolute && shown > 0) {
      std::cout << "Help folder: " << VisibleText(session.HelpDir()) << '\n';
    }
  }
  PrintHits(std::cout, hits, style, filter);
  // JSON lines carry no summary, so the reason for an empty answer goes aside.
  if (style.m_json && hits.empty() && filter.m_hidden > 0) {
    std::cerr << "zvv: " << AllHiddenSummary(filter) << '\n';
  }
  return answered;
}

// Opens the page with the desktop's opener; the exit code.
int OpenPage(const std::string& opener, const std::string& page) {
  if (OpenWithDesktop(opener, page) == OpenOutcome::kOpened) return kExitOk;
  std::cerr << "zvv: xdg-open could not open " << VisibleText(page) << '\n';
  return kExitFailure;
}

std::string Trimmed(const std::string& line) {
  const auto first = line.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  return line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

int RunSearch(const Options& options) {
  // --open alone names the first hit. Without an opener there is no point in searching.
  const std::size_t openHit = options.m_open ? std::max<std::size_t>(options.m_openHit, 1) : 0;
  const std::string opener = openHit > 0 ? FindDesktopOpener() : std::string();
  if (openHit > 0 && opener.empty()) {
    std::cerr << "zvv: --open needs xdg-open, which is not on PATH; search without --open and "
                 "open the page yourself\n";
    return kExitFailure;
  }
  HostSession session;
  if (!session.ChooseFolder(options)) return kExitFailure;
  if (const int code = session.Start(options); code != kExitOk) return code;
  session.Warn(session.StartWarning());
  const Answered answered = Answer(session, options, options.m_query, true, openHit);
  if (!answered.m_ok) return kExitFailure;
  return openHit > 0 ? OpenPage(opener, answered.m_shown[openHit - 1]) : kExitOk;
}

int RunWatch(const Options& options) {
  HostSession session;
  if (!session.ChooseFolder(options)) return kExitFailure;
  if (const int code = session.Start(options); code != kExitOk) return code;
  session.Warn(session.StartWarning());
  const HRESULT hr = session.Component()->put_AutoRefresh(1);
  if (FAILED(hr)) return ReportFailure("starting the help folder watcher", hr);

  const bool interactive = IsTerminal(Stream::kInput);
  if (interactive) {
    std::cout << "Watching " << VisibleText(session.HelpDir()) << "; one query per line, \""
              << kQuit << "\" or Ctrl-D to end.\n";
  }
  LineReader reader(interactive, "zvv> ");
  int code = kExitOk;
  while (const std::optional<std::string> line = reader.ReadLine()) {
    const std::string query = Trimmed(*line);
    if (query == kQuit) break;
    if (query.empty()) continue;
    // A failed query is reported and the next line is read all the same.
    // The folder is in the greeting on a terminal, and a program reading answers knows it.
    const Answered answered = Answer(session, options, query, false);
    if (!answered.m_ok) code = kExitFailure;
    // A program reading JSON lines cannot tell an answer's end from a pause without this.
    if (options.m_json) {
      std::cout << EndOfAnswerJson(query, answered.m_ok, answered.m_hits, answered.m_shown.size())
                << std::endl;
    }
    // Nobody reads the answers any more: stop rather than search on.
    if (!std::cout) {
      code = kExitFailure;
      break;
    }
  }
  session.Component()->put_AutoRefresh(0);
  return code;
}

int RunRegistration(Command command) {
  const bool registering = command == Command::kRegister;
  HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (FAILED(hr)) return ReportFailure("starting the component runtime", hr);
  std::string modulePath;
  hr = RunModuleRegistration(
      registering ? RegistrationStep::kRegister : RegistrationStep::kUnregister, modulePath);
  const bool stillRegistered = SUCCEEDED(hr) && !registering && ClassStillRegistered();
  CoUninitialize();
  if (FAILED(hr)) {
    return ReportFailure((registering ? "registering " : "unregistering ") + modulePath, hr);
  }
  if (stillRegistered) {
    std::cerr << "zvv: unregistering " << modulePath
              << " failed: the registry still names the component\n";
    return kExitFailure;
  }
  std::cout << (registering ? "Registered " : "Unregistered ") << modulePath << '\n';
  return kExitOk;
}

int RunVersion() {
  std::cout << kModuleProductName << ' ' << kModuleVersion << '\n';
  return kExitOk;
}

}  // namespace zvv
