// @brief search, index, watch and --version.
#include "cli/commands.h"

#include <iostream>
#include <string>
#include <vector>

#include "cli/app_folder.h"
#include "cli/colour.h"
#include "cli/failure.h"
#include "cli/host_session.h"
#include "cli/module_version.h"
#include "cli/output.h"
#include "cli/registration.h"
#include "cli/search.h"
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

// Searches once and prints the answer; false after printing a failure.
bool Answer(const HostSession& session, const Options& options, const std::string& query) {
  std::vector<Hit> hits;
  DirFilter filter{options.m_dirs, 0};
  const HRESULT hr = Search(session.Component(), RequestFor(options, query), session.HelpDir(),
                            hits, filter.m_hidden);
  if (FAILED(hr)) {
    ReportComponentFailure("search", hr);
    return false;
  }
  const OutputStyle style = StyleFor(options);
  PrintHits(std::cout, hits, style, filter);
  // JSON lines carry no summary, so the reason for an empty answer goes aside.
  if (style.m_json && hits.empty() && filter.m_hidden > 0) {
    std::cerr << "zvv: " << AllHiddenSummary(filter) << '\n';
  }
  return true;
}

std::string Trimmed(const std::string& line) {
  const auto first = line.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  return line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

int RunSearch(const Options& options) {
  HostSession session;
  if (!session.ChooseFolder(options)) return kExitFailure;
  if (const int code = session.Start(options); code != kExitOk) return code;
  return Answer(session, options, options.m_query) ? kExitOk : kExitFailure;
}

int RunIndex(const Options& options) {
  HostSession session;
  if (!session.ChooseFolder(options)) return kExitFailure;
  // Initialize creates the collection when its folder is missing, and
  // otherwise updates it; which one happens is decided here, beforehand.
  const bool existed = IsFolder(CollectionFolder(session.InstallDir()));
  if (const int code = session.Start(options); code != kExitOk) return code;
  const std::size_t pages = CountHelpPages(session.HelpDir());
  std::cout << (existed ? "Updated" : "Created") << " the help index for " << pages
            << (pages == 1 ? " page" : " pages") << " in " << VisibleText(session.HelpDir()) << '\n'
            << "Collection: " << VisibleText(CollectionFolder(session.InstallDir())) << '\n';
  return kExitOk;
}

int RunWatch(const Options& options) {
  HostSession session;
  if (!session.ChooseFolder(options)) return kExitFailure;
  if (const int code = session.Start(options); code != kExitOk) return code;
  const HRESULT hr = session.Component()->put_AutoRefresh(1);
  if (FAILED(hr)) return ReportFailure("starting the help folder watcher", hr);

  const bool interactive = IsTerminal(Stream::kInput);
  if (interactive) {
    std::cout << "Watching " << VisibleText(session.HelpDir()) << "; one query per line, \""
              << kQuit << "\" to end.\n";
  }
  int code = kExitOk;
  std::string line;
  for (;;) {
    if (interactive) std::cout << "zvv> " << std::flush;
    if (!std::getline(std::cin, line)) break;
    const std::string query = Trimmed(line);
    if (query == kQuit) break;
    if (query.empty()) continue;
    // A failed query is reported and the next line is read all the same.
    if (!Answer(session, options, query)) code = kExitFailure;
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
