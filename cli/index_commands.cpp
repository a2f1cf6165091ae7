// @brief index and status: what the help index holds and what changed.
#include "cli/commands.h"

#include <chrono>
#include <iostream>
#include <optional>
#include <string>

#include "cli/app_folder.h"
#include "cli/failure.h"
#include "cli/help_pages.h"
#include "cli/host_session.h"
#include "cli/index_changes.h"
#include "cli/index_record.h"
#include "cli/index_report.h"
#include "cli/visible_text.h"

namespace zvv {
namespace {

IndexFacts FactsOf(const HostSession& session) {
  IndexFacts facts;
  facts.m_helpFolder = session.HelpDir();
  facts.m_collectionFolder = CollectionFolder(session.InstallDir());
  return facts;
}

}  // namespace

int RunIndex(const Options& options) {
  std::optional<IndexRecord> before;
  IndexFacts facts;
  std::chrono::milliseconds took{};
  {
    HostSession session;
    if (!session.ChooseFolder(options)) return kExitFailure;
    // The component cannot say what its update did, so the index's own record of its pages
    // is compared before and after.
    facts = FactsOf(session);
    // The component would search such an index as it is and change nothing.
    if (IndexIsReadOnly(facts.m_collectionFolder)) {
      std::cerr << "zvv: the help index in " << VisibleText(facts.m_collectionFolder)
                << " is read-only here: it was not updated\n";
      return kExitFailure;
    }
    std::string problem;
    before = ReadIndexRecord(facts.m_collectionFolder, problem);
    const auto started = std::chrono::steady_clock::now();
    if (const int code = session.Start(options); code != kExitOk) return code;
    took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 started);
    if (!session.StartWarning().empty()) {
      std::cerr << "zvv: the help index in " << VisibleText(facts.m_collectionFolder)
                << " was not updated: " << VisibleText(session.StartWarning()) << '\n';
      return kExitFailure;
    }
  }
  // Read once the component has closed the index, so that its size is the size it keeps. An
  // update that found nothing to do leaves the database untouched, and it is not read again.
  const bool created = !before;
  std::optional<IndexRecord> after;
  if (before && IndexUntouched(*before, facts.m_collectionFolder)) {
    after = std::move(before);
    RefreshFolderFacts(*after, facts.m_collectionFolder);
  } else {
    std::string problem;
    after = ReadIndexRecord(facts.m_collectionFolder, problem);
    if (!after) {
      std::cerr << "zvv: the help index in " << VisibleText(facts.m_collectionFolder)
                << " cannot be read" << (problem.empty() ? std::string() : ": " + problem) << '\n';
      return kExitFailure;
    }
    facts.m_changes = ComparePages(before ? before->m_pages : PageStamps{}, after->m_pages);
  }
  facts.m_indexed = true;
  facts.m_record = std::move(*after);
  if (facts.m_record.m_pages.empty()) {
    std::cerr << "zvv: warning: the Help folder holds no pages (.htm or .html files): "
              << VisibleText(facts.m_helpFolder) << '\n';
  }
  PrintIndexReport(std::cout, facts, created, took.count(), options.m_json);
  return kExitOk;
}

int RunStatus(const Options& options) {
  HostSession session;
  if (!session.ChooseFolder(options)) return kExitFailure;
  // Read only: neither the component nor a watcher is started, so nothing is written.
  IndexFacts facts = FactsOf(session);
  std::string problem;
  std::optional<IndexRecord> record = ReadIndexRecord(facts.m_collectionFolder, problem);
  if (!record && !problem.empty()) {
    std::cerr << "zvv: the help index in " << VisibleText(facts.m_collectionFolder)
              << " cannot be read: " << problem << '\n';
    return kExitFailure;
  }
  const PageStamps pages = ListHelpPages(facts.m_helpFolder);
  facts.m_helpPages = pages.size();
  facts.m_readOnly = IndexIsReadOnly(facts.m_collectionFolder);
  if (record) {
    facts.m_indexed = true;
    facts.m_changes = ComparePages(record->m_pages, pages);
    facts.m_record = std::move(*record);
  }
  PrintIndexStatus(std::cout, facts, options.m_json);
  return kExitOk;
}

}  // namespace zvv
